#pragma once
// Shared by the benchmarks that time a program's window from outside: start
// it, find its main window, measure how long its thread takes to answer, close
// it; and a small window manager started on the host's display for runs
// with one.
#include <windows.h>
#include <string>

namespace benchsupport {

struct CProbedProgram
{
    PROCESS_INFORMATION pi = {};
    HWND hWnd = NULL;
    double dStart = 0;    // performance counter seconds at the start
    double dVisible = -1; // seconds from the start to the visible main window
};

// Starts strExe in strFolder; FALSE when it could not start.
bool StartProbedProgram(const std::wstring& strExe, const std::wstring& strFolder, CProbedProgram& program);
// Waits for the visible top-level window of the program (carrying the window
// property pszMark when given); FALSE when none came within dwWaitMs or the
// program ended.
bool WaitForMainWindow(CProbedProgram& program, LPCWSTR pszMark, DWORD dwWaitMs);
// Seconds one WM_NULL sent to the window takes to be answered (at most
// dwLimitMs); negative when it was not answered in that time.
double AnswerTime(HWND hWnd, DWORD dwLimitMs);
// Asks the program to close and waits for it (ends it after dwWaitMs).
void CloseProbedProgram(CProbedProgram& program, DWORD dwWaitMs);
// The window of a running copy that carries pszMark, or NULL.
HWND FindMarkedWindow(LPCWSTR pszMark);

// Folder of this program, with its trailing backslash.
std::wstring ProgramFolder();

// A small window manager on the host's display: the first of a short list
// that is installed; empty when none is.
std::string FindWindowManager();
// Starts it (FALSE when it could not) and stops it again.
bool StartWindowManager(const std::string& strManager);
void StopWindowManager();

} // namespace benchsupport
