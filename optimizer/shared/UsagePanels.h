#pragma once
// The memory optimizer's four load panels: two segment meters and two history
// graphs. They sample nothing; the owner feeds them once a second.
#include "framework/Afx.h"
#include "framework/Controls.h"

// Painting into any device context, so the pictures can be checked off screen.
const int kMeterRows = 24;
const int kHistorySamples = 108;
// Rows lit for a load: a quarter of it rounded up, 0 to 24.
int MeterLitRows(int nLoad);
// Top of the segment row nRow (0 the top row) for a meter whose rows start at nTop.
inline int MeterRowTop(int nTop, int nRow) { return nTop + 3 * nRow; }
void PaintMeter(HDC hDC, const RECT& rcClient, int nTop, int nLoad, LPCWSTR lpszText, int xText, int yText);
// The grid step: an eighth of the height, never below one pixel.
int HistoryGridStep(int nHeight);
void PaintHistory(HDC hDC, const RECT& rcClient, const int* pSamples, int nCount, COLORREF crData);

class CMemoryInfoStatic : public CStatic
{
public:
    CMemoryInfoStatic() : m_nValue(0) {}
    int GetValue() const { return m_nValue; }

protected:
    // Paints the panel's picture into hDC (client size).
    virtual void Draw(HDC hDC, const RECT& rcClient) { (void)hDC; (void)rcClient; }
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    void Changed();
    DECLARE_MESSAGE_MAP()

    int m_nValue;
};

class CCpuMeterStatic : public CMemoryInfoStatic
{
public:
    void SetValue(int nLoad);

protected:
    void Draw(HDC hDC, const RECT& rcClient) override;
};

class CMemoryMeterStatic : public CMemoryInfoStatic
{
public:
    CMemoryMeterStatic() : m_nUsedKB(0) {}
    void SetValue(int nLoad, int nUsedKB);
    int GetUsedKB() const { return m_nUsedKB; }

protected:
    void Draw(HDC hDC, const RECT& rcClient) override;

private:
    int m_nUsedKB;
};

class CHistoryStatic : public CMemoryInfoStatic
{
public:
    explicit CHistoryStatic(COLORREF crData) : m_crData(crData), m_nCount(0) {}
    void AddValue(int nLoad);
    int GetCount() const { return m_nCount; }
    // Sample k, 0 the oldest held.
    int GetSample(int k) const { return m_nSamples[k]; }

protected:
    void Draw(HDC hDC, const RECT& rcClient) override;

private:
    COLORREF m_crData;
    int m_nSamples[kHistorySamples] = {};
    int m_nCount;
};

class CCpuHistoryStatic : public CHistoryStatic
{
public:
    CCpuHistoryStatic() : CHistoryStatic(RGB(0, 255, 0)) {}
};

class CMemoryHistoryStatic : public CHistoryStatic
{
public:
    CMemoryHistoryStatic() : CHistoryStatic(RGB(255, 255, 0)) {}
};
