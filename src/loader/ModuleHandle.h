// DllLoader::ModuleHandle: the one operating-system handle that copies of a loader share.
#pragma once

#include <Tolvane/Util/DllLoader.h>

#include "os/Handles.h"

#include <string>

namespace Tolvane::Util {

// Nested in an exported class, it would be exported with it on ELF systems unless hidden here;
// Windows exports a nested class only when the class itself is marked.
#if defined(_WIN32)
#define TOLVANE_LOADER_INTERNAL
#else
#define TOLVANE_LOADER_INTERNAL __attribute__((visibility("hidden")))
#endif

// Owns one reference to a loaded module: taken by the constructor, given back by the
// destructor. Created with new and owned by DllLoader's shared pointer; never copied. Not part
// of the library's interface.
class TOLVANE_LOADER_INTERNAL DllLoader::ModuleHandle
{
public:
    // Load by narrow / wide name. Throw LoadDllException when the load fails (then nothing is
    // held); the wide form throws what LoadDllFromWString throws.
    ModuleHandle(const std::string& name, ULong32 flags);
    ModuleHandle(const std::wstring& name, ULong32 flags);

    ModuleHandle(const ModuleHandle&) = delete;
    ModuleHandle& operator=(const ModuleHandle&) = delete;

    // FreeLibrary; a refusal is ignored, as there is nobody left to tell.
    ~ModuleHandle();

    // Never null.
    Os::ModuleHandle Get() const noexcept { return m_Handle; }

private:
    Os::ModuleHandle m_Handle;
};

} // namespace Tolvane::Util
