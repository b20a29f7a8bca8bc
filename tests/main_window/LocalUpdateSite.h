#pragma once
// A local update site for the updater and version-check tests: a Python
// server on 127.0.0.1 serving a scratch folder of the host, with prefixes
// that send 404 pages, cut-off bodies and stalls (data/update_site.py).
#include "tests/support/HostServer.h"
#include <windows.h>
#include <string>

class CLocalUpdateSite
{
public:
    CLocalUpdateSite();

    bool IsStarted() const { return m_server.IsStarted(); }
    // http://127.0.0.1:<port>/<prefix>download/ ; prefix "" or e.g. "404/"
    std::wstring BaseUrl(const std::wstring& strPrefix = L"") const;
    std::wstring Url(const std::wstring& strPath) const;
    // Writes a file below the site's root ("download/update.ini").
    bool Put(const std::string& strPath, const std::string& bytes);
    void Remove(const std::string& strPath);
    // Pumps until the server answers (or the time is up).
    bool WaitUntilListening(DWORD dwTimeoutMs = 15000);

private:
    testsupport::CHostServer m_server;
};
