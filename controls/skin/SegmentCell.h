#pragma once
// The character cells of the segment display: each segment is a closed
// outline in design units (a cell is 83 units high), drawn scaled into the
// cell's rectangle.
#include "framework/Afx.h"
#include "framework/Dc.h"
#include <vector>

// Segment display styles.
#define SDS_SMOOTH 0x01
#define SDS_DIGITS14 0x02
#define SDS_ASPECT 0x04
#define SDS_HIDEOFF 0x08
#define SDS_BLENDEDGE 0x10

const int kSegmentCellHeight = 83;
const int kSegmentDotCellWidth = 18;
// Room left between two character cells: the outlines alone come within a
// pixel or two of the next character's at the small sizes the pages use.
const int kSegmentCellGap = 8;

// One segment's outline; point types are the path types of the platform
// (PT_MOVETO, PT_LINETO, PT_BEZIERTO).
struct SegmentPath
{
    std::vector<POINT> points;
    std::vector<BYTE> types;
    int GetCount() const { return (int)points.size(); }
};

// A rectangle with fractional edges: cells are laid out in floating point.
struct SegmentRect
{
    double left, top, width, height;
};

class SegmentCell
{
public:
    SegmentCell(int nWidth, int nSegments);
    virtual ~SegmentCell() {}
    // Builds the outlines for the style and keeps the lit-segment mask.
    virtual void Init(WORD wMask, DWORD dwStyle);

    void Draw(CDC& dc, const SegmentRect& rect, CPen& penOff, CPen& penOn, CBrush& brushOff, CBrush& brushOn) const;
    // Design units of room between this cell and the next one: a point or
    // colon stays next to its digits, characters stand apart.
    int GapBefore(const SegmentCell& next) const;

    int m_nWidth;
    WORD m_wMask;
    std::vector<SegmentPath> m_paths;
    int m_nSegments;
    BOOL m_bHideOff;
};

class SevenSegmentCell : public SegmentCell
{
public:
    SevenSegmentCell() : SegmentCell(49, 7) {}
    void Init(WORD wMask, DWORD dwStyle) override;
};

class FourteenSegmentCell : public SegmentCell
{
public:
    FourteenSegmentCell() : SegmentCell(49, 14) {}
    void Init(WORD wMask, DWORD dwStyle) override;
};

class DotCell : public SegmentCell
{
public:
    DotCell() : SegmentCell(kSegmentDotCellWidth, 3) {}
    void Init(WORD wMask, DWORD dwStyle) override;
};

// Masks of the characters the display knows; FALSE for any other character.
BOOL GetSevenSegmentMask(wchar_t ch, WORD& wMask);
BOOL GetFourteenSegmentMask(wchar_t ch, WORD& wMask);

// Draws one outline into the current path of dc, scaled from a cell of
// nCellWidth design units into rect.
void DrawSegmentPath(const SegmentPath& path, CDC& dc, const SegmentRect& rect, int nCellWidth);

struct BezierPoint
{
    double x, y;
};
// The two control points of the cubic from pts.front() to pts.back() that
// passes closest to the points between them.
void FitBezier(const std::vector<BezierPoint>& pts, BezierPoint& p1, BezierPoint& p2);
// Sum of squared distances of the inner points from the curve.
double BezierFitError(const std::vector<BezierPoint>& pts, const BezierPoint& p1, const BezierPoint& p2);
