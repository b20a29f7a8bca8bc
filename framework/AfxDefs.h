#pragma once
// Basic definitions shared by the whole class-library layer.
#include <winsock2.h>
#include <windows.h>
#include <tchar.h>

#ifndef afx_msg
#define afx_msg
#endif

#ifndef ASSERT
#ifdef NDEBUG
#define ASSERT(expr) ((void)0)
#else
#define ASSERT(expr) ((void)((expr) ? 0 : (OutputDebugStringW(L"ASSERT failed: " _CRT_WIDE(#expr) L"\n"), 0)))
#endif
#endif
#ifndef VERIFY
#define VERIFY(expr) ((void)(expr))
#endif
#ifndef TRACE
#define TRACE(...) ((void)0)
#endif
#ifndef UNUSED_ALWAYS
#define UNUSED_ALWAYS(x) ((void)(x))
#endif

// An opaque iteration position, as the collection classes hand out.
struct __POSITION {};
typedef __POSITION* POSITION;

// The module whose resources are loaded: the program, or a library that
// loads from itself. Defaults to the executable.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstance);
HINSTANCE AfxGetInstanceHandle();
void AfxSetInstanceHandle(HINSTANCE hInstance);
