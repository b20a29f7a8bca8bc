#pragma once
// Helpers of the zip tests: archives built in memory, a reader of the raw
// layout, and a scratch folder that Linux tools see under the same path.
#include "framework/Afx.h"
#include "services/ZipReader.h"
#include "services/ZipWriter.h"
#include "tests/support/HostScratch.h"

#include <string>
#include <vector>

namespace ziptest {

struct MemoryItem
{
    std::wstring strName;
    std::string data;           // ignored for folders
    bool bFolder = false;
};

// An archive of the items as the writer makes it in memory; empty on failure.
std::string BuildArchive(const std::vector<MemoryItem>& items);

// One central directory entry and its local header, read from raw bytes.
struct RawEntry
{
    WORD wCentralFlags = 0, wLocalFlags = 0, wMethod = 0, wMadeBy = 0;
    WORD wDosTime = 0, wDosDate = 0;
    DWORD dwCrc = 0, dwCompressed = 0, dwUncompressed = 0, dwExternal = 0, dwLocalOffset = 0;
    std::string name, centralExtra, localExtra;
    DWORD dwLocalCrc = 0, dwLocalCompressed = 0, dwLocalUncompressed = 0;
    DWORD dwCrcFieldPos = 0;    // where the central CRC field lies
};
struct RawArchive
{
    bool bOk = false;
    WORD nItems = 0;
    DWORD dwCentralSize = 0, dwCentralOffset = 0;
    std::vector<RawEntry> entries;
};
RawArchive ParseRaw(const std::string& bytes);

// Z:\tmp\tamsel-zip-<salt>\<test>\ on the Windows side, /tmp/... on Linux.
class HostScratch : public testsupport::HostScratch
{
public:
    HostScratch() : testsupport::HostScratch("zip") {}
};

bool HostHas(const char* pszTool);
std::string ReadBytes(const std::wstring& strPath);
bool WriteBytes(const std::wstring& strPath, const std::string& bytes);
std::string TextOfSize(size_t nSize, unsigned nSeed);
std::string RandomOfSize(size_t nSize, unsigned nSeed);

} // namespace ziptest
