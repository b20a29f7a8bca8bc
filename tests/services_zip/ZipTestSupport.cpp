#include "tests/services_zip/ZipTestSupport.h"

#include "tests/support/SampleBytes.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace ziptest {

using namespace zipformat;

std::string BuildArchive(const std::vector<MemoryItem>& items)
{
    ZipHandle hZip = CreateZipArchive(NULL, 4096, ZipKindMemory);
    if (!hZip)
        return std::string();
    bool bOk = true;
    for (const MemoryItem& item : items)
    {
        ZipResult zr = item.bFolder ? AddToZipArchive(hZip, item.strName.c_str(), NULL, 0, ZipKindFolder)
                                    : AddToZipArchive(hZip, item.strName.c_str(), item.data.data(), (DWORD)item.data.size(), ZipKindMemory);
        bOk = bOk && zr == ZipOk;
    }
    void* pBlock = NULL;
    DWORD dwLength = 0;
    std::string bytes;
    if (bOk && GetZipArchiveMemory(hZip, &pBlock, &dwLength) == ZipOk)
        bytes.assign((const char*)pBlock, dwLength);
    CloseZipWriter(hZip);
    return bytes;
}

RawArchive ParseRaw(const std::string& bytes)
{
    RawArchive a;
    if (bytes.size() < 22)
        return a;
    const BYTE* p = (const BYTE*)bytes.data();
    size_t nEnd = bytes.size() - 22;
    if (GetDword(p + nEnd) != EndRecordSignature)
        return a;
    a.nItems = GetWord(p + nEnd + 10);
    a.dwCentralSize = GetDword(p + nEnd + 12);
    a.dwCentralOffset = GetDword(p + nEnd + 16);
    size_t pos = a.dwCentralOffset;
    for (WORD i = 0; i < a.nItems; ++i)
    {
        if (pos + 46 > bytes.size() || GetDword(p + pos) != CentralHeaderSignature)
            return a;
        RawEntry e;
        e.wMadeBy = GetWord(p + pos + 4);
        e.wCentralFlags = GetWord(p + pos + 8);
        e.wMethod = GetWord(p + pos + 10);
        e.wDosTime = GetWord(p + pos + 12);
        e.wDosDate = GetWord(p + pos + 14);
        e.dwCrcFieldPos = (DWORD)pos + 16;
        e.dwCrc = GetDword(p + pos + 16);
        e.dwCompressed = GetDword(p + pos + 20);
        e.dwUncompressed = GetDword(p + pos + 24);
        WORD n = GetWord(p + pos + 28), x = GetWord(p + pos + 30), c = GetWord(p + pos + 32);
        e.dwExternal = GetDword(p + pos + 38);
        e.dwLocalOffset = GetDword(p + pos + 42);
        e.name.assign((const char*)p + pos + 46, n);
        e.centralExtra.assign((const char*)p + pos + 46 + n, x);
        pos += 46 + n + x + c;
        size_t l = e.dwLocalOffset;
        if (l + 30 > bytes.size() || GetDword(p + l) != LocalHeaderSignature)
            return a;
        e.wLocalFlags = GetWord(p + l + 6);
        e.dwLocalCrc = GetDword(p + l + 14);
        e.dwLocalCompressed = GetDword(p + l + 18);
        e.dwLocalUncompressed = GetDword(p + l + 22);
        e.localExtra.assign((const char*)p + l + 30 + GetWord(p + l + 26), GetWord(p + l + 28));
        a.entries.push_back(e);
    }
    a.bOk = true;
    return a;
}

bool HostHas(const char* pszTool)
{
    return testsupport::RunHostCommand(std::string("command -v ") + pszTool) == 0;
}

std::string ReadBytes(const std::wstring& strPath)
{
    return testsupport::ReadFileBytes(strPath);
}

bool WriteBytes(const std::wstring& strPath, const std::string& bytes)
{
    return testsupport::WriteFileBytes(strPath, bytes);
}

std::string TextOfSize(size_t nSize, unsigned nSeed)
{
    static const char* const s_words[] = { "HKEY_LOCAL_MACHINE", "Software", "\\", "Classes", "=", "\"", "dword:",
                                           "00000001", "\r\n", "[", "]", "CLSID", "{", "}", "InprocServer32", " " };
    std::string text;
    unsigned x = nSeed * 2654435761u + 1;
    while (text.size() < nSize)
    {
        x = x * 1103515245u + 12345u;
        text += s_words[(x >> 16) % (sizeof(s_words) / sizeof(s_words[0]))];
    }
    text.resize(nSize);
    return text;
}

std::string RandomOfSize(size_t nSize, unsigned nSeed)
{
    return testsupport::PseudoRandomBytes(nSize, nSeed);
}

} // namespace ziptest
