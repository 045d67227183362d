// The terminal: whether output goes to one, and its encoding.
#include "Terminal.h"

#include <cstdio>
#include <cstdlib>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace Tolvane::Tool {

bool IsStandardErrorATerminal()
{
#if defined(_WIN32)
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

#if defined(_WIN32)
namespace {
UINT s_OriginalOutputCodePage = 0;

void RestoreConsole()
{
    SetConsoleOutputCP(s_OriginalOutputCodePage);
}
} // namespace
#endif

void UseUtf8Console()
{
#if defined(_WIN32)
    s_OriginalOutputCodePage = GetConsoleOutputCP();
    if (s_OriginalOutputCodePage != 0 && s_OriginalOutputCodePage != CP_UTF8 &&
        SetConsoleOutputCP(CP_UTF8))
    {
        std::atexit(RestoreConsole);
    }
#endif
}

} // namespace Tolvane::Tool
