#include "services/Base64.h"

namespace {

const char g_szAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
BYTE g_decodeTable[256];
bool g_bTableBuilt = false;

BYTE DecodeChar(wchar_t ch)
{
    return g_decodeTable[(BYTE)ch];
}

} // namespace

void BuildBase64DecodeTable()
{
    for (int i = 0; i < 256; ++i)
        g_decodeTable[i] = 0;
    for (int i = 0; i < 64; ++i)
        g_decodeTable[(BYTE)g_szAlphabet[i]] = (BYTE)i;
    g_bTableBuilt = true;
}

int Base64Encode(const wchar_t* pData, LPWSTR pszOut, int nCount)
{
    if (!pData || !pszOut || nCount <= 0)
        return 0;
    int nOut = 0;
    DWORD dwBits = 0;
    int nBits = 0;
    for (int i = 0; i < nCount; ++i)
    {
        dwBits = (dwBits << 8) | (pData[i] & 0xFF);
        nBits += 8;
        while (nBits >= 6)
        {
            nBits -= 6;
            pszOut[nOut++] = (wchar_t)g_szAlphabet[(dwBits >> nBits) & 0x3F];
        }
    }
    if (nBits > 0)
        pszOut[nOut++] = (wchar_t)g_szAlphabet[(dwBits << (6 - nBits)) & 0x3F];
    pszOut[nOut] = 0;
    return nOut;
}

int Base64Decode(LPCWSTR pszText, wchar_t* pOut)
{
    if (!pszText || !pOut)
        return 0;
    if (!g_bTableBuilt)
        BuildBase64DecodeTable();
    int nLength = (int)wcslen(pszText);
    if (nLength < 2)
        return 0;
    int nOut = 0;
    for (int i = 0; i + 1 < nLength; i += 4)
    {
        int nGroup = nLength - i < 4 ? nLength - i : 4;
        BYTE v1 = DecodeChar(pszText[i]);
        BYTE v2 = DecodeChar(pszText[i + 1]);
        BYTE v3 = nGroup > 2 ? DecodeChar(pszText[i + 2]) : 0;
        BYTE v4 = nGroup > 3 ? DecodeChar(pszText[i + 3]) : 0;
        pOut[nOut++] = (wchar_t)(BYTE)(v1 * 4 + v2 / 16);
        if (nGroup > 2)
            pOut[nOut++] = (wchar_t)(BYTE)((v2 % 16) * 16 + v3 / 4);
        if (nGroup > 3)
            pOut[nOut++] = (wchar_t)(BYTE)((v3 % 4) * 64 + v4);
    }
    return nOut;
}
