#pragma once
// A Python server on the host, listening on 127.0.0.1 at a port the system
// picks. Suites run side by side, each with servers of its own: a port made
// up by a test could be one another suite's server already holds, and the
// test would then talk to that server. The script runs in a fresh folder
// /tmp/tamsel-<kind>-<salt>-<n>/ and, once it listens, writes its port into
// the file "port" there (whole, by a rename).
#include <windows.h>
#include <string>

namespace testsupport {

class CHostServer
{
public:
    explicit CHostServer(const std::string& strKind);
    ~CHostServer();
    CHostServer(const CHostServer&) = delete;
    CHostServer& operator=(const CHostServer&) = delete;

    // Runs "python3 SCRIPT ARGS" in the folder, in the background, and waits
    // until the server has written its port.
    bool Start(const std::string& strScriptUnix, const std::string& strArgs = std::string());
    // The same with the script's text, written into the folder first.
    bool StartScript(const char* pszScript, const std::string& strArgs = std::string());
    bool IsStarted() const { return m_nPort != 0; }
    int Port() const { return m_nPort; }
    std::string Unix(const std::string& strRelative = std::string()) const;
    std::wstring Win(const std::string& strRelative = std::string()) const;

    // Serves the files below its folder, as "python3 -m http.server" does.
    static const char* const s_pszFileServer;

private:
    std::string m_strDir;
    bool m_bFolder = false;
    int m_nPort = 0;
};

} // namespace testsupport
