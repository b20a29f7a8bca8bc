// Started by the tool pages in the tests: writes its whole command line
// (UTF-16) to the file named by its first argument.
#include <windows.h>
#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    int nArgs = 0;
    LPWSTR* ppArgs = CommandLineToArgvW(GetCommandLineW(), &nArgs);
    if (ppArgs == NULL || nArgs < 2)
        return 1;
    HANDLE hFile = CreateFileW(ppArgs[1], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return 2;
    LPCWSTR pszLine = GetCommandLineW();
    DWORD dwWritten = 0;
    WriteFile(hFile, pszLine, (DWORD)(lstrlenW(pszLine) * sizeof(wchar_t)), &dwWritten, NULL);
    CloseHandle(hFile);
    LocalFree(ppArgs);
    return 0;
}
