#pragma once
// A critical section that is ready before any static constructor runs it,
// and a scope guard for it.
#include "framework/AfxDefs.h"

class CAfxLock
{
public:
    CAfxLock() { InitializeCriticalSection(&m_cs); }
    ~CAfxLock() { DeleteCriticalSection(&m_cs); }
    void Lock() { EnterCriticalSection(&m_cs); }
    void Unlock() { LeaveCriticalSection(&m_cs); }
    CAfxLock(const CAfxLock&) = delete;
    CAfxLock& operator=(const CAfxLock&) = delete;
private:
    CRITICAL_SECTION m_cs;
};

class CAfxLockGuard
{
public:
    explicit CAfxLockGuard(CAfxLock& lock) : m_lock(lock) { m_lock.Lock(); }
    ~CAfxLockGuard() { m_lock.Unlock(); }
    CAfxLockGuard(const CAfxLockGuard&) = delete;
    CAfxLockGuard& operator=(const CAfxLockGuard&) = delete;
private:
    CAfxLock& m_lock;
};
