// The peer of the start-up benchmark: a plain program that shows one empty
// modal dialog and nothing else.
#include <windows.h>

namespace {
INT_PTR CALLBACK EmptyDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_CLOSE || (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)))
    {
        ::EndDialog(hDlg, 0);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}
} // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int)
{
    return (int)::DialogBoxParamW(hInstance, MAKEINTRESOURCEW(100), NULL, EmptyDialogProc, 0);
}
