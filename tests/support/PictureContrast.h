#pragma once
// How well white text reads on a button picture of the resources.
#include <windows.h>

namespace testsupport {

// The lowest contrast ratio (1 to 21, as for text on a page) of white against
// the picture's pixels inside rcBand (picture coordinates, top row 0); 0 when
// the 24-bit bitmap nID cannot be loaded from the running program.
double WorstWhiteContrast(UINT nID, const RECT& rcBand);

} // namespace testsupport
