#pragma once
// A host server for the stop tests of the version check and the updater. It
// holds a request until the test lets it go and writes what it saw into its
// log, a line each. Paths (NAME a file put into the site):
//   /hold/NAME  the request is held; once released, NAME whole
//   /part/NAME  the headers (the whole Content-Length) and the first half
//               of NAME, at most HELD_SITE_PART_BYTES; once released, the rest
//   /file/NAME  NAME whole
// Every answer says "Connection: close". Log lines: "asked PATH",
// "sent-part PATH", "answered PATH" (all of it sent), "cut PATH" (the client
// closed the connection before that) and "closed PATH" (after it).
#include "tests/support/HostServer.h"
#include <windows.h>
#include <string>

const int HELD_SITE_PART_BYTES = 300000;

class CHeldUpdateSite
{
public:
    CHeldUpdateSite();

    bool IsStarted() const { return m_server.IsStarted(); }
    // http://127.0.0.1:<port>/<strPath>
    std::wstring Url(const std::wstring& strPath) const;
    bool Put(const std::string& strName, const std::string& bytes);
    std::string Log() const;
    // A line of the log is exactly strLine.
    bool Saw(const std::string& strLine) const;
    // Lets every held request (and each one after) have the rest.
    bool Release();

private:
    testsupport::CHostServer m_server;
};

// Releases the site, then waits until it saw strPath's connection end and
// WinInet let go of every request state made since nStatesBefore.
void ExpectSiteLetGo(CHeldUpdateSite& site, const std::string& strPath, long nStatesBefore);
