#include "tests/support/HostServer.h"
#include "tests/support/HostSupport.h"
#include "tests/support/TestSupport.h"
#include <cstdlib>

namespace testsupport {

const char* const CHostServer::s_pszFileServer =
    "import os\n"
    "from http.server import SimpleHTTPRequestHandler, ThreadingHTTPServer\n"
    "class Quiet(SimpleHTTPRequestHandler):\n"
    "  def log_message(self, *args): pass\n"
    "s=ThreadingHTTPServer(('127.0.0.1',0),Quiet)\n"
    "open('port.tmp','w').write(str(s.server_address[1])); os.replace('port.tmp','port')\n"
    "s.serve_forever()\n";

CHostServer::CHostServer(const std::string& strKind)
{
    static LONG s_nCounter = 0;
    m_strDir = "/tmp/tamsel-" + strKind + "-" + std::to_string(ProcessSalt()) + "-" +
               std::to_string(::InterlockedIncrement(&s_nCounter));
    m_bFolder = RunHostCommand("rm -rf " + m_strDir + " && mkdir -p " + m_strDir, 20000) == 0;
}

CHostServer::~CHostServer()
{
    RunHostCommand("kill $(cat " + m_strDir + "/server.pid) 2>/dev/null; rm -rf " + m_strDir, 20000);
}

bool CHostServer::Start(const std::string& strScriptUnix, const std::string& strArgs)
{
    if (!m_bFolder || m_nPort != 0)
        return false;
    if (RunHostCommand("cd " + m_strDir + " && (/usr/bin/python3 " + strScriptUnix + " " + strArgs +
                           " </dev/null >/dev/null 2>&1 & echo $! > server.pid)",
                       20000) != 0)
        return false;
    // Python starts slowly on a loaded machine; the port comes once it listens.
    std::wstring strPortFile = Win("port");
    WaitFor([&] { return ::GetFileAttributesW(strPortFile.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000);
    m_nPort = atoi(ReadFileBytes(strPortFile).c_str());
    return m_nPort != 0;
}

bool CHostServer::StartScript(const char* pszScript, const std::string& strArgs)
{
    return m_bFolder && WriteFileBytes(Win("server.py"), pszScript) && Start("server.py", strArgs);
}

std::string CHostServer::Unix(const std::string& strRelative) const
{
    return m_strDir + "/" + strRelative;
}

std::wstring CHostServer::Win(const std::string& strRelative) const
{
    return DrivePathOf(Unix(strRelative));
}

} // namespace testsupport
