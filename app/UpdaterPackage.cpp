#include "app/UpdaterPackage.h"
#include "app/UpdateDescription.h"
#include "app/VersionCheck.h"
#include "app/VersionCheckRequest.h"
#include "services/ZipReader.h"
#include "services/ZipWriter.h"
#include <shlwapi.h>
#include <vector>

namespace {

// Large reads: 20 MB in 64 KB blocks took about twice as long here as in 256 KB ones.
const DWORD READ_BLOCK = 256 * 1024;
const DWORD MAX_PACKAGE = 256 * 1024 * 1024;

BOOL IsDeviceName(const CString& strName)
{
    CString strBase = strName;
    int nDot = strBase.Find(L'.');
    if (nDot >= 0)
        strBase = strBase.Left(nDot);
    strBase.TrimRight(L" ");
    strBase.MakeUpper();
    static const WCHAR* const s_devices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"};
    for (LPCWSTR pszDevice : s_devices)
    {
        if (strBase == pszDevice)
            return TRUE;
    }
    if (strBase.GetLength() == 4 && (strBase.Left(3) == L"COM" || strBase.Left(3) == L"LPT") && strBase[3] >= L'0' &&
        strBase[3] <= L'9')
        return TRUE;
    return FALSE;
}

BOOL EnsureFolders(const CString& strBase, const CString& strRelativeFolder)
{
    CString strPath = strBase;
    int nStart = 0;
    while (nStart < strRelativeFolder.GetLength())
    {
        int nSlash = strRelativeFolder.Find(L'\\', nStart);
        CString strLevel = nSlash < 0 ? strRelativeFolder.Mid(nStart) : strRelativeFolder.Mid(nStart, nSlash - nStart);
        strPath += strLevel;
        if (!::CreateDirectoryW(strPath, NULL) && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return FALSE;
        strPath += L"\\";
        if (nSlash < 0)
            break;
        nStart = nSlash + 1;
    }
    return TRUE;
}

} // namespace

CUpdatePackage::CUpdatePackage(const CUpdaterSettings& settings)
    : m_settings(settings), m_hStop(NULL), m_dwBytes(0), m_nWritten(0), m_nSkipped(0)
{
}

CUpdatePackage::~CUpdatePackage()
{
}

HINTERNET CUpdatePackage::OpenSession() const
{
    HINTERNET hSession =
        CVersionCheckRequest::OpenSession(m_settings.strAgent.IsEmpty() ? L"Updater" : (LPCWSTR)m_settings.strAgent);
    if (hSession == NULL)
        return NULL;
    // A silent or stalled server must not hold the worker for ever.
    DWORD dwConnect = m_settings.dwConnectTimeout, dwReceive = m_settings.dwReceiveTimeout;
    ::InternetSetOptionW(hSession, INTERNET_OPTION_CONNECT_TIMEOUT, &dwConnect, sizeof(dwConnect));
    ::InternetSetOptionW(hSession, INTERNET_OPTION_SEND_TIMEOUT, &dwReceive, sizeof(dwReceive));
    ::InternetSetOptionW(hSession, INTERNET_OPTION_RECEIVE_TIMEOUT, &dwReceive, sizeof(dwReceive));
    ::InternetSetOptionW(hSession, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &dwReceive, sizeof(dwReceive));
    return hSession;
}

BOOL CUpdatePackage::IsStopped() const
{
    return m_hStop != NULL && ::WaitForSingleObject(m_hStop, 0) == WAIT_OBJECT_0;
}

BOOL CUpdatePackage::IsAllowedUrl(const CString& strUrl)
{
    CString strLower = strUrl;
    strLower.MakeLower();
    return strLower.Find(L"http://") == 0 || strLower.Find(L"https://") == 0;
}

CString CUpdatePackage::FileNameFromUrl(const CString& strUrl)
{
    CString strPath = strUrl;
    int nCut = strPath.FindOneOf(L"?#");
    if (nCut >= 0)
        strPath = strPath.Left(nCut);
    int nScheme = strPath.Find(L"://");
    if (nScheme >= 0)
    {
        int nSlash = strPath.Find(L'/', nScheme + 3);
        strPath = nSlash < 0 ? CString() : strPath.Mid(nSlash);
    }
    CString strName = strPath.Mid(strPath.ReverseFind(L'/') + 1);
    // Escaped characters count as what they stand for.
    WCHAR szName[MAX_PATH] = L"";
    DWORD dwLength = MAX_PATH;
    if (!strName.IsEmpty() && SUCCEEDED(::UrlUnescapeW((LPWSTR)(LPCWSTR)strName, szName, &dwLength, 0)))
        strName = szName;
    return strName;
}

BOOL CUpdatePackage::IsPlainFileName(const CString& strName)
{
    if (strName.IsEmpty() || strName.GetLength() >= MAX_PATH)
        return FALSE;
    if (strName.FindOneOf(L"\\/:*?\"<>|") >= 0)
        return FALSE;
    for (int i = 0; i < strName.GetLength(); i++)
    {
        if (strName[i] < 0x20)
            return FALSE;
    }
    // Windows drops trailing dots and blanks: "Settings.ini." is Settings.ini.
    WCHAR chLast = strName[strName.GetLength() - 1];
    if (chLast == L'.' || chLast == L' ' || strName.Find(L"..") >= 0)
        return FALSE;
    return !IsDeviceName(strName);
}

BOOL CUpdatePackage::IsProtectedName(const CString& strRelative) const
{
    CString strName = strRelative;
    strName.Replace(L'/', L'\\');
    strName.TrimRight(L". ");
    // Only the program folder's own files: a name in a subfolder is another file.
    if (strName.Find(L'\\') >= 0)
        return strName.Left(9).CompareNoCase(L"Language\\") == 0 && strName.Right(4).CompareNoCase(L".ini") == 0;
    static const WCHAR* const s_protected[] = {L"Tunekit.dll", L"Sweepkit.dll", L"Settings.ini", L"IgnoreList.dat"};
    for (LPCWSTR pszName : s_protected)
    {
        if (strName.CompareNoCase(pszName) == 0)
            return TRUE;
    }
    if (!m_settings.strRunningExe.IsEmpty() && strName.CompareNoCase(m_settings.strRunningExe) == 0)
        return TRUE;
    return ::GetFileAttributesW(m_settings.strAppDir + L"Language\\" + strName) != INVALID_FILE_ATTRIBUTES;
}

BOOL CUpdatePackage::Download(HINTERNET hSession, const CString& strUrl, CString& strTempFile)
{
    m_dwBytes = 0;
    strTempFile.Empty();
    if (hSession == NULL || !IsAllowedUrl(strUrl))
        return FALSE;
    CVersionCheckRequest request(m_hStop);
    const DWORD dwFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                          INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
    if (!request.Send(hSession, strUrl, dwFlags, m_settings.dwConnectTimeout, m_settings.dwReceiveTimeout))
        return FALSE;
    // An error page reads like a file: only a 200 counts.
    DWORD dwStatus = 0;
    if (!request.QueryNumber(HTTP_QUERY_STATUS_CODE, dwStatus) || dwStatus != HTTP_STATUS_OK)
        return FALSE;
    DWORD dwLength = 0;
    BOOL bLength = request.QueryNumber(HTTP_QUERY_CONTENT_LENGTH, dwLength);
    if (bLength && dwLength > MAX_PACKAGE)
        return FALSE;

    WCHAR szTemp[MAX_PATH] = L"";
    if (!::GetTempFileNameW(m_settings.strAppDir, L"upd", 0, szTemp))
        return FALSE;
    HANDLE hFile = ::CreateFileW(szTemp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
    {
        ::DeleteFileW(szTemp);
        return FALSE;
    }
    BOOL bOk = TRUE;
    for (;;)
    {
        // Each read sees a stop, before it and while it waits.
        const BYTE* pData = NULL;
        DWORD dwRead = 0;
        if (!request.Read(READ_BLOCK, pData, dwRead))
        {
            bOk = FALSE;
            break;
        }
        if (dwRead == 0)
            break;
        DWORD dwWritten = 0;
        if (m_dwBytes + dwRead > MAX_PACKAGE || !::WriteFile(hFile, pData, dwRead, &dwWritten, NULL) ||
            dwWritten != dwRead)
        {
            bOk = FALSE;
            break;
        }
        m_dwBytes += dwRead;
    }
    ::CloseHandle(hFile);
    // A body cut short ends like a complete one: the count tells.
    if (bOk && bLength && m_dwBytes != dwLength)
        bOk = FALSE;
    if (!bOk)
    {
        ::DeleteFileW(szTemp);
        return FALSE;
    }
    strTempFile = szTemp;
    return TRUE;
}

BOOL CUpdatePackage::VerifyZip(const CString& strFile, HANDLE hStop)
{
    ZipHandle hZip = OpenZipArchive((LPCWSTR)strFile, 0, ZipKindFile);
    if (hZip == NULL)
        return FALSE;
    ZipArchiveEntry entry = {};
    BOOL bOk = GetZipArchiveItem(hZip, -1, &entry) == ZipOk;
    int nCount = bOk ? entry.m_nIndex : 0;
    std::vector<BYTE> buffer(READ_BLOCK);
    for (int i = 0; bOk && i < nCount; i++)
    {
        ZipArchiveEntry item = {};
        if (GetZipArchiveItem(hZip, i, &item) != ZipOk)
            continue;  // a name the reader refuses: skipped when unpacking
        if (item.m_dwAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        ZipResult zr = ZipMore;
        do
        {
            if (hStop != NULL && ::WaitForSingleObject(hStop, 0) == WAIT_OBJECT_0)
                break;
            zr = ExtractZipArchiveItem(hZip, i, buffer.data(), READ_BLOCK, ZipKindMemory);
        } while (zr == ZipMore);
        bOk = zr == ZipOk && (hStop == NULL || ::WaitForSingleObject(hStop, 0) != WAIT_OBJECT_0);
    }
    CloseZipReader(hZip);
    return bOk;
}

BOOL CUpdatePackage::VerifyVersion(const CString& strFile, const CString& strMinVersion)
{
    CString strVersion = CUpdateChecker::GetFileVersionString(strFile);
    if (strVersion.IsEmpty())
        return FALSE;
    int nCompare = CUpdateChecker::CompareVersions(strVersion, strMinVersion);
    return nCompare == 0 || nCompare == 1;
}

BOOL CUpdatePackage::BackupFile(const CString& strTarget)
{
    CString strBackup = strTarget + L".bak";
    if (::GetFileAttributesW(strTarget) == INVALID_FILE_ATTRIBUTES)
        return TRUE;
    ::DeleteFileW(strBackup);
    return ::MoveFileExW(strTarget, strBackup, MOVEFILE_COPY_ALLOWED);
}

BOOL CUpdatePackage::RestoreFile(const CString& strTarget)
{
    CString strBackup = strTarget + L".bak";
    ::DeleteFileW(strTarget);
    if (::GetFileAttributesW(strBackup) == INVALID_FILE_ATTRIBUTES)
        return TRUE;
    return ::MoveFileExW(strBackup, strTarget, MOVEFILE_COPY_ALLOWED);
}

int CUpdatePackage::UnpackZip(const CString& strFile)
{
    m_nWritten = 0;
    m_nSkipped = 0;
    ZipHandle hZip = OpenZipArchive((LPCWSTR)strFile, 0, ZipKindFile);
    if (hZip == NULL)
        return 0;
    ZipArchiveEntry entry = {};
    int nCount = GetZipArchiveItem(hZip, -1, &entry) == ZipOk ? entry.m_nIndex : 0;
    std::vector<CString> arrWritten;
    for (int i = 0; i < nCount; i++)
    {
        if (IsStopped())
        {
            // Half an updater is none: what this run wrote goes back to its
            // backup, the last one first.
            for (auto it = arrWritten.rbegin(); it != arrWritten.rend(); ++it)
                RestoreFile(*it);
            m_nWritten = 0;
            break;
        }
        ZipArchiveEntry item = {};
        if (GetZipArchiveItem(hZip, i, &item) != ZipOk)
        {
            m_nSkipped++;
            continue;
        }
        CString strName = item.m_szName;
        strName.Replace(L'/', L'\\');
        strName.TrimLeft(L"\\");
        BOOL bFolder = (item.m_dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        strName.TrimRight(L"\\");
        // Every level a plain name, and none of the program's own files.
        BOOL bSafe = !strName.IsEmpty();
        for (int nStart = 0; bSafe && nStart <= strName.GetLength();)
        {
            int nSlash = strName.Find(L'\\', nStart);
            CString strLevel = nSlash < 0 ? strName.Mid(nStart) : strName.Mid(nStart, nSlash - nStart);
            bSafe = IsPlainFileName(strLevel);
            if (nSlash < 0)
                break;
            nStart = nSlash + 1;
        }
        if (!bSafe || (!bFolder && IsProtectedName(strName)))
        {
            m_nSkipped++;
            continue;
        }
        if (bFolder)
        {
            EnsureFolders(m_settings.strAppDir, strName);
            continue;
        }
        int nSlash = strName.ReverseFind(L'\\');
        if (nSlash > 0 && !EnsureFolders(m_settings.strAppDir, strName.Left(nSlash)))
        {
            m_nSkipped++;
            continue;
        }
        CString strTarget = m_settings.strAppDir + strName;
        if (!BackupFile(strTarget))
        {
            m_nSkipped++;
            continue;
        }
        if (ExtractZipArchiveItem(hZip, i, (LPCWSTR)strTarget, 0, ZipKindFile) == ZipOk)
        {
            m_nWritten++;
            arrWritten.push_back(strTarget);
        }
        else
            RestoreFile(strTarget);
    }
    if (IsZipWriterHandle(hZip))
        CloseZipWriter(hZip);
    else
        CloseZipReader(hZip);
    return m_nWritten;
}

CUpdatePackage::Outcome CUpdatePackage::Run()
{
    CUpdateDescription description = CUpdateDescription::Read(m_settings.strAppDir + UPDATE_DESCRIPTION_FILE);
    CString strUrl = description.strPackUrl;
    strUrl.Trim();
    if (strUrl.IsEmpty())
        return OUTCOME_NO_PACKAGE;
    CString strName = FileNameFromUrl(strUrl);
    if (!IsAllowedUrl(strUrl) || !IsPlainFileName(strName) || IsProtectedName(strName))
        return OUTCOME_FAILED;
    HINTERNET hSession = OpenSession();
    if (hSession == NULL)
        return OUTCOME_FAILED;
    CString strTemp;
    BOOL bFetched = Download(hSession, strUrl, strTemp);
    ::InternetCloseHandle(hSession);
    if (!bFetched)
        return OUTCOME_FAILED;

    Outcome outcome = OUTCOME_FAILED;
    BOOL bZip = strName.GetLength() >= 3 && strName.Right(3).CompareNoCase(L"zip") == 0;
    if (bZip)
    {
        if (VerifyZip(strTemp, m_hStop))
        {
            UnpackZip(strTemp);
            outcome = m_nWritten > 0 ? OUTCOME_DONE : OUTCOME_FAILED;
        }
    }
    else
    {
        // A new updater must carry its version, and not an older one.
        BOOL bCheck = strName.CompareNoCase(L"Update.exe") != 0 ||
                      VerifyVersion(strTemp, description.strUpdaterVersion);
        CString strTarget = m_settings.strAppDir + strName;
        // The move itself is a rename within the folder: a stop comes before it or not at all.
        if (bCheck && !IsStopped() && BackupFile(strTarget))
        {
            if (::MoveFileExW(strTemp, strTarget, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
                outcome = OUTCOME_DONE;
            else
                RestoreFile(strTarget);
        }
    }
    ::DeleteFileW(strTemp);
    return outcome;
}
