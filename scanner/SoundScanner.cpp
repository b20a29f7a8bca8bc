#include "scanner/Scanners.h"
#include "scanner/CommandLine.h"
#include "scanner/KeyReader.h"
#include "scanner/ProblemRecorder.h"
#include "services/PathString.h"

namespace {
const int SOUND_CATEGORY = 10;
// Apps, application, event, scheme: anything far deeper is not a scheme tree.
const int SOUND_MAX_DEPTH = 16;

// A bare name is looked for where the sound player looks: the Media folder, then PATH.
BOOL SoundExists(CScanContext& scan, const CString& strText)
{
    CString strPath = CPathString(strText).GetString();
    if (strPath.IsEmpty())
        return FALSE;
    if (strPath.Find(L'\\') < 0 && strPath.Find(L':') < 0 &&
        ::GetFileAttributesW(GetWindowsFolder() + L"Media\\" + strPath) != INVALID_FILE_ATTRIBUTES)
        return TRUE;
    return scan.m_pathTest.FileExists(strText);
}

void CheckScheme(CScanContext& scan, const CKeyReader& scheme)
{
    DWORD dwType = REG_NONE;
    if (!scheme.GetValueType(L"", dwType) || (dwType != REG_SZ && dwType != REG_EXPAND_SZ))
        return;
    CString strText = scheme.ReadString(L"", L"ERR");
    if (strText == L"ERR" || strText.IsEmpty())
        return;
    if (!SoundExists(scan, strText))
        RecordProblem(scan, SOUND_CATEGORY, HKEY_CURRENT_USER, scheme.GetPath(), TRUE, CString(), strText, 27);
}

// FALSE when the scan was stopped.
BOOL CheckSoundKey(CScanContext& scan, const CKeyReader& key, const CString& strName, int nDepth)
{
    if (scan.IsStopped())
        return FALSE;
    DWORD nSubKeys = 0;
    key.GetCounts(&nSubKeys, NULL);
    if (nSubKeys == 0)
    {
        if (strName.CompareNoCase(L".Default") == 0 || strName.CompareNoCase(L".Current") == 0)
            CheckScheme(scan, key);
        return TRUE;
    }
    if (nDepth >= SOUND_MAX_DEPTH)
        return TRUE;
    CStringArray arrNames;
    key.GetSubKeyNames(arrNames);
    for (int i = 0; i < arrNames.GetSize(); i++)
    {
        CKeyReader child;
        if (child.OpenChild(key, arrNames[i]) != ERROR_SUCCESS)
            continue;
        scan.ShowCurrentItem(L"HKEY_CURRENT_USER\\" + child.GetPath());
        if (!CheckSoundKey(scan, child, arrNames[i], nDepth + 1))
            return FALSE;
    }
    return TRUE;
}
}  // namespace

void ScanSounds(CScanContext& scan)
{
    if (!BeginCategory(scan, SOUND_CATEGORY))
        return;
    CKeyReader apps;
    if (apps.Open(HKEY_CURRENT_USER, L"AppEvents\\Schemes\\Apps") == ERROR_SUCCESS &&
        !CheckSoundKey(scan, apps, CString(), 0))
        return;
    EndCategory(scan, SOUND_CATEGORY);
}
