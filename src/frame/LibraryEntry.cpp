// The library's entry function: DllMain on Windows, and its portable body.
//
// Start-up and exit work is not done here. Static initialisers run before DllMain at process
// attach (and when the shared object is loaded elsewhere); the clean-ups they register (the
// destructors of statics they construct) run from the library's own exit list when it is
// detached or unloaded: MinGW's runtime keeps an exit list per DLL, and glibc ties a shared
// object's __cxa_atexit entries to dlclose.
#include "frame/LibraryEntry.h"

#include "os/Process.h"

namespace Tolvane::Util::Frame {

bool OnLibraryEntry(Os::ModuleHandle module, std::uint32_t reason)
{
    if (reason == ReasonProcessAttach)
    {
        static_cast<void>(Os::DisableThreadLibraryCalls(module));
    }
    return true;
}

} // namespace Tolvane::Util::Frame

#if defined(_WIN32)
// The signature is Windows' BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID), spelt without
// <windows.h>: BOOL is int and DWORD a 32-bit unsigned integer.
extern "C" int __stdcall DllMain(void* module, unsigned long reason, void* reserved);

extern "C" int __stdcall DllMain(void* module, unsigned long reason, void* /*reserved*/)
{
    using Tolvane::Util::Os::ModuleHandle;
    return Tolvane::Util::Frame::OnLibraryEntry(static_cast<ModuleHandle>(module),
                                                static_cast<std::uint32_t>(reason))
               ? 1
               : 0;
}
#endif
