#include "controls/skin/SegmentCell.h"
#include <cmath>

namespace {

struct ShapePoint
{
    char type;  // 'M' move, 'L' line, 'B' curve
    int x, y;
};

// Outlines in design units; a cell is 49 x 83 (a dot cell 18 x 83).
const ShapePoint kSevenTop[] = { {'M', 5, 4}, {'L', 12, 11}, {'L', 36, 11}, {'L', 43, 4} };
const ShapePoint kSevenUpperLeft[] = { {'M', 4, 6}, {'L', 4, 40}, {'L', 11, 36}, {'L', 11, 13} };
const ShapePoint kSevenMiddle[] = { {'M', 6, 41}, {'L', 14, 45}, {'L', 34, 45}, {'L', 42, 41}, {'L', 34, 37},
                                    {'L', 14, 37} };
const ShapePoint kSevenSmoothTop[] = { {'M', 6, 4}, {'B', 5, 5}, {'B', 5, 6}, {'B', 8, 9}, {'L', 12, 11},
                                       {'L', 36, 11}, {'L', 39, 4} };
const ShapePoint kSevenSmoothUpperLeft[] = { {'M', 4, 9}, {'L', 4, 39}, {'B', 6, 40}, {'B', 7, 40}, {'B', 9, 38},
                                             {'L', 11, 36}, {'L', 11, 12} };
const ShapePoint kSevenSmoothUpperRight[] = { {'M', 37, 36}, {'B', 39, 38}, {'B', 41, 40}, {'L', 42, 40},
                                              {'L', 44, 39}, {'L', 44, 6}, {'B', 42, 4}, {'B', 41, 4},
                                              {'B', 39, 8}, {'L', 37, 12} };
const ShapePoint kSevenSmoothMiddle[] = { {'M', 8, 41}, {'L', 12, 45}, {'L', 36, 45}, {'L', 40, 41}, {'L', 36, 37},
                                          {'L', 12, 37} };

const ShapePoint kFourteenTop[] = { {'M', 6, 4}, {'L', 11, 11}, {'L', 37, 11}, {'L', 42, 4} };
const ShapePoint kFourteenOuterUpperLeft[] = { {'M', 4, 7}, {'L', 4, 40}, {'L', 11, 36}, {'L', 11, 26} };
const ShapePoint kFourteenMiddleLeft[] = { {'M', 6, 41}, {'L', 14, 45}, {'L', 18, 45}, {'L', 22, 41},
                                           {'L', 18, 37}, {'L', 14, 37} };
const ShapePoint kFourteenDiagonal[] = { {'M', 5, 5}, {'L', 15, 35}, {'L', 20, 37}, {'L', 18, 25} };
const ShapePoint kFourteenCentreUpper[] = { {'M', 20, 13}, {'L', 20, 36}, {'L', 24, 40}, {'L', 28, 36},
                                            {'L', 28, 13} };
const ShapePoint kFourteenSmoothTop[] = { {'M', 8, 4}, {'B', 7, 5}, {'B', 7, 6}, {'B', 9, 8}, {'B', 12, 9},
                                          {'L', 14, 11}, {'L', 19, 11}, {'B', 21, 9}, {'B', 24, 7}, {'B', 27, 9},
                                          {'L', 29, 11}, {'L', 34, 11}, {'B', 36, 9}, {'B', 39, 8}, {'B', 41, 6},
                                          {'B', 41, 5}, {'L', 40, 4} };
const ShapePoint kFourteenSmoothOuterUpperLeft[] = { {'M', 4, 7}, {'L', 4, 39}, {'B', 5, 40}, {'B', 6, 40},
                                                     {'B', 9, 37}, {'B', 11, 33}, {'L', 11, 25}, {'B', 9, 14},
                                                     {'B', 5, 6}, {'L', 4, 7} };
const ShapePoint kFourteenSmoothMiddleLeft[] = { {'M', 8, 41}, {'L', 12, 45}, {'L', 16, 45}, {'L', 23, 41},
                                                 {'L', 16, 37}, {'L', 12, 37} };
const ShapePoint kFourteenSmoothDiagonal[] = { {'M', 10, 10}, {'B', 10, 13}, {'B', 11, 20}, {'B', 13, 28},
                                               {'L', 21, 38}, {'L', 21, 37}, {'B', 19, 26}, {'B', 15, 16},
                                               {'B', 11, 10}, {'L', 10, 10} };
const ShapePoint kFourteenSmoothCentreUpper[] = { {'M', 20, 12}, {'L', 20, 25}, {'B', 22, 36}, {'B', 23, 39},
                                                  {'B', 24, 40}, {'B', 25, 39}, {'B', 26, 36}, {'L', 28, 25},
                                                  {'L', 28, 12}, {'B', 26, 10}, {'B', 24, 9}, {'B', 22, 10},
                                                  {'L', 20, 12} };

const ShapePoint kDotUpper[] = { {'M', 4, 23}, {'L', 4, 32}, {'L', 13, 32}, {'L', 13, 23} };
const ShapePoint kDotLower[] = { {'M', 4, 50}, {'L', 4, 59}, {'L', 13, 59}, {'L', 13, 50} };
const ShapePoint kPoint[] = { {'M', 4, 68}, {'L', 4, 77}, {'L', 13, 77}, {'L', 13, 68} };

enum Mirror { kAsIs = 0, kMirrorX = 1, kMirrorY = 2, kMirrorXY = 3 };

template <size_t N>
SegmentPath MakePath(const ShapePoint (&shape)[N], int nMirror = kAsIs)
{
    SegmentPath path;
    path.points.reserve(N);
    path.types.reserve(N);
    for (const ShapePoint& pt : shape)
    {
        POINT p = { pt.x, pt.y };
        if (nMirror & kMirrorX)
            p.x = 48 - p.x;  // about the axis x = 24
        if (nMirror & kMirrorY)
            p.y = 82 - p.y;  // about the line y = 41
        path.points.push_back(p);
        path.types.push_back(pt.type == 'M' ? PT_MOVETO : pt.type == 'L' ? PT_LINETO : PT_BEZIERTO);
    }
    return path;
}

// 7-segment masks of ' ', '0'..'9', '-'.
const WORD kSevenMasks[12] = { 0x00, 0x77, 0x24, 0x5D, 0x6D, 0x2E, 0x6B, 0x7B, 0x25, 0x7F, 0x6F, 0x08 };

struct CharMask
{
    wchar_t ch;
    WORD wMask;
};
const CharMask kFourteenMasks[] = {
    {L' ', 0x0000}, {L'0', 0x3F00}, {L'1', 0x1800}, {L'2', 0x36C0}, {L'3', 0x3CC0}, {L'4', 0x19C0},
    {L'5', 0x2DC0}, {L'6', 0x2FC0}, {L'7', 0x3800}, {L'8', 0x3FC0}, {L'9', 0x3DC0}, {L'-', 0x00C0},
    {L'A', 0x3BC0}, {L'B', 0x3CA1}, {L'C', 0x2700}, {L'D', 0x3C21}, {L'E', 0x27C0}, {L'F', 0x23C0},
    {L'G', 0x2F80}, {L'H', 0x1BC0}, {L'I', 0x2421}, {L'J', 0x1E00}, {L'K', 0x0354}, {L'L', 0x0700},
    {L'M', 0x1B06}, {L'N', 0x1B12}, {L'O', 0x3F00}, {L'P', 0x33C0}, {L'Q', 0x3F10}, {L'R', 0x33D0},
    {L'S', 0x2DC0}, {L'T', 0x2021}, {L'U', 0x1F00}, {L'V', 0x030C}, {L'W', 0x1B18}, {L'X', 0x001E},
    {L'Y', 0x11E0}, {L'Z', 0x240C}, {L'*', 0x00FF}, {L'+', 0x00E1}, {L'(', 0x0014}, {L')', 0x000A},
    {L'\\', 0x0012}, {L'/', 0x000C}, {L'\'', 0x0001},
};

// The cubic in u over [-1, 1] through p0 (u = -1) and p3 (u = 1).
struct CubicAxis
{
    double a0, a1, a2, a3;
    CubicAxis(double p0, double p1, double p2, double p3)
    {
        a3 = (p3 - p0 + 3 * (p1 - p2)) / 8;
        a2 = 3 * (p3 + p0 - p1 - p2) / 8;
        a1 = (p3 - p0) / 2 - a3;
        a0 = (p3 + p0) / 2 - a2;
    }
    double Value(double u) const { return ((a3 * u + a2) * u + a1) * u + a0; }
    double Slope(double u) const { return (3 * a3 * u + 2 * a2) * u + a1; }
};

// Squared distance d and its half-derivative g at u.
void BezierPointDistance(const CubicAxis& cx, const CubicAxis& cy, const BezierPoint& q, double u, double& d,
                         double& g)
{
    double dx = cx.Value(u) - q.x, dy = cy.Value(u) - q.y;
    d = dx * dx + dy * dy;
    g = dx * cx.Slope(u) + dy * cy.Slope(u);
}

POINT ToDevice(const POINT& pt, const SegmentRect& rect, double kx, double ky)
{
    POINT p = { (LONG)(pt.x * kx + rect.left + 0.5), (LONG)(pt.y * ky + rect.top + 0.5) };
    return p;
}

}  // namespace

BOOL GetSevenSegmentMask(wchar_t ch, WORD& wMask)
{
    int nIndex;
    if (ch == L' ')
        nIndex = 0;
    else if (ch == L'-')
        nIndex = 11;
    else if (ch >= L'0' && ch <= L'9')
        nIndex = ch - L'0' + 1;
    else
        return FALSE;
    wMask = kSevenMasks[nIndex];
    return TRUE;
}

BOOL GetFourteenSegmentMask(wchar_t ch, WORD& wMask)
{
    for (const CharMask& entry : kFourteenMasks)
    {
        if (entry.ch == ch)
        {
            wMask = entry.wMask;
            return TRUE;
        }
    }
    return FALSE;
}

// ---- Cells ------------------------------------------------------------------------

SegmentCell::SegmentCell(int nWidth, int nSegments)
    : m_nWidth(nWidth), m_wMask(0), m_nSegments(nSegments), m_bHideOff(FALSE)
{
}

void SegmentCell::Init(WORD wMask, DWORD dwStyle)
{
    m_wMask = wMask;
    m_bHideOff = (dwStyle & SDS_HIDEOFF) != 0;
}

void SevenSegmentCell::Init(WORD wMask, DWORD dwStyle)
{
    SegmentCell::Init(wMask, dwStyle);
    m_paths.clear();
    if (dwStyle & SDS_SMOOTH)
    {
        m_paths.push_back(MakePath(kSevenSmoothTop));
        m_paths.push_back(MakePath(kSevenSmoothUpperLeft));
        m_paths.push_back(MakePath(kSevenSmoothUpperRight));
        m_paths.push_back(MakePath(kSevenSmoothMiddle));
        m_paths.push_back(MakePath(kSevenSmoothUpperLeft, kMirrorY));
        m_paths.push_back(MakePath(kSevenSmoothUpperRight, kMirrorY));
        m_paths.push_back(MakePath(kSevenSmoothTop, kMirrorY));
    }
    else
    {
        m_paths.push_back(MakePath(kSevenTop));
        m_paths.push_back(MakePath(kSevenUpperLeft));
        m_paths.push_back(MakePath(kSevenUpperLeft, kMirrorX));
        m_paths.push_back(MakePath(kSevenMiddle));
        m_paths.push_back(MakePath(kSevenUpperLeft, kMirrorY));
        m_paths.push_back(MakePath(kSevenUpperLeft, kMirrorXY));
        m_paths.push_back(MakePath(kSevenTop, kMirrorY));
    }
}

void FourteenSegmentCell::Init(WORD wMask, DWORD dwStyle)
{
    SegmentCell::Init(wMask, dwStyle);
    m_paths.clear();
    BOOL bSmooth = (dwStyle & SDS_SMOOTH) != 0;
    auto add = [&](const SegmentPath& plain, const SegmentPath& smooth) {
        m_paths.push_back(bSmooth ? smooth : plain);
    };
    add(MakePath(kFourteenCentreUpper), MakePath(kFourteenSmoothCentreUpper));
    add(MakePath(kFourteenDiagonal), MakePath(kFourteenSmoothDiagonal));
    add(MakePath(kFourteenDiagonal, kMirrorX), MakePath(kFourteenSmoothDiagonal, kMirrorX));
    add(MakePath(kFourteenDiagonal, kMirrorY), MakePath(kFourteenSmoothDiagonal, kMirrorY));
    add(MakePath(kFourteenDiagonal, kMirrorXY), MakePath(kFourteenSmoothDiagonal, kMirrorXY));
    add(MakePath(kFourteenCentreUpper, kMirrorY), MakePath(kFourteenSmoothCentreUpper, kMirrorY));
    add(MakePath(kFourteenMiddleLeft), MakePath(kFourteenSmoothMiddleLeft));
    add(MakePath(kFourteenMiddleLeft, kMirrorX), MakePath(kFourteenSmoothMiddleLeft, kMirrorX));
    add(MakePath(kFourteenOuterUpperLeft), MakePath(kFourteenSmoothOuterUpperLeft));
    add(MakePath(kFourteenOuterUpperLeft, kMirrorY), MakePath(kFourteenSmoothOuterUpperLeft, kMirrorY));
    add(MakePath(kFourteenTop, kMirrorY), MakePath(kFourteenSmoothTop, kMirrorY));
    add(MakePath(kFourteenOuterUpperLeft, kMirrorXY), MakePath(kFourteenSmoothOuterUpperLeft, kMirrorXY));
    add(MakePath(kFourteenOuterUpperLeft, kMirrorX), MakePath(kFourteenSmoothOuterUpperLeft, kMirrorX));
    add(MakePath(kFourteenTop), MakePath(kFourteenSmoothTop));
}

void DotCell::Init(WORD wMask, DWORD dwStyle)
{
    SegmentCell::Init(wMask, dwStyle);
    m_paths.clear();
    m_paths.push_back(MakePath(kDotUpper));
    m_paths.push_back(MakePath(kDotLower));
    m_paths.push_back(MakePath(kPoint));
}

int SegmentCell::GapBefore(const SegmentCell& next) const
{
    return m_nWidth == kSegmentDotCellWidth || next.m_nWidth == kSegmentDotCellWidth ? 0 : kSegmentCellGap;
}

void SegmentCell::Draw(CDC& dc, const SegmentRect& rect, CPen& penOff, CPen& penOn, CBrush& brushOff,
                       CBrush& brushOn) const
{
    for (int i = 0; i < m_nSegments && i < (int)m_paths.size(); ++i)
    {
        BOOL bLit = (m_wMask & (1 << i)) != 0;
        if (!bLit && m_bHideOff)
            continue;
        CPen* pOldPen = dc.SelectObject(bLit ? &penOn : &penOff);
        CBrush* pOldBrush = dc.SelectObject(bLit ? &brushOn : &brushOff);
        dc.BeginPath();
        DrawSegmentPath(m_paths[i], dc, rect, m_nWidth);
        dc.EndPath();
        dc.StrokeAndFillPath();
        dc.SelectObject(pOldBrush);
        dc.SelectObject(pOldPen);
    }
}

// ---- Outlines and curves ------------------------------------------------------------

void DrawSegmentPath(const SegmentPath& path, CDC& dc, const SegmentRect& rect, int nCellWidth)
{
    if (nCellWidth <= 0)
        return;
    double kx = rect.width / nCellWidth;
    double ky = rect.height / kSegmentCellHeight;
    int nCount = path.GetCount();
    int i = 0;
    while (i < nCount)
    {
        BYTE type = path.types[i];
        if (type != PT_BEZIERTO)
        {
            POINT p = ToDevice(path.points[i], rect, kx, ky);
            if (type == PT_MOVETO)
                dc.MoveTo(p.x, p.y);
            else
                dc.LineTo(p.x, p.y);
            ++i;
            continue;
        }
        int nEnd = i;
        while (nEnd < nCount && path.types[nEnd] == PT_BEZIERTO)
            ++nEnd;
        if (i == 0 || nEnd >= nCount)
        {
            // A curve needs an anchor on both sides; without one, plain lines.
            for (; i < nEnd; ++i)
            {
                POINT p = ToDevice(path.points[i], rect, kx, ky);
                dc.LineTo(p.x, p.y);
            }
            continue;
        }
        std::vector<BezierPoint> pts;
        for (int n = i - 1; n <= nEnd; ++n)
        {
            const POINT& pt = path.points[n];
            pts.push_back({ pt.x * kx + rect.left, pt.y * ky + rect.top });
        }
        BezierPoint p1, p2;
        FitBezier(pts, p1, p2);
        POINT curve[3] = { { (LONG)(p1.x + 0.5), (LONG)(p1.y + 0.5) }, { (LONG)(p2.x + 0.5), (LONG)(p2.y + 0.5) },
                           ToDevice(path.points[nEnd], rect, kx, ky) };
        dc.PolyBezierTo(curve, 3);
        i = nEnd + 1;
    }
}

double BezierFitError(const std::vector<BezierPoint>& pts, const BezierPoint& p1, const BezierPoint& p2)
{
    const BezierPoint& p0 = pts.front();
    const BezierPoint& p3 = pts.back();
    CubicAxis cx(p0.x, p1.x, p2.x, p3.x), cy(p0.y, p1.y, p2.y, p3.y);
    int k = (int)pts.size() - 2;
    double dStep = 1.0 / (k + 2);
    double dError = 0.0;
    for (int n = 1; n <= k; ++n)
    {
        const BezierPoint& q = pts[n];
        double dBestU = -1.0, dBestD = 0.0, d, g;
        bool bFirst = true;
        for (double u = -1.0; u < 1.01; u += dStep)
        {
            BezierPointDistance(cx, cy, q, u, d, g);
            if (d == 0.0)
            {
                dBestU = u;
                dBestD = 0.0;
                bFirst = false;
                break;
            }
            if (bFirst || d < dBestD)
            {
                dBestU = u;
                dBestD = d;
                bFirst = false;
            }
        }
        double dLast = dBestD;
        if (dBestD != 0.0)
        {
            double u0 = dBestU;
            double u1 = dBestU + dStep;
            if (u1 >= 1.0)
                u1 = 1.0 - dStep;
            double d0, g0, d1, g1;
            BezierPointDistance(cx, cy, q, u0, d0, g0);
            BezierPointDistance(cx, cy, q, u1, d1, g1);
            dLast = d1;
            // The secant rule on g; bounded, as a flat g could wander.
            for (int nIter = 0; nIter < 64 && d1 != 0.0 && g1 != 0.0; ++nIter)
            {
                double u = g1 != g0 ? (g1 * u0 - g0 * u1) / (g1 - g0) : (u0 + u1) / 2;
                u = u < -1.0 ? -1.0 : u > 1.0 ? 1.0 : u;
                double dNew, gNew;
                BezierPointDistance(cx, cy, q, u, dNew, gNew);
                dLast = dNew;
                bool bSettled = std::fabs(u - u1) < 0.001;
                u0 = u1;
                g0 = g1;
                u1 = u;
                g1 = gNew;
                d1 = dNew;
                if (bSettled)
                    break;
            }
        }
        dError += dLast;
    }
    return dError;
}

void FitBezier(const std::vector<BezierPoint>& pts, BezierPoint& p1, BezierPoint& p2)
{
    const BezierPoint& p0 = pts.front();
    const BezierPoint& p3 = pts.back();
    size_t k = pts.size() - 2;
    p1 = { 2 * pts[1].x - p0.x, 2 * pts[1].y - p0.y };
    p2 = { 2 * pts[k].x - p3.x, 2 * pts[k].y - p3.y };
    double dError = BezierFitError(pts, p1, p2);
    for (int nPass = 0; nPass < 2; ++nPass)
    {
        double* coords[4] = { &p1.x, &p1.y, &p2.x, &p2.y };
        const double anchors[4] = { p0.x, p0.y, p3.x, p3.y };
        for (int c = 0; c < 4; ++c)
        {
            double& value = *coords[c];
            double dStep = 0.5;
            for (int nIter = 0; nIter < 200 && std::fabs(dStep) >= 0.01; ++nIter)
            {
                double dOld = value;
                value = dOld + dStep * (dOld - anchors[c]);
                double dNew = BezierFitError(pts, p1, p2);
                if (dNew == dError)
                    break;
                if (dNew < dError)
                {
                    dError = dNew;
                    continue;
                }
                value = dOld;
                dStep /= -3;
            }
        }
    }
}
