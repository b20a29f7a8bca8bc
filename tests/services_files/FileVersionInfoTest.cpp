#include "services/FileVersionInfo.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using testsupport::ScratchFolder;

namespace {

std::wstring SystemFile(LPCWSTR pszName)
{
    WCHAR szFolder[MAX_PATH] = {};
    GetSystemDirectoryW(szFolder, MAX_PATH);
    return std::wstring(szFolder) + L"\\" + pszName;
}

// One node of a version resource: length, value length, type, key, value, children.
class VersionNode
{
public:
    VersionNode(LPCWSTR pszKey, WORD wType) : m_strKey(pszKey), m_wType(wType) {}
    VersionNode& Text(LPCWSTR pszText)
    {
        size_t nChars = wcslen(pszText) + 1;
        m_value.assign((const BYTE*)pszText, (const BYTE*)pszText + nChars * 2);
        m_wValueLength = (WORD)nChars;
        return *this;
    }
    VersionNode& Binary(const void* pData, size_t nSize)
    {
        m_value.assign((const BYTE*)pData, (const BYTE*)pData + nSize);
        m_wValueLength = (WORD)nSize;
        return *this;
    }
    VersionNode& Child(const VersionNode& child) { m_children.push_back(child); return *this; }

    std::vector<BYTE> Build() const
    {
        std::vector<BYTE> out(6, 0);
        for (wchar_t ch : m_strKey + L'\0')
            PutWord(out, (WORD)ch);
        Align(out);
        for (BYTE b : m_value)
            out.push_back(b);
        for (const VersionNode& child : m_children)
        {
            Align(out);
            for (BYTE b : child.Build())
                out.push_back(b);
        }
        SetWord(out, 0, (WORD)out.size());
        SetWord(out, 2, m_wValueLength);
        SetWord(out, 4, m_wType);
        return out;
    }

private:
    static void Align(std::vector<BYTE>& out) { while (out.size() % 4) out.push_back(0); }
    static void PutWord(std::vector<BYTE>& out, WORD w) { out.push_back(LOBYTE(w)); out.push_back(HIBYTE(w)); }
    static void SetWord(std::vector<BYTE>& out, size_t nAt, WORD w) { out[nAt] = LOBYTE(w); out[nAt + 1] = HIBYTE(w); }
    std::wstring m_strKey;
    WORD m_wType;
    WORD m_wValueLength = 0;
    std::vector<BYTE> m_value;
    std::vector<VersionNode> m_children;
};

// A copy of a system library whose only resource is a version resource with
// two translations: German first, then US English.
std::wstring MakeTwoLanguageFile(const ScratchFolder& folder)
{
    std::wstring strFile = folder.File(L"twolang.dll");
    if (!CopyFileW(SystemFile(L"version.dll").c_str(), strFile.c_str(), FALSE))
        return std::wstring();

    VS_FIXEDFILEINFO fixed = {};
    fixed.dwSignature = 0xFEEF04BD;
    fixed.dwStrucVersion = 0x10000;
    fixed.dwFileVersionMS = MAKELONG(3, 7);  // 7.3
    fixed.dwFileVersionLS = MAKELONG(0, 12); // build 12
    fixed.dwFileOS = VOS_NT_WINDOWS32;
    fixed.dwFileType = VFT_DLL;
    DWORD translations[2] = { MAKELONG(0x0407, 1252), MAKELONG(0x0409, 1200) };

    VersionNode root(L"VS_VERSION_INFO", 0);
    root.Binary(&fixed, sizeof(fixed));
    root.Child(VersionNode(L"StringFileInfo", 1)
                   .Child(VersionNode(L"040704E4", 1)
                              .Child(VersionNode(L"FileDescription", 1).Text(L"Deutsche Beschreibung"))
                              .Child(VersionNode(L"CompanyName", 1).Text(L"Firma")))
                   .Child(VersionNode(L"040904B0", 1)
                              .Child(VersionNode(L"FileDescription", 1).Text(L"English description"))));
    root.Child(VersionNode(L"VarFileInfo", 1)
                   .Child(VersionNode(L"Translation", 0).Binary(translations, sizeof(translations))));
    std::vector<BYTE> data = root.Build();

    HANDLE hUpdate = BeginUpdateResourceW(strFile.c_str(), TRUE);
    if (!hUpdate)
        return std::wstring();
    BOOL bOk = UpdateResourceW(hUpdate, RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO), 0, data.data(), (DWORD)data.size());
    if (!EndUpdateResourceW(hUpdate, !bOk) || !bOk)
        return std::wstring();
    return strFile;
}

} // namespace

TEST(CFileVersionInfo, ReadsASystemLibrary)
{
    CFileVersionInfo info;
    ASSERT_TRUE(info.Create(SystemFile(L"kernel32.dll").c_str()));
    EXPECT_TRUE(info.IsValid());
    EXPECT_EQ(0xFEEF04BDu, info.GetFixedInfo().dwSignature);
    EXPECT_GE(info.GetTranslationCount(), 1);

    WCHAR szValue[256];
    ASSERT_TRUE(info.GetStringValue(L"FileVersion", szValue, 256));
    EXPECT_NE(L'\0', szValue[0]);
    EXPECT_TRUE(info.GetStringValue(L"OriginalFilename", szValue, 256));
    EXPECT_EQ(0, _wcsicmp(szValue, L"kernel32.dll"));
    EXPECT_TRUE(info.GetStringValue(CFileVersionInfo::VI_ORIGINAL_FILENAME, szValue, 256));
    EXPECT_TRUE(info.GetStringValue(L"FileVersion", nullptr, 0)); // a test for the value only

    // A value longer than the buffer is cut to size - 1 characters.
    WCHAR szSmall[5] = { L'x', L'x', L'x', L'x', L'x' };
    EXPECT_TRUE(info.GetStringValue(L"OriginalFilename", szSmall, 5));
    EXPECT_EQ(4u, wcslen(szSmall));

    // A missing value: FALSE and a zeroed buffer.
    szValue[0] = L'x';
    EXPECT_FALSE(info.GetStringValue(L"NoSuchValue", szValue, 256));
    EXPECT_EQ(L'\0', szValue[0]);
    EXPECT_FALSE(info.GetStringValue(L"FileVersion", szValue, 0));
}

TEST(CFileVersionInfo, FileWithoutVersionResourceFails)
{
    ScratchFolder folder;
    std::wstring strText = folder.File(L"plain.txt");
    ASSERT_TRUE(testsupport::WriteFileBytes(strText, "no resources here"));

    CFileVersionInfo info;
    EXPECT_FALSE(info.Create(strText.c_str()));
    EXPECT_FALSE(info.Create(folder.File(L"missing.dll").c_str()));
    EXPECT_FALSE(info.Create((HMODULE)NULL));
    // The test program itself carries no version resource.
    EXPECT_FALSE(info.Create(GetModuleHandleW(nullptr)));
    EXPECT_FALSE(info.IsValid());
    WCHAR szValue[16] = L"stale";
    EXPECT_FALSE(info.GetStringValue(L"FileVersion", szValue, 16));
    EXPECT_EQ(L'\0', szValue[0]);
}

TEST(CFileVersionInfo, FirstTranslationAnswersAndRecreateReplacesData)
{
    ScratchFolder folder;
    std::wstring strFile = MakeTwoLanguageFile(folder);
    ASSERT_FALSE(strFile.empty());

    CFileVersionInfo info;
    WCHAR szValue[64];
    // Loaded over an earlier file: the first file's data is gone.
    ASSERT_TRUE(info.Create(SystemFile(L"kernel32.dll").c_str()));
    ASSERT_TRUE(info.Create(strFile.c_str()));
    EXPECT_EQ(2, info.GetTranslationCount());
    EXPECT_EQ(0, info.GetCurrentTranslation());
    EXPECT_TRUE(info.GetStringValue(L"FileDescription", szValue, 64));
    EXPECT_STREQ(L"Deutsche Beschreibung", szValue);
    EXPECT_TRUE(info.GetStringValue(CFileVersionInfo::VI_COMPANY_NAME, szValue, 64));
    EXPECT_STREQ(L"Firma", szValue);
    EXPECT_FALSE(info.GetStringValue(L"OriginalFilename", szValue, 64));

    WORD wLanguage = 0, wCodePage = 0;
    EXPECT_TRUE(info.GetTranslation(1, wLanguage, wCodePage));
    EXPECT_EQ(0x0409, wLanguage);
    EXPECT_EQ(1200, wCodePage);
    EXPECT_FALSE(info.GetTranslation(2, wLanguage, wCodePage));
    EXPECT_FALSE(info.SetCurrentTranslation(2));
    EXPECT_TRUE(info.FindTranslation(0x0409, 1200));
    EXPECT_EQ(1, info.GetCurrentTranslation());
    EXPECT_TRUE(info.GetStringValue(L"FileDescription", szValue, 64));
    EXPECT_STREQ(L"English description", szValue);
    EXPECT_FALSE(info.FindTranslation(0x040C, 1252));

    // The library's fixed information as a DLL version record.
    HMODULE hLibrary = LoadLibraryW(strFile.c_str());
    ASSERT_TRUE(hLibrary != NULL);
    DLLVERSIONINFO version = {};
    version.cbSize = sizeof(version);
    EXPECT_EQ(S_OK, info.GetDllVersion(hLibrary, &version));
    EXPECT_EQ(7u, version.dwMajorVersion);
    EXPECT_EQ(3u, version.dwMinorVersion);
    EXPECT_EQ(12u, version.dwBuildNumber);
    EXPECT_EQ((DWORD)DLLVER_PLATFORM_WINDOWS, version.dwPlatformID);
    version.cbSize = 0;
    EXPECT_EQ(S_FALSE, info.GetDllVersion(hLibrary, &version));
    FreeLibrary(hLibrary);
}

TEST(CFileVersionInfo, CodePageNamesAndModulesWithoutVersion)
{
    WCHAR szName[64];
    EXPECT_TRUE(CFileVersionInfo::GetCodePageName(1252, szName, 64));
    EXPECT_STREQ(L"Multilingual", szName);
    EXPECT_FALSE(CFileVersionInfo::GetCodePageName(437, szName, 64));
    EXPECT_STREQ(L"Unknown", szName);

    CFileVersionInfo info;
    DLLVERSIONINFO version = {};
    version.cbSize = sizeof(version);
    EXPECT_EQ(S_FALSE, info.GetDllVersion(GetModuleHandleW(nullptr), &version)); // no version resource
    EXPECT_EQ(S_FALSE, info.GetDllVersion(nullptr, &version));
}
