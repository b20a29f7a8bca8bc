#include "optimizer/NetworkPage.h"
#include "optimizer/OptimizerText.h"
#include "optimizer/TuningOps.h"
#include "optimizer/shared/LangString.h"

namespace {
const UINT kRadioIDs[CNetworkPage::TYPE_COUNT] = {5055, 5035, 5036, 5037, 5038, 5039, 5040};
const UINT kChooseIDs[] = {5056, 5055, 5035, 5036, 5037, 5038, 5039, 5040, 5083, 5084, 5085, 5086, 5087, 5088};
const UINT kFinishIDs[] = {5073, 5057};
const UINT kNeverShownIDs[] = {5058, 5059, 5064};
const UINT kLabelIDs[] = {5083, 5084, 5085, 5086, 5087, 5088};
const LPCWSTR kLabelKeys[] = {L"IDC_STC_NW_MOD", L"IDC_STC_NW_DSL", L"IDC_STC_NW_CBM",
                              L"IDC_STC_NW_ISDN", L"IDC_STC_NW_PPP", L"IDC_STC_NW_LOB"};

struct CConnectionType
{
    UINT nOptionID;
    DWORD dwTtl;
    DWORD dwRecvSegment;
    DWORD dwWindow;
    DWORD dwMtu;
};
const CConnectionType kTypes[CNetworkPage::TYPE_COUNT] = {
    {5065, 32, 536, 65392, 576},    {5066, 128, 1460, 256960, 1500}, {5067, 128, 1460, 186880, 1500},
    {0, 0, 0, 0, 0},                {5068, 64, 536, 32767, 576},      {5069, 64, 1452, 255552, 1492},
    {5070, 64, 1460, 8192, 1500}};

const LPCWSTR kTcpip = L"Services\\Tcpip\\Parameters";
const LPCWSTR kInterfaces = L"Services\\Tcpip\\Parameters\\Interfaces";
const LPCWSTR kInternet = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

const CRegOp kCommon[] = {
    RegDword(ROOT_BOTH_SETS, kTcpip, L"SackOpts", 1),
    RegDword(ROOT_BOTH_SETS, kTcpip, L"TcpMaxDupAcks", 2),
    RegDword(ROOT_BOTH_SETS, kTcpip, L"EnablePMTUBHDetect", 1),
    RegDword(ROOT_BOTH_SETS, kTcpip, L"EnablePMTUDiscovery", 1),
    RegDword(ROOT_BOTH_SETS, kTcpip, L"Tcp1323Opts", 3),
    RegDword(ROOT_HKCU, kInternet, L"MaxConnectionsPer1_0Server", 5),
    RegDword(ROOT_HKCU, kInternet, L"MaxConnectionsPerServer", 5),
};

const CRegOp kDefaults[] = {
    RegDelete(ROOT_BOTH_SETS, kTcpip, L"SackOpts"),
    RegDelete(ROOT_BOTH_SETS, kTcpip, L"TcpMaxDupAcks"),
    RegDelete(ROOT_BOTH_SETS, kTcpip, L"EnablePMTUBHDetect"),
    RegDelete(ROOT_BOTH_SETS, kTcpip, L"EnablePMTUDiscovery"),
    RegDelete(ROOT_BOTH_SETS, kTcpip, L"Tcp1323Opts"),
    RegDword(ROOT_BOTH_SETS, kTcpip, L"DefaultTTL", 64),
    RegDelete(ROOT_BOTH_SETS, kTcpip, L"TcpRecvSegmentSize"),
    RegDelete(ROOT_BOTH_SETS, kTcpip, L"GlobalMaxTcpWindowSize"),
    RegDelete(ROOT_BOTH_SETS, kTcpip, L"TcpWindowSize"),
    {ROOT_BOTH_SETS, kInterfaces, L"MTU", OP_MTU_DELETE, 0, NULL, NULL, 0},
};
} // namespace

CNetworkPage::CNetworkPage() : CTuningPage(IDD)
{
}

void CNetworkPage::AlignOthersCaption()
{
    // Others carries its caption itself: it starts where the other types' labels do.
    CWnd* pLabel = GetDlgItem((int)kLabelIDs[0]);
    CWnd* pOthers = GetDlgItem(5037);
    if (pLabel == NULL || pOthers == NULL)
        return;
    CRect rcLabel, rcOthers;
    pLabel->GetWindowRect(&rcLabel);
    pOthers->GetWindowRect(&rcOthers);
    if (rcLabel.left > rcOthers.left)
        m_radios[3].SetTextLeft(rcLabel.left - rcOthers.left);
}

BOOL CNetworkPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetUpRadios(m_radios, kRadioIDs, TYPE_COUNT, 5);
    ShowControls(kNeverShownIDs, _countof(kNeverShownIDs), FALSE);
    AlignOthersCaption();
    SwitchLanguage();
    ShowStep(STEP_CHOOSE);
    return TRUE;
}

void CNetworkPage::ShowStep(int nStep)
{
    // Nothing to review here: the choice leads to the finish text.
    ShowControls(kChooseIDs, _countof(kChooseIDs), nStep == STEP_CHOOSE);
    ShowControls(kFinishIDs, _countof(kFinishIDs), nStep == STEP_FINISH || nStep == STEP_REVIEW);
}

void CNetworkPage::WriteType(int nType, CRegistry& reg)
{
    RunRegOps(reg, kCommon);
    if (nType < 0 || nType >= TYPE_COUNT || nType == TYPE_OTHERS)
        return;
    const CConnectionType& type = kTypes[nType];
    const CRegOp ops[] = {
        RegDword(ROOT_BOTH_SETS, kTcpip, L"DefaultTTL", type.dwTtl),
        RegDword(ROOT_BOTH_SETS, kTcpip, L"TcpRecvSegmentSize", type.dwRecvSegment),
        RegDword(ROOT_BOTH_SETS, kTcpip, L"GlobalMaxTcpWindowSize", type.dwWindow),
        RegDword(ROOT_BOTH_SETS, kTcpip, L"TcpWindowSize", type.dwWindow),
        {ROOT_BOTH_SETS, kInterfaces, L"MTU", OP_MTU, type.dwMtu, NULL, NULL, 0},
    };
    RunRegOps(reg, ops);
}

void CNetworkPage::ApplyWizard(CRegistry& reg)
{
    int nType = GetCheckedType();
    if (nType >= 0)
        WriteType(nType, reg);
}

BOOL CNetworkPage::ApplyOption(UINT nOptionID, CRegistry& reg)
{
    for (int nType = 0; nType < TYPE_COUNT; nType++)
    {
        if (nType != TYPE_OTHERS && kTypes[nType].nOptionID == nOptionID)
        {
            WriteType(nType, reg);
            return TRUE;
        }
    }
    // An id of no type still gets the values common to every type.
    RunRegOps(reg, kCommon);
    return FALSE;
}

void CNetworkPage::RestoreDefault(CRegistry& reg)
{
    RunRegOps(reg, kDefaults);
}

void CNetworkPage::SwitchLanguage()
{
    SetText(5056, LangText(L"IDC_STC_NW_TYPE"));
    SetText(5057, ExpandLineBreaks(LangText(L"IDC_STC_NW_FINISH")));
    for (int i = 0; i < (int)_countof(kLabelIDs); i++)
        SetText(kLabelIDs[i], LangText(kLabelKeys[i]));
}
