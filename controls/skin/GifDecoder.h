#pragma once
// Reads the block structure of a GIF file and cuts it into one small GIF per
// frame (header, screen descriptor, global colour table, the frame's blocks
// and a trailer), which a picture loader can decode on its own.
#include <windows.h>
#include <vector>

struct GifFrameBlock
{
    DWORD dwStart;     // offset of the frame's first block (its graphic control extension or image)
    DWORD dwEnd;       // offset just past its image or plain text block
    int x, y;          // offset in the logical screen
    int cx, cy;        // size
    UINT nDelay;       // hundredths of a second
    UINT nDisposal;    // 0..7
};

class CGifDecoder
{
public:
    CGifDecoder();

    // FALSE when the data is not a GIF or too short for its descriptor.
    BOOL Open(const BYTE* pData, DWORD dwSize);
    static BOOL IsGif(const BYTE* pData, DWORD dwSize);

    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetGlobalColorTableSize() const { return m_nGlobalColorTableSize; }

    // Walks the graphic blocks from the first block after the colour table.
    std::vector<GifFrameBlock> GetFrames() const;
    // The stand-alone GIF of one frame.
    std::vector<BYTE> BuildFrameFile(const GifFrameBlock& frame) const;

    // Length of the block at dwPos, -1 for an unknown block or one that runs
    // past the data.
    int GetBlockLength(DWORD dwPos) const;

private:
    int GetSubBlocksLength(DWORD dwPos) const;
    WORD ReadWord(DWORD dwPos) const;
    BOOL IsGraphicBlock(DWORD dwPos) const;

    const BYTE* m_pData;
    DWORD m_dwSize;
    int m_nWidth;
    int m_nHeight;
    int m_nGlobalColorTableSize;
};
