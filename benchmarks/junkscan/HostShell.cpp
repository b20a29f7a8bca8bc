#include "benchmarks/junkscan/HostShell.h"
#include "benchmarks/support/BenchSupport.h"
#include <stdio.h>
#include <stdlib.h>

namespace benchshell {

bool Run(const std::string& strCommand, std::string& strOut, DWORD dwTimeoutMs)
{
    // The exit code comes back through the host command's marker, the output
    // through a file of its own.
    static int s_nCounter = 0;
    char szOut[96];
    sprintf(szOut, "/tmp/tamsel-bench-%lu-%d.out", ::GetCurrentProcessId(), ++s_nCounter);
    const std::wstring strOutFile = benchsupport::WinPath(szOut);
    int nExit = testsupport::RunHostCommand("( " + strCommand + " ) > " + szOut + " 2>/dev/null", dwTimeoutMs);
    strOut = testsupport::ReadFileBytes(strOutFile);
    ::DeleteFileW(strOutFile.c_str());
    return nExit == 0;
}

double Time(const std::string& strCommand)
{
    std::string strOut;
    if (!Run("s=$(date +%s.%N); " + strCommand + " >/dev/null || exit 1; e=$(date +%s.%N); echo $s $e | awk '{print $2 - $1}'",
             strOut))
        return -1.0;
    return atof(strOut.c_str());
}

} // namespace benchshell
