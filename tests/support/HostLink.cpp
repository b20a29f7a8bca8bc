#include "tests/support/HostLink.h"
#include "tests/support/HostPath.h"
#include "tests/support/TestSupport.h"

namespace testsupport {

bool HostLink(const std::wstring& strTarget, const std::wstring& strLink)
{
    std::string strUnixTarget = UnixPathOf(strTarget), strUnixLink = UnixPathOf(strLink);
    if (strUnixTarget.empty() || strUnixLink.empty())
        return false;
    return RunHostCommand("rm -f '" + strUnixLink + "' && ln -s '" + strUnixTarget + "' '" + strUnixLink + "'",
                          20000) == 0;
}

CHostLink::CHostLink(const std::wstring& strTarget, const std::wstring& strLink)
    : m_strUnixLink(UnixPathOf(strLink)), m_bMade(HostLink(strTarget, strLink))
{
}

CHostLink::~CHostLink()
{
    if (!m_strUnixLink.empty())
        RunHostCommand("rm -f '" + m_strUnixLink + "'", 20000);
}

} // namespace testsupport
