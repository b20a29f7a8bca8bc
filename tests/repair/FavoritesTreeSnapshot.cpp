#include "tests/repair/FavoritesTreeSnapshot.h"
#include "tests/support/TestSupport.h"

namespace favoritestest {

const char kFolder[] = "<folder>";

namespace {

void AddEntries(const std::wstring& strRoot, const std::wstring& strRelative, TreeSnapshot& entries)
{
    WIN32_FIND_DATAW data;
    HANDLE hFind = ::FindFirstFileW((strRoot + strRelative + L"*").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do
    {
        std::wstring strName = data.cFileName;
        if (strName == L"." || strName == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            entries[strRelative + strName] = kFolder;
            AddEntries(strRoot, strRelative + strName + L"\\", entries);
        }
        else
            entries[strRelative + strName] = testsupport::ReadFileBytes(strRoot + strRelative + strName);
    } while (::FindNextFileW(hFind, &data));
    ::FindClose(hFind);
}

} // namespace

TreeSnapshot Snapshot(const std::wstring& strRoot)
{
    TreeSnapshot entries;
    AddEntries(strRoot, std::wstring(), entries);
    return entries;
}

bool Plant(const std::wstring& strRoot, const TreeSnapshot& tree)
{
    ::CreateDirectoryW(strRoot.c_str(), NULL);
    // A folder sorts before everything below it.
    for (const auto& entry : tree)
    {
        std::wstring strPath = strRoot + entry.first;
        if (entry.second == kFolder ? !::CreateDirectoryW(strPath.c_str(), NULL)
                                    : !testsupport::WriteFileBytes(strPath, entry.second))
            return false;
    }
    return true;
}

bool IsPartOf(const TreeSnapshot& part, const TreeSnapshot& whole)
{
    for (const auto& entry : part)
    {
        auto it = whole.find(entry.first);
        if (it == whole.end() || it->second != entry.second)
            return false;
    }
    return true;
}

} // namespace favoritestest
