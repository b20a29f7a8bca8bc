#include "tests/support/PictureContrast.h"
#include <algorithm>
#include <cmath>

namespace testsupport {

namespace {
double Linear(BYTE c)
{
    double v = c / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}
} // namespace

double WorstWhiteContrast(UINT nID, const RECT& rcBand)
{
    HBITMAP hBitmap = (HBITMAP)::LoadImageW(::GetModuleHandleW(NULL), MAKEINTRESOURCEW(nID), IMAGE_BITMAP, 0, 0,
                                            LR_CREATEDIBSECTION);
    if (hBitmap == NULL)
        return 0.0;
    DIBSECTION dib = {};
    double dWorst = 0.0;
    if (::GetObjectW(hBitmap, sizeof(dib), &dib) != 0 && dib.dsBm.bmBitsPixel == 24)
    {
        int w = dib.dsBm.bmWidth, h = dib.dsBm.bmHeight;
        dWorst = 21.0;
        for (int y = std::max(0L, rcBand.top); y < std::min((LONG)h, rcBand.bottom); y++)
        {
            // Rows are stored bottom-up.
            const BYTE* pRow = (const BYTE*)dib.dsBm.bmBits + (size_t)(h - 1 - y) * dib.dsBm.bmWidthBytes;
            for (int x = std::max(0L, rcBand.left); x < std::min((LONG)w, rcBand.right); x++)
            {
                double dLum = 0.2126 * Linear(pRow[3 * x + 2]) + 0.7152 * Linear(pRow[3 * x + 1]) +
                              0.0722 * Linear(pRow[3 * x]);
                dWorst = std::min(dWorst, 1.05 / (dLum + 0.05));
            }
        }
    }
    ::DeleteObject(hBitmap);
    return dWorst;
}

} // namespace testsupport
