// DllLoader: one loaded dynamic library, shared by every copy, and lookup of its exports.
#pragma once

#include <Tolvane/Util/Api.h>
#include <Tolvane/Util/DllLoaderException.h>

#include <boost/smart_ptr/shared_ptr.hpp>

#include <stdexcept>
#include <string>
#include <type_traits>

namespace Tolvane::Util {

// Loads a library when constructed and keeps it loaded while this loader or any copy of it
// lives; the last copy to go frees it, exactly once. Derive from it to wrap one library and hold
// its exports as FunctionPointer members.
//
// Threads: copies of one loader may be made, assigned and destroyed on different threads at
// once (the shared count is atomic), and any number of threads may look up exports on one
// loader. One loader object is not locked: do not assign to or destroy it while another thread
// uses that same object.
//
// On POSIX systems the library is opened with dlopen(RTLD_NOW | RTLD_LOCAL): the Windows load
// flags have no meaning there and are ignored, and exports have no ordinals; only a library's
// own symbols are its exports, not those of the libraries it depends on. The name
// "KERNEL32.DLL" (in any letter case, with or without ".DLL") opens a stand-in whose one export,
// "LoadLibraryExW", loads a library by wide name.
class TOLVANE_UTIL_API DllLoader
{
public:
    template <typename Fn>
    class FunctionPointer;

    // Loads `name` with LoadLibraryExA(name, NULL, flags): the name and the flags go to the
    // operating system unchanged. Throws LoadDllException ("Cannot load DLL '<name>'.") when the
    // library does not load, std::bad_alloc when memory runs out (nothing stays loaded then).
    // A name with a NUL inside loads nothing: the system would read it only up to the NUL, a
    // different file; its message shows each NUL as \0. The same holds for wide names.
    explicit DllLoader(const std::string& name, ULong32 flags = 0);

    // Loads `name` with kernel32's LoadLibraryExW where kernel32 exports it, else with
    // LoadLibraryExA after converting the name to the ANSI code page (best fit forbidden).
    // Throws LoadDllException with a wide message ("Cannot load DLL '<name>'.") when the library
    // does not load (or "Cannot load DLL 'KERNEL32.DLL'." when kernel32 itself does not);
    // Tolvane::ConvertStringException when the name cannot be converted on the ANSI path;
    // std::bad_alloc when memory runs out. Each call loads and frees kernel32 once more.
    explicit DllLoader(const std::wstring& name, ULong32 flags = 0);

    // Shares `other`'s library; never calls the operating system and never throws.
    DllLoader(const DllLoader& other) noexcept;

    // Shares `other`'s library and lets go of the one held before, freeing it when this loader
    // was its last holder. Assigning a loader to itself or to one that shares its library
    // changes nothing. Never throws.
    DllLoader& operator=(const DllLoader& other) noexcept;

    // Lets go of this loader's share; the last share frees the library.
    virtual ~DllLoader();

    // The address of the export `name`. Throws DllExportNotFoundException ("Cannot find DLL
    // export with name '<name>'.") when the library lacks it, std::invalid_argument
    // ("DllLoader::GetProcAddress: invalid export name.") when `name` is null or an ordinal
    // disguised as a pointer (below 0x10000): use the ordinal overload or GetProcAddressNoThrow
    // for those. std::bad_alloc when the message cannot be built.
    void* GetProcAddress(const char* name) const;

    // The address of the export with `ordinal`. Throws DllExportNotFoundException ("Cannot find
    // DLL export with ordinal <number>.") when there is none (always on POSIX systems),
    // std::bad_alloc when the message cannot be built.
    void* GetProcAddress(unsigned short ordinal) const;

    // The address of the export `name`, or null when the library lacks it. The pointer goes to
    // the operating system untouched: on Windows a value below 0x10000 is read as an ordinal; on
    // POSIX systems such a value, and null, find nothing. Never throws.
    void* GetProcAddressNoThrow(const char* name) const noexcept;

    // The address of the export with `ordinal`, or null (always on POSIX systems). Never throws.
    void* GetProcAddressNoThrow(unsigned short ordinal) const noexcept;

protected:
    // This object, for derived classes that bind their exports in their constructors.
    const DllLoader& GetThis() const noexcept;

    // Hands the library's handle and `exitCode` to the operating system's
    // FreeLibraryAndExitThread, which frees one reference and ends the calling thread. Use it
    // when the library's own code runs on the thread and must not be unloaded under it. The
    // loader still counts its reference as held, so neither this object nor any copy of it may
    // be destroyed or assigned to afterwards: leak them. On POSIX systems the thread ends with
    // pthread_exit, which unwinds the thread's stack (its objects' destructors run there, unlike
    // on Windows); a catch (...) that swallows the unwinding aborts the process.
    [[noreturn]] void FreeLibraryAndExitThread(ULong32 exitCode);

private:
    class ModuleHandle; // owns the operating system's handle; defined inside the library

    boost::shared_ptr<ModuleHandle> m_Module;
};

// The address of one export, typed as the function pointer `Fn` (for example
// `int (*)(const char*)`), for classes derived from DllLoader. Binding never throws: a missing
// export leaves it empty, and the error surfaces when Get() is called on it. It holds no share
// of the library: the address is valid only while a loader of that library lives. A bound
// object only reads, so any number of threads may use it at once.
template <typename Fn>
class DllLoader::FunctionPointer
{
    static_assert(std::is_pointer<Fn>::value &&
                      std::is_function<typename std::remove_pointer<Fn>::type>::value,
                  "FunctionPointer holds a pointer to a function");

public:
    // Empty.
    FunctionPointer() noexcept : m_Address(nullptr) {}

    // The export `name` of `loader`'s library, through GetProcAddressNoThrow; empty when the
    // library lacks it.
    FunctionPointer(const DllLoader& loader, const char* name) noexcept
        : m_Address(reinterpret_cast<Fn>(loader.GetProcAddressNoThrow(name)))
    {
    }

    // True when bound to an export.
    explicit operator bool() const noexcept { return m_Address != nullptr; }

    // The address. Throws std::logic_error when empty: test the object first.
    Fn Get() const
    {
        if (m_Address == nullptr)
        {
            throw std::logic_error(
                "DllLoader::FunctionPointer::Get called on an empty FunctionPointer object.");
        }
        return m_Address;
    }

private:
    Fn m_Address;
};

} // namespace Tolvane::Util
