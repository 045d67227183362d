// Loads and unloads a shared library for a test (dlopen or LoadLibrary), and asks whether one
// is loaded.
#pragma once

#include <string>

namespace Tolvane::Testing {

// The system's handle (HMODULE or the dlopen handle), or null when it does not load.
void* LoadModule(const std::string& path);
// The address of an exported C function, or null.
void* ModuleSymbol(void* module, const char* name);
// Gives the reference back; true when the system accepted it.
bool UnloadModule(void* module);
// Whether `path` (UTF-8) is loaded in the process now, asked without loading it or changing its
// reference count.
bool IsModuleMapped(const std::string& path);

} // namespace Tolvane::Testing
