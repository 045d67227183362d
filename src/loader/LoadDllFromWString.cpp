// Loading by wide name: a private loader of kernel32 finds LoadLibraryExW at run time, so the
// library imports no wide loader and still works where kernel32 lacks one.
#include "loader/LoadDllFromWString.h"

#include "loader/NameWithNul.h"

#include <Tolvane/Util/DllLoader.h>

#include "os/Modules.h"
#include "strings/ConvertString.h"

namespace Tolvane::Util::Loader {

namespace {

// One reference to kernel32 and its LoadLibraryExW, if it has one. Built for one load and
// dropped after it: nothing about kernel32 is kept between loads.
class Kernel32Loader : public DllLoader
{
public:
    // Throws LoadDllException when kernel32 does not load, std::bad_alloc.
    Kernel32Loader()
        : DllLoader(std::string("KERNEL32.DLL"), 0), m_LoadLibraryExW(GetThis(), "LoadLibraryExW")
    {
    }

    // Empty when kernel32 does not export it.
    const FunctionPointer<Os::LoadLibraryExWFunction>& LoadLibraryExW() const
    {
        return m_LoadLibraryExW;
    }

private:
    FunctionPointer<Os::LoadLibraryExWFunction> m_LoadLibraryExW;
};

} // namespace

Os::ModuleHandle LoadDllFromWString(std::wstring name, ULong32 flags)
{
    RejectNameWithNul(name);
    const Kernel32Loader kernel32;
    Os::ModuleHandle handle = nullptr;
    if (kernel32.LoadLibraryExW())
    {
        // A refusal here is final: the ANSI path is only for systems without a wide loader.
        handle = kernel32.LoadLibraryExW().Get()(name.c_str(), nullptr, flags);
    }
    else
    {
        using namespace StringConversion;
        const std::string narrow =
            ConvertString(name, "", "", DisallowBestFitMapping, UseSystemDefaultChar);
        handle = Os::LoadLibraryExA(narrow.c_str(), flags);
    }
    if (handle == nullptr)
    {
        // The caller's wide name, never the converted one, so the message shows what was asked.
        throw LoadDllException(L"Cannot load DLL '" + name + L"'.");
    }
    return handle;
}

} // namespace Tolvane::Util::Loader
