#include "tests/scanner/ScanTestSupport.h"
#include "scanner/ClassKeyLists.h"
#include "scanner/KeyReader.h"

using namespace scantest;

namespace {
void ClearSorted()
{
    CClassKeyLists& lists = ClassKeyLists();
    lists.m_extensions.Clear();
    lists.m_classNames.Clear();
    lists.m_progIds.Clear();
    lists.m_allNames.Clear();
}
}  // namespace

TEST(ClassKeyLists, SortsNamesByTheirDotsAndKeepsExcludedNamesOutOfTheLookups)
{
    ClassesKeys keys;
    std::wstring strRoot = L"TamselListTest" + NewGuid();
    // No Wow6432Node child here: Wine shows a 32-bit program that child in
    // place of the key that holds it. The root's own is tested below.
    for (LPCWSTR pszName : {L".tamselext", L"TamselClass", L"Tamsel.Prog.1", L"clsid", L"interface"})
        ASSERT_TRUE(keys.Create(strRoot + L"\\" + pszName));
    for (int nRun = 0; nRun < 2; nRun++)
    {
        ClearSorted();
        EXPECT_EQ(BuildKeyNameLists(strRoot.c_str()), 1);
        CClassKeyLists& lists = ClassKeyLists();
        EXPECT_EQ(lists.m_extensions.GetSize(), 1);
        EXPECT_EQ(lists.m_classNames.GetSize(), 1);
        EXPECT_EQ(lists.m_progIds.GetSize(), 1);
        EXPECT_EQ(lists.m_allNames.GetSize(), 5);
        EXPECT_TRUE(lists.m_classNames.IsUsable());
        EXPECT_TRUE(IsListedProgId(L"TAMSEL.prog.1"));
        EXPECT_TRUE(IsListedClassName(L"tamselclass"));
        EXPECT_FALSE(IsListedClassName(L"CLSID"));  // excluded in another case
        EXPECT_FALSE(IsListedClassName(L"Tamsel"));  // a prefix is not a name
    }
}

// The scan reads the root in its own view: a 32-bit scan on 64-bit Windows
// must see the class names a 64-bit program registered, and the 32-bit
// view's own root key is never taken for a class.
TEST(ClassKeyLists, TheRootHoldsTheClassesOfA64BitProgramForEitherBitness)
{
    ViewKeys keys(HKEY_CLASSES_ROOT, KEY_WOW64_64KEY);
    const std::wstring strTag = NewGuid().substr(1, 8);
    const std::wstring strExtension = L".tamsel64" + strTag, strClass = L"Tamsel64Class" + strTag,
                       strProgId = L"Tamsel64.Prog" + strTag;
    for (const std::wstring& strName : {strExtension, strClass, strProgId})
        ASSERT_TRUE(keys.Create(strName));
    ClearSorted();
    ASSERT_EQ(BuildKeyNameLists(CString()), 1);
    CClassKeyLists& lists = ClassKeyLists();
    EXPECT_TRUE(lists.m_extensions.Contains(strExtension.c_str()));
    EXPECT_TRUE(IsListedClassName(strClass.c_str()));
    EXPECT_TRUE(IsListedProgId(strProgId.c_str()));
    EXPECT_FALSE(IsListedClassName(strExtension.c_str()));
    EXPECT_TRUE(lists.m_allNames.Contains(L"CLSID"));
    EXPECT_FALSE(IsListedClassName(L"Wow6432Node"));
    EXPECT_FALSE(IsListedClassName(L"CLSID"));
    ClearSorted();
}

TEST(ClassKeyLists, AListWhoseKeyDidNotOpenIsNotUsable)
{
    ClearSorted();
    EXPECT_EQ(BuildKeyNameLists(L"TamselNoSuchKey\\Below"), -1);
    EXPECT_FALSE(ClassKeyLists().m_classNames.IsUsable());
    CClassKeyList list;
    list.Add(L"Stale");
    list.SetUsable(TRUE);
    // A failed fill never keeps the previous names.
    EXPECT_FALSE(list.FillFromKey(HKEY_CLASSES_ROOT, L"TamselNoSuchKey"));
    EXPECT_FALSE(list.IsUsable());
    EXPECT_FALSE(list.Contains(L"Stale"));
}

TEST(ClassKeyLists, AReadOnlyKeyStillFillsItsList)
{
    ClassesKeys keys;
    std::wstring strRoot = L"TamselListTest" + NewGuid();
    ASSERT_TRUE(keys.Create(strRoot + L"\\{ABC}"));
    ASSERT_TRUE(keys.MakeReadOnly(strRoot));
    CClassKeyList list;
    EXPECT_TRUE(list.FillFromKey(HKEY_CLASSES_ROOT, strRoot.c_str()));
    EXPECT_TRUE(list.Contains(L"{abc}"));
}

TEST(ClassKeyLists, ClsidListFindsAnyCaseAndFillsOnce)
{
    ASSERT_TRUE(FillClsidList(FALSE));
    int nSize = ClassKeyLists().m_clsids.GetSize();
    ASSERT_GT(nSize, 0);
    CString strFirst = ClassKeyLists().m_clsids.GetNames()[0];
    EXPECT_TRUE(IsListedClsid(LowerCase((LPCWSTR)strFirst).c_str()));
    EXPECT_FALSE(IsListedClsid(strFirst.Left(strFirst.GetLength() - 1)));
    ASSERT_TRUE(FillClsidList(FALSE));
    EXPECT_EQ(ClassKeyLists().m_clsids.GetSize(), nSize);
    // Both registry views on 64-bit Windows: the same keys here, each once.
    ASSERT_TRUE(FillClsidList(TRUE));
    EXPECT_EQ(ClassKeyLists().m_clsids.GetSize(), nSize);
}

// Some keys answer an error for ever at one index: the enumeration stops
// there instead of retrying, and the list is not usable.
TEST(ClassKeyLists, AnEnumerationThatKeepsFailingEndsAtOnce)
{
    const wchar_t* pszPerflib = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\009";
    CKeyReader key;
    if (key.Open(HKEY_LOCAL_MACHINE, pszPerflib) != ERROR_SUCCESS)
        GTEST_SKIP() << "no Perflib\\009 key here";
    DWORD dwStart = ::GetTickCount();
    CStringArray arrNames;
    LONG nKeys = key.GetSubKeyNames(arrNames);
    LONG nValues = key.GetValueNames(arrNames);
    EXPECT_LT(::GetTickCount() - dwStart, 10000u);  // not for ever
    CClassKeyList list;
    BOOL bUsable = list.FillFromKey(HKEY_LOCAL_MACHINE, pszPerflib);
    EXPECT_EQ(bUsable, nKeys == ERROR_SUCCESS);
    (void)nValues;
}
