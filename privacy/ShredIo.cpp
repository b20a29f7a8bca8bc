#include "privacy/ShredIo.h"
#include <new>

namespace {

class CSystemShredFile : public CShredFile
{
public:
    explicit CSystemShredFile(HANDLE hFile) : m_hFile(hFile) {}
    ~CSystemShredFile() override { ::CloseHandle(m_hFile); }
    CSystemShredFile(const CSystemShredFile&) = delete;
    CSystemShredFile& operator=(const CSystemShredFile&) = delete;

    BOOL GetSize(ULONGLONG* pullSize) override
    {
        LARGE_INTEGER li;
        if (!::GetFileSizeEx(m_hFile, &li))
            return FALSE;
        *pullSize = (ULONGLONG)li.QuadPart;
        return TRUE;
    }
    BOOL Write(const BYTE* pData, DWORD nBytes, DWORD* pnWritten) override
    {
        *pnWritten = 0;
        return ::WriteFile(m_hFile, pData, nBytes, pnWritten, NULL);
    }
    BOOL Flush() override { return ::FlushFileBuffers(m_hFile); }
    BOOL IsLink() override
    {
        BY_HANDLE_FILE_INFORMATION info = {};
        if (!::GetFileInformationByHandle(m_hFile, &info))
            return FALSE;
        return (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    }

private:
    HANDLE m_hFile;
};

class CSystemShredIo : public CShredIo
{
public:
    std::unique_ptr<CShredFile> Open(LPCWSTR lpszPath) override
    {
        // The link itself: followed, a pass would overwrite the file it points to.
        HANDLE hFile = ::CreateFileW(lpszPath, GENERIC_WRITE, FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
        if (hFile == INVALID_HANDLE_VALUE)
            return nullptr;
        std::unique_ptr<CShredFile> file(new (std::nothrow) CSystemShredFile(hFile));
        if (!file)
        {
            ::CloseHandle(hFile);
            ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        }
        return file;
    }
    BOOL Delete(LPCWSTR lpszPath) override { return ::DeleteFileW(lpszPath); }
};

} // namespace

CShredIo& SystemShredIo()
{
    static CSystemShredIo s_io;
    return s_io;
}
