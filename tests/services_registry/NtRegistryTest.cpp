#include "services/NtRegistry.h"
#include "tests/services_registry/RegTestUtil.h"
#include "tests/support/TestSupport.h"
#include "framework/WinThread.h"

#include <gtest/gtest.h>

using namespace regtest;
using testsupport::ScratchRegKey;

namespace {
bool Contains(const CStringArray& arr, LPCWSTR psz)
{
    for (const CString& str : arr)
    {
        if (str.CompareNoCase(psz) == 0)
            return true;
    }
    return false;
}
} // namespace

TEST(NtRegistry, FreshObjectPointsNowhereUsable)
{
    CNtRegistry reg;
    EXPECT_EQ(reg.GetRootKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(reg.GetKey(), CString(L"HKEY_CURRENT_USER"));
    // The path names a subkey "HKEY_CURRENT_USER", which does not exist.
    EXPECT_EQ(reg.GetValueCount(), -1);
    EXPECT_EQ(reg.ReadString(L"Anything", L"dflt"), CString(L"dflt"));
    EXPECT_FALSE(reg.WriteString(L"Anything", L"x"));
}

TEST(NtRegistry, SetKeyAcceptsFourRootsAndKeepsPathOnFailure)
{
    ScratchRegKey scratch;
    CNtRegistry reg;
    EXPECT_FALSE(reg.SetKey(HKEY_CURRENT_CONFIG, L"Software", FALSE));
    EXPECT_EQ(reg.GetRootKey(), HKEY_CURRENT_USER);

    ASSERT_TRUE(reg.SetKey(HKEY_CURRENT_USER, scratch.Path().c_str(), FALSE));
    EXPECT_EQ(reg.GetKey(), CString(scratch.Path().c_str()));

    // The root is taken even when the key then fails; the path stays.
    EXPECT_FALSE(reg.SetKey(HKEY_LOCAL_MACHINE, L"Software\\TamselNoSuchKey", FALSE));
    EXPECT_EQ(reg.GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg.GetRootKey(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reg.GetKey(), CString(scratch.Path().c_str()));

    std::wstring child = scratch.Path() + L"\\New\\Deeper";
    EXPECT_FALSE(reg.SetKey(HKEY_CURRENT_USER, child.c_str(), FALSE));
    EXPECT_TRUE(reg.SetKey(HKEY_CURRENT_USER, child.c_str(), TRUE));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, child));

    EXPECT_EQ(CNtRegistry::RootFromName(L"HKEY_USERS"), HKEY_USERS);
    EXPECT_EQ(CNtRegistry::RootFromName(L"HKEY_CLASSES_ROOT"), HKEY_CLASSES_ROOT);
    EXPECT_EQ(CNtRegistry::RootFromName(L"hkey_users"), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(CNtRegistry::RootFromName(L"HKEY_CURRENT_CONFIG"), HKEY_LOCAL_MACHINE);
}

// After SetKey(root, "") every operation acts on the root itself, also after
// GetKey, and never on a subkey named after a hive.
TEST(NtRegistry, EmptyPathActsOnTheRootItself)
{
    CNtRegistry reg;
    ASSERT_TRUE(reg.SetKey(HKEY_LOCAL_MACHINE, L"", TRUE));
    EXPECT_EQ(reg.GetKey(), CString(L"HKEY_LOCAL_MACHINE"));
    CStringArray names;
    EXPECT_EQ(reg.GetSubKeyList(names), 1);
    EXPECT_TRUE(Contains(names, L"Software"));

    ASSERT_TRUE(reg.SetKey(HKEY_CURRENT_USER, L"", FALSE));
    EXPECT_EQ(reg.GetKey(), CString(L"HKEY_CURRENT_USER"));
    ASSERT_TRUE(reg.WriteString(L"TamselRootProbe", L"at the root"));
    EXPECT_EQ(reg.ReadString(L"TamselRootProbe", L"ERR"), CString(L"at the root"));
    RawValue value;
    EXPECT_TRUE(GetRaw(HKEY_CURRENT_USER, L"", L"TamselRootProbe", value));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"HKEY_CURRENT_USER"));
    EXPECT_GT(reg.GetSubKeyCount(), 0);
    EXPECT_TRUE(reg.DeleteValue(L"TamselRootProbe"));
    EXPECT_FALSE(GetRaw(HKEY_CURRENT_USER, L"", L"TamselRootProbe", value));
}

TEST(NtRegistry, WritersAndReaders)
{
    ScratchRegKey scratch;
    CNtRegistry reg;
    ASSERT_TRUE(reg.SetKey(HKEY_CURRENT_USER, scratch.Path().c_str(), FALSE));

    // "abc" is stored with its terminating null: 8 bytes.
    ASSERT_TRUE(reg.WriteString(L"Text", L"abc"));
    DWORD dwSize = 0;
    EXPECT_EQ(reg.GetValueType(L"Text", dwSize), (DWORD)REG_SZ);
    EXPECT_EQ(dwSize, 8u);
    EXPECT_EQ(reg.ReadString(L"Text", L"ERR"), CString(L"abc"));
    EXPECT_EQ(reg.ReadString(L"ignored\\path", L"Text", L"ERR"), CString(L"abc"));

    // WriteInt stores 4 raw bytes, low byte first, as REG_BINARY.
    ASSERT_TRUE(reg.WriteInt(L"Number", 0x12345678));
    RawValue value;
    ASSERT_TRUE(GetRaw(HKEY_CURRENT_USER, scratch.Path(), L"Number", value));
    EXPECT_EQ(value.dwType, (DWORD)REG_BINARY);
    EXPECT_EQ(value.data, (Bytes{ 0x78, 0x56, 0x34, 0x12 }));
    EXPECT_EQ(reg.ReadInt(L"Number", -1), 0x12345678);

    SetDword(scratch.Key(), L"Seven", 7);
    EXPECT_EQ(reg.ReadInt(L"Seven", -1), 7);
    SetText(scratch.Key(), L"SixChars", L"abcdef");
    EXPECT_EQ(reg.ReadInt(L"SixChars", -1), -1);
    SetRaw(scratch.Key(), L"Short", REG_BINARY, Bytes{ 0x34, 0x12 });
    EXPECT_EQ(reg.ReadInt(L"Short", -1), 0x1234);
    EXPECT_EQ(reg.ReadInt(L"Missing", 42), 42);

    // Only string types are read as text, unexpanded.
    EXPECT_EQ(reg.ReadString(L"Seven", L"ERR"), CString(L"ERR"));
    SetText(scratch.Key(), L"Expand", L"%SystemRoot%\\x", REG_EXPAND_SZ);
    EXPECT_EQ(reg.ReadString(L"Expand", L"ERR"), CString(L"%SystemRoot%\\x"));
    EXPECT_EQ(reg.ReadString(L"Missing", L"ERR"), CString(L"ERR"));

    EXPECT_TRUE(reg.ValueExists(L"Text"));
    EXPECT_FALSE(reg.ValueExists(L"Missing"));
    EXPECT_TRUE(reg.DeleteValue(L"Text"));
    EXPECT_FALSE(reg.DeleteValue(L"Text"));
    EXPECT_FALSE(reg.ValueExists(L"Text"));
}

TEST(NtRegistry, DefaultValueIsReadAsTextWhateverItsType)
{
    ScratchRegKey scratch;
    CNtRegistry reg;
    ASSERT_TRUE(reg.SetKey(HKEY_CURRENT_USER, scratch.Path().c_str(), FALSE));
    EXPECT_EQ(reg.ReadString(L"", L"ERR"), CString(L"ERR"));
    SetText(scratch.Key(), L"", L"hello");
    EXPECT_EQ(reg.ReadString(L"", L"ERR"), CString(L"hello"));
    SetRaw(scratch.Key(), L"", REG_BINARY, Bytes{ 'h', 0, 'i', 0 });
    EXPECT_EQ(reg.ReadString(L"", L"ERR"), CString(L"hi"));
    EXPECT_TRUE(reg.DeleteValue(L""));
    EXPECT_FALSE(reg.ValueExists(L""));
}

// Strings are read whole whatever their length, and always end.
TEST(NtRegistry, StringReadsAreSizedFromTheValue)
{
    ScratchRegKey scratch;
    CNtRegistry reg;
    ASSERT_TRUE(reg.SetKey(HKEY_CURRENT_USER, scratch.Path().c_str(), FALSE));

    std::wstring longText(5000, L'x');
    longText[4999] = L'!';
    SetText(scratch.Key(), L"Long", longText);
    EXPECT_EQ(reg.ReadString(L"Long", L"ERR"), CString(longText));

    std::wstring exact(1024, L'y');
    SetText(scratch.Key(), L"Exact", exact);
    EXPECT_EQ(reg.ReadString(L"Exact", L"ERR"), CString(exact));

    // Without a terminating null, and of odd length.
    SetRaw(scratch.Key(), L"Open", REG_SZ, TextBytes(L"open", false));
    EXPECT_EQ(reg.ReadString(L"Open", L"ERR"), CString(L"open"));
    SetRaw(scratch.Key(), L"Odd", REG_SZ, Bytes{ 'a', 0, 'b', 0, 'c' });
    EXPECT_EQ(reg.ReadString(L"Odd", L"ERR"), CString(L"ab"));
    // The text ends at its first null.
    SetRaw(scratch.Key(), L"Inner", REG_SZ, Bytes{ 'a', 0, 0, 0, 'b', 0, 0, 0 });
    EXPECT_EQ(reg.ReadString(L"Inner", L"ERR"), CString(L"a"));
}

TEST(NtRegistry, ValueTypeOfMissingValueAndKey)
{
    ScratchRegKey scratch;
    CNtRegistry reg;
    ASSERT_TRUE(reg.SetKey(HKEY_CURRENT_USER, scratch.Path().c_str(), FALSE));
    DWORD dwSize = 99;
    EXPECT_EQ(reg.GetValueType(L"Missing", dwSize), (DWORD)REG_SZ);
    EXPECT_EQ(dwSize, 1u);
    SetRaw(scratch.Key(), L"Bin", REG_BINARY, Bytes(40, 1));
    EXPECT_EQ(reg.GetValueType(L"Bin", dwSize), (DWORD)REG_BINARY);
    EXPECT_EQ(dwSize, 40u);

    // The key goes away under the object.
    RegDeleteKeyW(HKEY_CURRENT_USER, scratch.Path().c_str());
    EXPECT_EQ(reg.GetValueType(L"Bin", dwSize), (DWORD)-1);
    EXPECT_EQ(dwSize, 0u);
    CStringArray names;
    EXPECT_EQ(reg.GetValueList(names), -1);
    EXPECT_EQ(reg.GetSubKeyList(names), -1);
    EXPECT_EQ(reg.GetSubKeyCount(), -1);
    EXPECT_EQ(reg.GetValueCount(), -1);
    EXPECT_EQ(names.GetSize(), 0);
    EXPECT_EQ(reg.ReadString(L"Bin", L"ERR"), CString(L"ERR"));
}

TEST(NtRegistry, ListsAppendInEnumerationOrder)
{
    ScratchRegKey scratch;
    CNtRegistry reg;
    ASSERT_TRUE(reg.SetKey(HKEY_CURRENT_USER, scratch.Path().c_str(), FALSE));
    for (LPCWSTR psz : { L"alpha", L"beta", L"gamma" })
        RegCloseKey(CreateKey(scratch.Key(), psz));
    SetText(scratch.Key(), L"", L"default");
    SetText(scratch.Key(), L"one", L"1");
    // Longer than the 2048 characters of a fixed name buffer.
    std::wstring longName(3000, L'n');
    SetText(scratch.Key(), longName, L"2");

    CStringArray keys;
    keys.Add(L"kept");
    EXPECT_EQ(reg.GetSubKeyList(keys), 1);
    ASSERT_EQ(keys.GetSize(), 4);
    EXPECT_EQ(keys[0], CString(L"kept"));
    EXPECT_TRUE(Contains(keys, L"alpha") && Contains(keys, L"beta") && Contains(keys, L"gamma"));
    EXPECT_EQ(reg.GetSubKeyCount(), 3);

    CStringArray values;
    EXPECT_EQ(reg.GetValueList(values), 1);
    EXPECT_EQ(values.GetSize(), 3);
    EXPECT_TRUE(Contains(values, L""));
    EXPECT_TRUE(Contains(values, L"one"));
    EXPECT_TRUE(Contains(values, longName.c_str()));
    EXPECT_EQ(reg.GetValueCount(), 3);

    for (const CString& name : values)
        reg.DeleteValue(name);
    CStringArray none;
    EXPECT_EQ(reg.GetValueList(none), 1);
    EXPECT_EQ(none.GetSize(), 0);
}

// Wine answers the enumeration of this key with an error for ever; the lists
// must still end.
namespace {
UINT ListPerflibThreadProc(LPVOID pParam)
{
    CNtRegistry* pReg = static_cast<CNtRegistry*>(pParam);
    CStringArray names;
    pReg->GetSubKeyList(names);
    pReg->GetValueList(names);
    return 0;
}
} // namespace

TEST(NtRegistry, ListsEndOnPersistentErrors)
{
    static CNtRegistry reg;  // outlives a hung thread
    if (!reg.SetKey(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\009", FALSE))
        GTEST_SKIP() << "no Perflib\\009 key in this registry";
    HANDLE hThread = AfxBeginWorker(ListPerflibThreadProc, &reg);
    ASSERT_NE(hThread, (HANDLE)NULL);
    DWORD dwWait = WaitForSingleObject(hThread, 10000);
    EXPECT_EQ(dwWait, (DWORD)WAIT_OBJECT_0) << "enumeration did not end";
    if (dwWait != WAIT_OBJECT_0)
        TerminateThread(hThread, 1);
    CloseHandle(hThread);
}
