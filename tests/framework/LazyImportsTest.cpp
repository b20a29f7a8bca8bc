#include "framework/LazyImports.h"
#include "framework/ModulePath.h"

#include <gtest/gtest.h>
#include <mmsystem.h>
#include <string>
#include <vector>
#include <wininet.h>

namespace {
// The names in the import directory of a PE file, upper-cased.
std::vector<std::string> ImportedLibraries(const std::wstring& strFile)
{
    std::vector<std::string> names;
    HANDLE hFile = ::CreateFileW(strFile.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return names;
    DWORD dwSize = ::GetFileSize(hFile, NULL);
    std::vector<BYTE> data(dwSize);
    DWORD dwRead = 0;
    BOOL bRead = ::ReadFile(hFile, data.data(), dwSize, &dwRead, NULL) && dwRead == dwSize;
    ::CloseHandle(hFile);
    if (!bRead || dwSize < sizeof(IMAGE_DOS_HEADER))
        return names;
    const IMAGE_DOS_HEADER* pDos = (const IMAGE_DOS_HEADER*)data.data();
    const IMAGE_NT_HEADERS* pNt = (const IMAGE_NT_HEADERS*)(data.data() + pDos->e_lfanew);
    // Both builds' headers: the optional header differs in size, the
    // directory sits at its end either way.
    const IMAGE_DATA_DIRECTORY* pDirs =
        pNt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC
            ? ((const IMAGE_NT_HEADERS64*)pNt)->OptionalHeader.DataDirectory
            : ((const IMAGE_NT_HEADERS32*)pNt)->OptionalHeader.DataDirectory;
    DWORD dwImportRva = pDirs[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    const IMAGE_SECTION_HEADER* pSections = IMAGE_FIRST_SECTION(pNt);
    auto toOffset = [&](DWORD dwRva) -> const BYTE* {
        for (WORD i = 0; i < pNt->FileHeader.NumberOfSections; i++)
        {
            const IMAGE_SECTION_HEADER& section = pSections[i];
            if (dwRva >= section.VirtualAddress && dwRva < section.VirtualAddress + section.SizeOfRawData)
                return data.data() + section.PointerToRawData + (dwRva - section.VirtualAddress);
        }
        return NULL;
    };
    const IMAGE_IMPORT_DESCRIPTOR* pImport = (const IMAGE_IMPORT_DESCRIPTOR*)toOffset(dwImportRva);
    for (; pImport != NULL && pImport->Name != 0; pImport++)
    {
        const char* pszName = (const char*)toOffset(pImport->Name);
        if (pszName == NULL)
            break;
        std::string strName(pszName);
        for (char& c : strName)
            c = (char)toupper((unsigned char)c);
        names.push_back(strName);
    }
    return names;
}

bool Imports(const std::vector<std::string>& names, const char* pszName)
{
    for (const std::string& strName : names)
        if (strName == pszName)
            return true;
    return false;
}
} // namespace

// The product starts without WinInet and WinMM: they come with their first
// call. The libraries the window needs at once stay in its imports.
TEST(LazyImports, TheProgramDoesNotLoadInternetOrSoundAtStart)
{
    std::vector<std::string> names = ImportedLibraries((LPCWSTR)(AfxGetModuleFolder() + L"Tamsel.exe"));
    ASSERT_FALSE(names.empty()) << "no import directory read from Tamsel.exe";
    EXPECT_FALSE(Imports(names, "WININET.DLL"));
    EXPECT_FALSE(Imports(names, "WINMM.DLL"));
    EXPECT_TRUE(Imports(names, "USER32.DLL"));
    EXPECT_TRUE(Imports(names, "COMCTL32.DLL"));
}

// A first call loads the library and gives the function's own answer, a
// later call the same; a failing call still reports as the function does.
TEST(LazyImports, FirstCallLoadsTheLibraryAndAnswers)
{
    for (int nCall = 0; nCall < 2; nCall++)
    {
        WCHAR szHost[64] = {}, szPath[128] = {};
        URL_COMPONENTSW parts = {sizeof(parts)};
        parts.lpszHostName = szHost;
        parts.dwHostNameLength = 64;
        parts.lpszUrlPath = szPath;
        parts.dwUrlPathLength = 128;
        ASSERT_TRUE(::InternetCrackUrlW(L"http://www.example.com:8080/files/a.txt", 0, 0, &parts))
            << "error " << ::GetLastError();
        EXPECT_STREQ(szHost, L"www.example.com");
        EXPECT_STREQ(szPath, L"/files/a.txt");
        EXPECT_EQ(parts.nPort, 8080);
    }
    EXPECT_TRUE(IsLazyLibraryLoaded(L"wininet.dll"));
    EXPECT_NE(::GetModuleHandleW(L"wininet.dll"), (HMODULE)NULL);

    ::SetLastError(0);
    EXPECT_FALSE(::InternetCloseHandle(NULL));
    EXPECT_NE(::GetLastError(), (DWORD)ERROR_MOD_NOT_FOUND);

    // Stopping sounds when none plays succeeds.
    EXPECT_TRUE(::PlaySoundW(NULL, NULL, 0));
    EXPECT_TRUE(IsLazyLibraryLoaded(L"winmm.dll"));
    EXPECT_FALSE(IsLazyLibraryLoaded(L"shell32.dll"));
}
