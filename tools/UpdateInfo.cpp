#include "tools/UpdateInfo.h"
#include "tools/UpdateAgent.h"
#include <cwchar>

namespace {

CString FirstString(IStringCollection* pStrings)
{
    LONG nCount = 0;
    CAgentBstr text;
    if (pStrings == NULL || FAILED(pStrings->get_Count(&nCount)) || nCount <= 0 || FAILED(pStrings->get_Item(0, text.Out())))
        return CString();
    return text.Text();
}

CString ReadText(IUpdate* pUpdate, HRESULT (STDMETHODCALLTYPE IUpdate::*pfnGet)(BSTR*))
{
    CAgentBstr text;
    if (FAILED((pUpdate->*pfnGet)(text.Out())))
        return CString();
    return text.Text();
}

CString ReadFirst(IUpdate* pUpdate, HRESULT (STDMETHODCALLTYPE IUpdate::*pfnGet)(IStringCollection**))
{
    CAgentPtr<IStringCollection> strings;
    if (FAILED((pUpdate->*pfnGet)(strings.Out())))
        return CString();
    return FirstString(strings.Get());
}

} // namespace

HRESULT ReadUpdateInfo(IUpdate* pUpdate, UpdateInfo& info)
{
    if (pUpdate == NULL)
        return E_POINTER;
    info.m_strTitle = ReadText(pUpdate, &IUpdate::get_Title);
    info.m_strDescription = ReadText(pUpdate, &IUpdate::get_Description);
    info.m_strSupportUrl = ReadText(pUpdate, &IUpdate::get_SupportUrl);

    DownloadPriority nPriority = (DownloadPriority)0;
    HRESULT hr = pUpdate->get_DownloadPriority(&nPriority);
    if (FAILED(hr))
        info.m_strDownloadPriority.Empty();
    else
        info.m_strDownloadPriority = nPriority == 1 ? L"Low" : nPriority == 2 ? L"Normal" : L"High";

    // A DECIMAL: sizes above 4 GB must not wrap.
    DECIMAL size = {};
    ULONG64 nBytes = 0;
    if (SUCCEEDED(pUpdate->get_MaxDownloadSize(&size)) && SUCCEEDED(::VarUI8FromDec(&size, &nBytes)))
        info.m_strMaxSize.Format(L"%llu", (unsigned long long)nBytes);
    else
        info.m_strMaxSize.Empty();

    info.m_strSeverity = ReadText(pUpdate, &IUpdate::get_MsrcSeverity);

    DATE date = 0;
    SYSTEMTIME st = {};
    if (SUCCEEDED(pUpdate->get_LastDeploymentChangeTime(&date)) && ::VariantTimeToSystemTime(date, &st))
        info.m_strDate.Format(L"%d-%d-%d", (int)st.wMonth, (int)st.wDay, (int)st.wYear);
    else
        info.m_strDate.Empty();

    info.m_strArticle = ReadFirst(pUpdate, &IUpdate::get_KBArticleIDs);
    info.m_strMoreInfoUrl = ReadFirst(pUpdate, &IUpdate::get_MoreInfoUrls);
    info.m_strReleaseNotes = ReadText(pUpdate, &IUpdate::get_ReleaseNotes);

    UpdateType nType = (UpdateType)0;
    if (SUCCEEDED(pUpdate->get_Type(&nType)))
        info.m_strType = nType == 1 ? L"Software" : nType == 2 ? L"Driver" : L"";
    else
        info.m_strType.Empty();
    return S_OK;
}

LPCWSTR UpdateSeverityKey(const CString& strSeverity)
{
    if (strSeverity == L"Critical")
        return L"SEVERITY_1";
    if (strSeverity == L"Important")
        return L"SEVERITY_2";
    if (strSeverity == L"Moderate" || strSeverity.IsEmpty())
        return L"SEVERITY_3";
    if (strSeverity == L"Low")
        return L"SEVERITY_4";
    return NULL;
}

CString FormatUpdateSize(const CString& strBytes)
{
    unsigned long long nBytes = std::wcstoull(strBytes, NULL, 10);
    CString strSize;
    strSize.Format(L"%.2f KB", (double)nBytes / 1024.0);
    return strSize;
}

LPCWSTR DownloadResultKey(int nResultCode)
{
    static const LPCWSTR s_keys[] = {L"DOWNLOAD_RESULT_1", L"DOWNLOAD_RESULT_2", L"DOWNLOAD_RESULT_3",
                                     L"DOWNLOAD_RESULT_3", L"DOWNLOAD_RESULT_5", L"DOWNLOAD_RESULT_6"};
    return nResultCode >= 0 && nResultCode < 6 ? s_keys[nResultCode] : s_keys[4];
}

LPCWSTR InstallResultKey(int nResultCode)
{
    static const LPCWSTR s_keys[] = {L"INSTALL_RESULT_1", L"INSTALL_RESULT_2", L"INSTALL_RESULT_3",
                                     L"INSTALL_RESULT_3", L"INSTALL_RESULT_5", L"INSTALL_RESULT_6"};
    return nResultCode >= 0 && nResultCode < 6 ? s_keys[nResultCode] : s_keys[4];
}
