// Loading modules for the tests, on dlopen (POSIX) and LoadLibrary (Windows).
#include "support/LoadedModule.h"

#if defined(_WIN32)
#include <windows.h>

#include <filesystem>
#else
#include <dlfcn.h>
#endif

namespace Tolvane::Testing {

#if defined(_WIN32)

void* LoadModule(const std::string& path)
{
    return reinterpret_cast<void*>(::LoadLibraryA(path.c_str()));
}

void* ModuleSymbol(void* module, const char* name)
{
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

bool UnloadModule(void* module)
{
    return module != nullptr && ::FreeLibrary(static_cast<HMODULE>(module)) != 0;
}

bool IsModuleMapped(const std::string& path)
{
    return ::GetModuleHandleW(std::filesystem::u8path(path).c_str()) != nullptr;
}

#else

void* LoadModule(const std::string& path)
{
    return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* ModuleSymbol(void* module, const char* name)
{
    return ::dlsym(module, name);
}

bool UnloadModule(void* module)
{
    return module != nullptr && ::dlclose(module) == 0;
}

bool IsModuleMapped(const std::string& path)
{
    // RTLD_NOLOAD finds a loaded library without loading it, but takes a reference.
    return UnloadModule(::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD));
}

#endif

} // namespace Tolvane::Testing
