// DllLoader: loading, sharing and releasing one library.
#include <Tolvane/Util/DllLoader.h>

#include "loader/ModuleHandle.h"
#include "os/Modules.h"

namespace Tolvane::Util {

// If the shared count cannot be allocated, shared_ptr deletes the new ModuleHandle, which frees
// the library just loaded, and std::bad_alloc propagates.
DllLoader::DllLoader(const std::string& name, ULong32 flags)
    : m_Module(new ModuleHandle(name, flags))
{
}

DllLoader::DllLoader(const std::wstring& name, ULong32 flags)
    : m_Module(new ModuleHandle(name, flags))
{
}

DllLoader::DllLoader(const DllLoader& other) noexcept : m_Module(other.m_Module) {}

DllLoader& DllLoader::operator=(const DllLoader& other) noexcept
{
    // shared_ptr's assignment takes the new share before it lets go of the old one, so
    // self-assignment and assignment between sharers free nothing.
    m_Module = other.m_Module;
    return *this;
}

DllLoader::~DllLoader() {}

const DllLoader& DllLoader::GetThis() const noexcept
{
    return *this;
}

void DllLoader::FreeLibraryAndExitThread(ULong32 exitCode)
{
    // The share is deliberately kept: the system gives back the reference that it holds.
    Os::FreeLibraryAndExitThread(m_Module->Get(), exitCode);
}

} // namespace Tolvane::Util
