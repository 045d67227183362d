// posix backend: module loading with dlopen, dlsym and dlclose, in Windows' terms.
#include "os/Modules.h"

#include "os/posix/Kernel32StandIn.h"

#include <dlfcn.h>
#include <link.h>
#include <pthread.h>

#if defined(__GLIBC__)
#if __GLIBC_PREREQ(2, 35)
#define TOLVANE_HAS_DL_FIND_OBJECT 1
#endif
#endif

namespace Tolvane::Util::Os {

namespace {

void* ToHandle(ModuleHandle module)
{
    return reinterpret_cast<void*>(module);
}

// dlsym also searches the libraries that `module` depends on; Windows' GetProcAddress looks
// only at the module's own exports, so an address defined elsewhere is not one of them. The
// object that holds an address is found from the loader's table of mapped ranges, which costs
// far less than dladdr's walk through the symbol table (older glibc has only the latter).
bool IsDefinedIn(void* handle, void* address)
{
    link_map* own = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &own) != 0)
    {
        return false;
    }
#if defined(TOLVANE_HAS_DL_FIND_OBJECT)
    dl_find_object found{};
    return _dl_find_object(address, &found) == 0 && found.dlfo_link_map == own;
#else
    Dl_info info{};
    link_map* definer = nullptr;
    if (dladdr1(address, &info, reinterpret_cast<void**>(&definer), RTLD_DL_LINKMAP) == 0)
    {
        return false;
    }
    return definer == own;
#endif
}

} // namespace

// The load flags are Windows' (LOAD_LIBRARY_AS_DATAFILE, ...) and mean nothing to dlopen: they
// are ignored. Every library is bound at once and keeps its symbols to itself, as a DLL does.
// The empty name loads nothing (dlopen would hand out the main program).
ModuleHandle LoadLibraryExA(const char* name, std::uint32_t /*flags*/)
{
    if (name == nullptr || *name == '\0')
    {
        return nullptr;
    }
    if (Posix::IsKernel32Name(name))
    {
        return Posix::Kernel32StandIn();
    }
    return reinterpret_cast<ModuleHandle>(dlopen(name, RTLD_NOW | RTLD_LOCAL));
}

// No export has an ordinal here, so a name pointer that Windows would read as one finds nothing.
void* GetProcAddress(ModuleHandle module, const char* name)
{
    if (IsOrdinalName(name))
    {
        return nullptr;
    }
    if (module == Posix::Kernel32StandIn())
    {
        return Posix::Kernel32StandInExport(name);
    }
    void* const address = dlsym(ToHandle(module), name);
    if (address == nullptr || !IsDefinedIn(ToHandle(module), address))
    {
        return nullptr;
    }
    return address;
}

void* GetProcAddress(ModuleHandle /*module*/, std::uint16_t /*ordinal*/)
{
    return nullptr;
}

bool FreeLibrary(ModuleHandle module)
{
    if (module == Posix::Kernel32StandIn())
    {
        return true;
    }
    return dlclose(ToHandle(module)) == 0;
}

void FreeLibraryAndExitThread(ModuleHandle module, std::uint32_t exitCode)
{
    static_cast<void>(FreeLibrary(module));
    pthread_exit(reinterpret_cast<void*>(static_cast<std::uintptr_t>(exitCode)));
}

} // namespace Tolvane::Util::Os
