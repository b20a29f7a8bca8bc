#pragma once
// Whether a library view fits what the host gives it: the view's window from
// the page area's left less 10 to the page area's right and bottom, every
// control it shows inside the page area and inside its own parent, and no
// text of a label, button or list row cut.
#include "framework/Afx.h"
#include <string>
#include <vector>

namespace viewgeo {

// The host's page area in its client coordinates, and its client size.
const RECT kPageArea = {165, 158, 690, 561};
const SIZE kHostSize = {700, 600};

// One line per fault, naming the control by class, id and text.
std::vector<std::string> CheckViewFits(HWND hView, HWND hHost, const RECT& rcPage = kPageArea);

std::string Join(const std::vector<std::string>& faults);

} // namespace viewgeo
