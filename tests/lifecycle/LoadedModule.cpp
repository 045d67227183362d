// LoadedModule on dlopen (POSIX) and LoadLibrary (Windows).
#include "lifecycle/LoadedModule.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace Tolvane::Testing {

#if defined(_WIN32)

LoadedModule::LoadedModule(const std::string& path)
    : m_Handle(reinterpret_cast<void*>(::LoadLibraryA(path.c_str())))
{
}

void* LoadedModule::Symbol(const char* name) const
{
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(m_Handle), name));
}

bool LoadedModule::Unload()
{
    const bool freed = m_Handle != nullptr && ::FreeLibrary(static_cast<HMODULE>(m_Handle)) != 0;
    m_Handle = nullptr;
    return freed;
}

bool LoadedModule::IsMapped(const std::string& path)
{
    return ::GetModuleHandleA(path.c_str()) != nullptr;
}

#else

LoadedModule::LoadedModule(const std::string& path)
    : m_Handle(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
{
}

void* LoadedModule::Symbol(const char* name) const
{
    return m_Handle != nullptr ? ::dlsym(m_Handle, name) : nullptr;
}

bool LoadedModule::Unload()
{
    const bool freed = m_Handle != nullptr && ::dlclose(m_Handle) == 0;
    m_Handle = nullptr;
    return freed;
}

bool LoadedModule::IsMapped(const std::string& path)
{
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr)
    {
        return false;
    }
    ::dlclose(handle);
    return true;
}

#endif

LoadedModule::~LoadedModule()
{
    Unload();
}

} // namespace Tolvane::Testing
