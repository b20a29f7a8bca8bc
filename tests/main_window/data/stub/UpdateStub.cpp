// A stand-in for the separate updater program: leaves a marker beside itself.
#include <windows.h>
#include <string>

#define STUB_TEXT2(x) #x
#define STUB_TEXT(x) STUB_TEXT2(x)

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    WCHAR szPath[MAX_PATH] = L"";
    ::GetModuleFileNameW(NULL, szPath, MAX_PATH);
    std::wstring strMarker(szPath);
    strMarker = strMarker.substr(0, strMarker.rfind(L'\\') + 1) + L"UpdateStubRan.txt";
    HANDLE hFile = ::CreateFileW(strMarker.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return 1;
    const char szText[] = "ran " STUB_TEXT(STUB_MAJOR) ".0.0.0";
    DWORD dwWritten = 0;
    ::WriteFile(hFile, szText, sizeof(szText) - 1, &dwWritten, NULL);
    ::CloseHandle(hFile);
    return 0;
}
