#pragma once
// What the favorites tests compare: a folder tree as its relative paths with
// each file's bytes, and trees planted from such a list.
#include <windows.h>
#include <map>
#include <string>

namespace favoritestest {

typedef std::map<std::wstring, std::string> TreeSnapshot;
// The value of a folder in a snapshot.
extern const char kFolder[];

// Every folder and file below strRoot (ending in '\'), by relative path;
// empty when strRoot is not there. For trees within MAX_PATH.
TreeSnapshot Snapshot(const std::wstring& strRoot);
// Makes strRoot with the folders and files of a snapshot below it.
bool Plant(const std::wstring& strRoot, const TreeSnapshot& tree);
// Whether every entry of part is in whole, a file with the same bytes.
bool IsPartOf(const TreeSnapshot& part, const TreeSnapshot& whole);

} // namespace favoritestest
