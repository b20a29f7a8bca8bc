#pragma once
// A folder both sides see: /tmp/tamsel-<area>-<salt>/<test>/ for host tools,
// Z:\tmp\... for us. Created empty; removed with the area when the last test
// of the process leaves it.
#include <string>

namespace testsupport {

class HostScratch
{
public:
    explicit HostScratch(const std::string& strArea);
    ~HostScratch();
    HostScratch(const HostScratch&) = delete;
    HostScratch& operator=(const HostScratch&) = delete;

    std::wstring Win(const std::string& strRelative = std::string()) const;
    std::string Unix(const std::string& strRelative = std::string()) const;

private:
    std::string m_strAreaUnix;
    std::string m_strUnix;
};

} // namespace testsupport
