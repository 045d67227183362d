// Loads a shared library for a test (dlopen or LoadLibrary) and unloads it on request.
#pragma once

#include <string>

namespace Tolvane::Testing {

class LoadedModule
{
public:
    // Loads `path`; Loaded() tells whether that worked.
    explicit LoadedModule(const std::string& path);
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    bool Loaded() const { return m_Handle != nullptr; }
    // The system's handle (HMODULE or the dlopen handle).
    void* Handle() const { return m_Handle; }
    // The address of an exported C function, or null.
    void* Symbol(const char* name) const;
    // Gives the reference back; true when the system accepted it.
    bool Unload();

    // Whether `path` is mapped in the process now (without loading it).
    static bool IsMapped(const std::string& path);

private:
    void* m_Handle;
};

} // namespace Tolvane::Testing
