// Fake backend: module loading from the script, every call logged.
#include "FakeModules.h"

#include <cstdlib>

namespace Tolvane::Util::Os::Fake {

namespace {

// A loaded library's name and references; its address is its handle.
using Loaded = std::pair<const std::string, int>;

std::wstring Widen(const std::string& text)
{
    const auto* const bytes = reinterpret_cast<const unsigned char*>(text.data());
    return std::wstring(bytes, bytes + text.size());
}

// The system's module calls throw nothing, and the loader's destructors rely on it: a record
// that cannot be allocated is dropped.
template <typename Text>
void Log(const Text& text) noexcept
{
    try
    {
        ModuleCalls().push_back(text());
    }
    catch (...)
    {
    }
}

Loaded& Of(ModuleHandle module)
{
    return *reinterpret_cast<Loaded*>(module);
}

ModuleHandle Load(const std::string& name)
{
    if (Modules().modules.count(name) == 0)
    {
        return nullptr;
    }
    Loaded& loaded = *Modules().references.try_emplace(name, 0).first;
    ++loaded.second;
    return reinterpret_cast<ModuleHandle>(&loaded);
}

// `key` in the exports of the library behind `module`. Ordinal keys are short enough for
// std::string to hold them without allocating.
void* Lookup(ModuleHandle module, const std::string& key, const std::string& shown) noexcept
{
    Log([&] { return L"GetProcAddress " + Widen(Of(module).first) + L" " + Widen(shown); });
    const Exports& exports = Modules().modules[Of(module).first];
    const auto found = exports.find(key);
    return found == exports.end() ? nullptr : found->second;
}

} // namespace

ModuleHandle TOLVANE_OS_WINAPI FakeLoadLibraryExW(const wchar_t* name, void*, ULong32 flags)
{
    Log([&] { return L"LoadLibraryExW " + std::wstring(name) + L" " + std::to_wstring(flags); });
    const auto found = Modules().wideNames.find(name);
    return found == Modules().wideNames.end() ? nullptr : Load(found->second);
}

} // namespace Tolvane::Util::Os::Fake

namespace Tolvane::Util::Os {

ModuleHandle LoadLibraryExA(const char* name, std::uint32_t flags)
{
    Fake::Log(
        [&] { return L"LoadLibraryExA " + Fake::Widen(name) + L" " + std::to_wstring(flags); });
    return Fake::Load(name);
}

void* GetProcAddress(ModuleHandle module, const char* name)
{
    if (!IsOrdinalName(name))
    {
        return Fake::Lookup(module, name, name);
    }
    const std::string ordinal = std::to_string(reinterpret_cast<std::uintptr_t>(name));
    return Fake::Lookup(module, "#" + ordinal, "@" + ordinal);
}

void* GetProcAddress(ModuleHandle module, std::uint16_t ordinal)
{
    const std::string key = "#" + std::to_string(ordinal);
    return Fake::Lookup(module, key, key);
}

bool FreeLibrary(ModuleHandle module)
{
    Fake::Log([&] { return L"FreeLibrary " + Fake::Widen(Fake::Of(module).first); });
    return Fake::Of(module).second-- > 0;
}

// No unit test ends a thread: the real backends' tests do.
void FreeLibraryAndExitThread(ModuleHandle, std::uint32_t)
{
    std::abort();
}

} // namespace Tolvane::Util::Os
