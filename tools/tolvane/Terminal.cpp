// Terminal detection, the one thing the program asks the OS directly.
#include "Terminal.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace Tolvane
{
namespace Tool
{

bool IsStandardErrorATerminal()
{
#if defined(_WIN32)
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

} // namespace Tool
} // namespace Tolvane
