#include "tests/support/HostScratch.h"
#include "tests/support/TestSupport.h"

namespace testsupport {

HostScratch::HostScratch(const std::string& strArea)
{
    std::wstring test = CurrentTestName();
    m_strAreaUnix = "/tmp/tamsel-" + strArea + "-" + std::to_string(ProcessSalt());
    m_strUnix = m_strAreaUnix + "/" + std::string(test.begin(), test.end()) + "/";
    RunHostCommand("rm -rf '" + m_strUnix + "' && mkdir -p '" + m_strUnix + "'");
}

HostScratch::~HostScratch()
{
    RunHostCommand("rm -rf '" + m_strUnix + "'; rmdir " + m_strAreaUnix + " 2>/dev/null; true");
}

std::wstring HostScratch::Win(const std::string& strRelative) const
{
    return DrivePathOf(m_strUnix + strRelative);
}

std::string HostScratch::Unix(const std::string& strRelative) const
{
    return m_strUnix + strRelative;
}

} // namespace testsupport
