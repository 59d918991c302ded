// Under Wine a suite's process has hung in its exit now and then, after its
// last test had passed: one thread left, inside the libraries' detach code
// that ExitProcess runs. The suite's results are all written by then, so it
// ends here with them, flushed, and without that code.
#include <cstdio>
#include <windows.h>

#include "support/testmain.h"

namespace rotamet::test {

int endSuite(int status)
{
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), UINT(status));
    return status;
}

}  // namespace rotamet::test
