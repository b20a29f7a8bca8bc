#include "controls/skin/GifDecoder.h"

namespace {

const BYTE kExtension = 0x21;
const BYTE kImage = 0x2C;
const BYTE kTrailer = 0x3B;
const BYTE kApplicationLabel = 0xFF;
const BYTE kCommentLabel = 0xFE;
const BYTE kGraphicControlLabel = 0xF9;
const BYTE kPlainTextLabel = 0x01;
const DWORD kHeaderAndScreen = 13;

}  // namespace

CGifDecoder::CGifDecoder() : m_pData(NULL), m_dwSize(0), m_nWidth(0), m_nHeight(0), m_nGlobalColorTableSize(0)
{
}

BOOL CGifDecoder::IsGif(const BYTE* pData, DWORD dwSize)
{
    return pData != NULL && dwSize >= 3 && pData[0] == 'G' && pData[1] == 'I' && pData[2] == 'F';
}

BOOL CGifDecoder::Open(const BYTE* pData, DWORD dwSize)
{
    m_pData = NULL;
    m_dwSize = 0;
    if (!IsGif(pData, dwSize) || dwSize < kHeaderAndScreen)
        return FALSE;
    m_pData = pData;
    m_dwSize = dwSize;
    m_nWidth = ReadWord(6);
    m_nHeight = ReadWord(8);
    BYTE packed = pData[10];
    m_nGlobalColorTableSize = (packed & 0x80) ? 3 * (1 << ((packed & 0x07) + 1)) : 0;
    return TRUE;
}

WORD CGifDecoder::ReadWord(DWORD dwPos) const
{
    if (dwPos + 2 > m_dwSize)
        return 0;
    return (WORD)(m_pData[dwPos] | (m_pData[dwPos + 1] << 8));
}

int CGifDecoder::GetSubBlocksLength(DWORD dwPos) const
{
    DWORD dwStart = dwPos;
    for (;;)
    {
        if (dwPos >= m_dwSize)
            return -1;
        BYTE size = m_pData[dwPos];
        dwPos += 1 + size;
        if (size == 0)
            return (int)(dwPos - dwStart);
    }
}

int CGifDecoder::GetBlockLength(DWORD dwPos) const
{
    if (dwPos >= m_dwSize)
        return -1;
    DWORD dwFixed = 0;
    BOOL bSubBlocks = TRUE;
    switch (m_pData[dwPos])
    {
    case kExtension:
        if (dwPos + 1 >= m_dwSize)
            return -1;
        switch (m_pData[dwPos + 1])
        {
        case kApplicationLabel: dwFixed = 14; break;
        case kCommentLabel: dwFixed = 2; break;
        case kGraphicControlLabel: dwFixed = 8; bSubBlocks = FALSE; break;
        case kPlainTextLabel: dwFixed = 15; break;
        default: return -1;
        }
        break;
    case kImage:
        dwFixed = 11;
        if (dwPos + 10 > m_dwSize)
            return -1;
        if (m_pData[dwPos + 9] & 0x80)
            dwFixed += 3 * (1 << ((m_pData[dwPos + 9] & 0x07) + 1));
        break;
    case kTrailer:
        return 1;
    default:
        return -1;
    }
    if (dwPos + dwFixed > m_dwSize)
        return -1;
    if (!bSubBlocks)
        return (int)dwFixed;
    int nSub = GetSubBlocksLength(dwPos + dwFixed);
    if (nSub < 0 || dwPos + dwFixed + nSub > m_dwSize)
        return -1;
    return (int)dwFixed + nSub;
}

BOOL CGifDecoder::IsGraphicBlock(DWORD dwPos) const
{
    BYTE kind = m_pData[dwPos];
    if (kind == kImage)
        return TRUE;
    return kind == kExtension && dwPos + 1 < m_dwSize &&
           (m_pData[dwPos + 1] == kGraphicControlLabel || m_pData[dwPos + 1] == kPlainTextLabel);
}

std::vector<GifFrameBlock> CGifDecoder::GetFrames() const
{
    std::vector<GifFrameBlock> frames;
    if (m_pData == NULL)
        return frames;
    DWORD dwPos = kHeaderAndScreen + m_nGlobalColorTableSize;
    for (;;)
    {
        // Skip to a graphic control extension, an image or a plain text block.
        int nLength = GetBlockLength(dwPos);
        while (nLength > 0 && m_pData[dwPos] != kTrailer && !IsGraphicBlock(dwPos))
        {
            dwPos += nLength;
            nLength = GetBlockLength(dwPos);
        }
        if (nLength <= 0 || m_pData[dwPos] == kTrailer)
            break;

        // A frame without a graphic control extension shows 100 ms, left as it is.
        GifFrameBlock frame = { dwPos, 0, 0, 0, 0, 0, 0, 0 };
        if (m_pData[dwPos] == kExtension && m_pData[dwPos + 1] == kGraphicControlLabel)
        {
            frame.nDisposal = (m_pData[dwPos + 3] >> 2) & 0x07;
            frame.nDelay = ReadWord(dwPos + 4);
            dwPos += nLength;
            nLength = GetBlockLength(dwPos);
            while (nLength > 0 && m_pData[dwPos] != kTrailer && m_pData[dwPos] != kImage &&
                   !(m_pData[dwPos] == kExtension && m_pData[dwPos + 1] == kPlainTextLabel))
            {
                dwPos += nLength;
                nLength = GetBlockLength(dwPos);
            }
            if (nLength <= 0 || m_pData[dwPos] == kTrailer)
                break;
        }
        // The image descriptor and the plain text grid keep position and size
        // at offsets 1 and 3 of their fields.
        DWORD dwFields = m_pData[dwPos] == kImage ? dwPos + 1 : dwPos + 3;
        frame.x = ReadWord(dwFields);
        frame.y = ReadWord(dwFields + 2);
        frame.cx = ReadWord(dwFields + 4);
        frame.cy = ReadWord(dwFields + 6);
        dwPos += nLength;
        frame.dwEnd = dwPos;
        frames.push_back(frame);
    }
    return frames;
}

std::vector<BYTE> CGifDecoder::BuildFrameFile(const GifFrameBlock& frame) const
{
    std::vector<BYTE> file;
    DWORD dwHead = kHeaderAndScreen + m_nGlobalColorTableSize;
    if (m_pData == NULL || dwHead > m_dwSize || frame.dwEnd > m_dwSize || frame.dwStart > frame.dwEnd)
        return file;
    file.reserve(dwHead + (frame.dwEnd - frame.dwStart) + 1);
    file.insert(file.end(), m_pData, m_pData + dwHead);
    file.insert(file.end(), m_pData + frame.dwStart, m_pData + frame.dwEnd);
    file.push_back(kTrailer);
    return file;
}
