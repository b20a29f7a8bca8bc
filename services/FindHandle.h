#pragma once
// A FindFirstFile search that closes itself on every path out of a function.
#include <windows.h>

class CFindHandle
{
public:
    explicit CFindHandle(HANDLE hFind) : m_hFind(hFind) {}
    ~CFindHandle()
    {
        if (IsValid())
            FindClose(m_hFind);
    }
    CFindHandle(const CFindHandle&) = delete;
    CFindHandle& operator=(const CFindHandle&) = delete;

    bool IsValid() const { return m_hFind != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_hFind; }
    operator HANDLE() const { return m_hFind; }

private:
    HANDLE m_hFind;
};
