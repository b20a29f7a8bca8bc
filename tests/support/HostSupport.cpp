#include "tests/support/HostSupport.h"

#include <stdlib.h>
#include <vector>

namespace testsupport {

bool WriteFileBytes(const std::wstring& strPath, const std::string& bytes)
{
    HANDLE h = CreateFileW(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD dwWritten = 0;
    BOOL bOk = WriteFile(h, bytes.data(), (DWORD)bytes.size(), &dwWritten, NULL);
    CloseHandle(h);
    return bOk && dwWritten == bytes.size();
}

std::string ReadFileBytes(const std::wstring& strPath)
{
    HANDLE h = CreateFileW(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return std::string();
    std::string data;
    char buf[65536];
    DWORD dwRead = 0;
    while (ReadFile(h, buf, sizeof(buf), &dwRead, NULL) && dwRead > 0)
        data.append(buf, dwRead);
    CloseHandle(h);
    return data;
}

bool WaitFor(const std::function<bool()>& condition, DWORD dwTimeoutMs)
{
    DWORD dwStart = GetTickCount();
    for (;;)
    {
        // A bounded batch: a fast timer keeps the queue full, and the
        // condition and the time limit must still be looked at.
        MSG msg;
        for (int n = 0; n < 64 && PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE); n++)
        {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (condition())
            return true;
        if (GetTickCount() - dwStart >= dwTimeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
    }
}

int RunWindowsProgram(const std::wstring& strCommand, DWORD dwTimeoutMs)
{
    std::vector<wchar_t> buffer(strCommand.begin(), strCommand.end());
    buffer.push_back(0);
    STARTUPINFOW si = { sizeof(si) };
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(NULL, buffer.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return -1;
    CloseHandle(pi.hThread);
    DWORD dwExit = (DWORD)-2;
    if (WaitForSingleObject(pi.hProcess, dwTimeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &dwExit);
    else
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    return (int)dwExit;
}

std::wstring DrivePathOf(const std::string& strUnixPath)
{
    std::wstring result = L"Z:";
    for (char c : strUnixPath)
        result += c == '/' ? L'\\' : (wchar_t)(unsigned char)c;
    return result;
}

int RunHostCommand(const std::string& strCommand, DWORD dwTimeoutMs)
{
    static LONG s_nCounter = 0;
    char szMarker[128];
    // Suites run side by side in prefixes of their own, whose process ids repeat:
    // the counter reading keeps one suite's marker apart from another's.
    LARGE_INTEGER li;
    QueryPerformanceCounter(&li);
    wsprintfA(szMarker, "/tmp/tamsel-host-%lu-%ld-%08lx%08lx.rc", GetCurrentProcessId(), InterlockedIncrement(&s_nCounter),
              (unsigned long)li.HighPart, (unsigned long)li.LowPart);
    std::wstring markerWin = DrivePathOf(szMarker);
    DeleteFileW(markerWin.c_str());

    std::string script = "( " + strCommand + " ) >/dev/null 2>&1; echo $? > " + szMarker + ".tmp; mv " + szMarker + ".tmp " + szMarker;
    std::wstring cmd = L"Z:\\bin\\sh -c \"";
    for (char c : script)
    {
        if (c == '"' || c == '\\')
            cmd += L'\\';
        cmd += (wchar_t)(unsigned char)c;
    }
    cmd += L"\"";
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si = { sizeof(si) };
    PROCESS_INFORMATION pi = {};
    // Wine starts a Unix program outside any Windows process: CreateProcessW
    // succeeds and leaves stale stack words in the handle fields, so closing
    // them would close whatever handles of ours carry those values.
    if (!CreateProcessW(NULL, buf.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return -1;
    bool bDone = WaitFor([&] { return GetFileAttributesW(markerWin.c_str()) != INVALID_FILE_ATTRIBUTES; }, dwTimeoutMs);
    if (!bDone)
        return -1;
    std::string text = ReadFileBytes(markerWin);
    DeleteFileW(markerWin.c_str());
    return atoi(text.c_str());
}

} // namespace testsupport
