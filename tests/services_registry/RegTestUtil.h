#pragma once
// Helpers of the registry tests: values set and read raw, whole trees taken
// as snapshots, .reg files written and read as text, and peer programs run.
#include <winsock2.h>
#include <windows.h>
#include "tests/support/HostSupport.h"
#include <map>
#include <string>
#include <vector>

class CRegFile;

namespace regtest {

typedef std::vector<BYTE> Bytes;

struct RawValue
{
    DWORD dwType = REG_NONE;
    Bytes data;
    bool operator==(const RawValue& other) const { return dwType == other.dwType && data == other.data; }
};

// Key path below the snapshot's top (lower case) -> value name (lower case) -> value.
typedef std::map<std::wstring, std::map<std::wstring, RawValue>> TreeSnapshot;

Bytes TextBytes(const std::wstring& text, bool bTerminate = true);
bool SetRaw(HKEY hKey, const std::wstring& name, DWORD dwType, const Bytes& data);
bool SetText(HKEY hKey, const std::wstring& name, const std::wstring& text, DWORD dwType = REG_SZ);
bool SetDword(HKEY hKey, const std::wstring& name, DWORD dwValue);
bool GetRaw(HKEY hRoot, const std::wstring& keyPath, const std::wstring& name, RawValue& value);
bool KeyExists(HKEY hRoot, const std::wstring& keyPath);
HKEY CreateKey(HKEY hParent, const std::wstring& path);  // caller closes
TreeSnapshot Snapshot(HKEY hRoot, const std::wstring& keyPath);
// A readable account of how two snapshots differ; empty when equal.
std::wstring Difference(const TreeSnapshot& expected, const TreeSnapshot& actual);

// A .reg file from text: UTF-16LE with byte-order mark, or bytes as given.
bool WriteRegText(const std::wstring& path, const std::wstring& text);
// A file's UTF-16LE text after its byte-order mark; empty, and bHasBom false,
// when it has none.
std::wstring ReadRegText(const std::wstring& path, bool& bHasBom);

// Starts a .reg file the way the program's writers do: BOM, then the
// header through the writer, which is left writing to hFile.
void BeginRegFile(CRegFile& regFile, HANDLE hFile);
// Exports one key with CRegFile the way the program's writers do: BOM,
// header, ExportKey. Returns ExportKey's result, or the error of creating
// the file.
DWORD ExportWithRegFile(const std::wstring& file, const std::wstring& keyPath);

// Registry links. The NT path of a key ("\REGISTRY\USER\..."), empty when
// it cannot be had; a link hRoot\path to an NT path; a link removed as a
// link, its target untouched. Each in the view samView.
std::wstring NtPathOf(HKEY hRoot, const std::wstring& path, REGSAM samView = 0);
bool CreateLinkKey(HKEY hRoot, const std::wstring& path, const std::wstring& target, REGSAM samView = 0);
bool DeleteLinkKey(HKEY hRoot, const std::wstring& path, REGSAM samView = 0);
bool IsLinkKey(HKEY hRoot, const std::wstring& path, REGSAM samView = 0);

using testsupport::RunWindowsProgram;

std::wstring Hex(const Bytes& data);

} // namespace regtest
