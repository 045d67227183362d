// DllLoader::ModuleHandle: one load and exactly one free.
#include "loader/ModuleHandle.h"

#include "loader/LoadDllFromWString.h"
#include "loader/NameWithNul.h"
#include "os/Modules.h"

namespace Tolvane::Util {

namespace {

Os::ModuleHandle LoadDllFromString(const std::string& name, ULong32 flags)
{
    Loader::RejectNameWithNul(name);
    const Os::ModuleHandle handle = Os::LoadLibraryExA(name.c_str(), flags);
    if (handle == nullptr)
    {
        throw LoadDllException("Cannot load DLL '" + name + "'.");
    }
    return handle;
}

} // namespace

DllLoader::ModuleHandle::ModuleHandle(const std::string& name, ULong32 flags)
    : m_Handle(LoadDllFromString(name, flags))
{
}

DllLoader::ModuleHandle::ModuleHandle(const std::wstring& name, ULong32 flags)
    : m_Handle(Loader::LoadDllFromWString(name, flags))
{
}

DllLoader::ModuleHandle::~ModuleHandle()
{
    static_cast<void>(Os::FreeLibrary(m_Handle));
}

} // namespace Tolvane::Util
