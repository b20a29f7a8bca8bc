#pragma once
// The standard command line: a file name and the usual switches
// (/nologo, /p, /pt, /dde, /Embedding, /Automation, /Unregister).
#include "framework/String.h"

class CCommandLineInfo
{
public:
    enum
    {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        AppRegister,
        AppUnregister,
        FileNothing = -1
    };

    CCommandLineInfo();
    virtual ~CCommandLineInfo() {}

    // One argument; bFlag when it started with '/' or '-' (removed).
    virtual void ParseParam(const wchar_t* pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash;
    BOOL m_bRunEmbedded;
    BOOL m_bRunAutomated;
    int m_nShellCommand;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;

private:
    void ParseParamFlag(const wchar_t* pszParam);
    void ParseParamNotFlag(const wchar_t* pszParam);
    void ParseLast(BOOL bLast);
};
