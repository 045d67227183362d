// Native test support: paths for Wine, and the system's own view of loaded libraries.
#include "native/ModuleProbe.h"

#include <TestLibraryPaths.h>

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <algorithm>

namespace Tolvane::Testing {

namespace {

template <typename Char>
std::basic_string<Char> ToNativePath(std::basic_string<Char> path)
{
#if defined(_WIN32)
    if (!path.empty() && path[0] == Char('/'))
    {
        path.insert(0, 1, Char(':'));
        path.insert(0, 1, Char('Z'));
    }
    std::replace(path.begin(), path.end(), Char('/'), Char('\\'));
#endif
    return path;
}

} // namespace

std::string NativePath(const std::string& path)
{
    return ToNativePath(path);
}

std::wstring NativePath(const std::wstring& path)
{
    return ToNativePath(path);
}

const std::string& LibraryPath()
{
    static const std::string path = NativePath(std::string(TOLVANE_TEST_LIBRARY));
    return path;
}

const std::string& WideNamedLibraryPath()
{
    static const std::string path = NativePath(std::string(TOLVANE_TEST_WIDE_NAMED_LIBRARY));
    return path;
}

bool IsModuleLoaded(const std::string& path)
{
#if defined(_WIN32)
    const int length = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], length);
    return GetModuleHandleW(wide.c_str()) != nullptr;
#else
    // RTLD_NOLOAD finds a loaded library without loading it, but takes a reference.
    void* const handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr)
    {
        return false;
    }
    dlclose(handle);
    return true;
#endif
}

} // namespace Tolvane::Testing
