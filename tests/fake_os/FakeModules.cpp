// Fake backend: module loading from the script, every call logged.
#include "FakeModules.h"

#include <cstdlib>

namespace Tolvane::Util::Os::Fake {

namespace {

// A loaded library's name and references; its address is its handle.
using Loaded = std::pair<const std::string, int>;

struct State
{
    ModulesScript script;
    std::vector<std::wstring> calls;
    std::map<std::string, int> loaded;
};

State g_State;

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
        g_State.calls.push_back(text());
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
    if (g_State.script.modules.count(name) == 0)
    {
        return nullptr;
    }
    Loaded& loaded = *g_State.loaded.try_emplace(name, 0).first;
    ++loaded.second;
    return reinterpret_cast<ModuleHandle>(&loaded);
}

// `key` in the exports of the library behind `module`. Ordinal keys are short enough for
// std::string to hold them without allocating.
void* Lookup(ModuleHandle module, const std::string& key, const std::string& shown) noexcept
{
    Log([&] { return L"GetProcAddress " + Widen(Of(module).first) + L" " + Widen(shown); });
    const Exports& exports = g_State.script.modules[Of(module).first];
    const auto found = exports.find(key);
    return found == exports.end() ? nullptr : found->second;
}

ModuleHandle TOLVANE_OS_WINAPI FakeLoadLibraryExW(const wchar_t* name, void*, ULong32 flags)
{
    Log([&] { return L"LoadLibraryExW " + std::wstring(name) + L" " + std::to_wstring(flags); });
    const auto found = g_State.script.wideNames.find(name);
    return found == g_State.script.wideNames.end() ? nullptr : Load(found->second);
}

} // namespace

ModulesScript& Modules()
{
    return g_State.script;
}

const std::vector<std::wstring>& ModuleCalls()
{
    return g_State.calls;
}

int References(const std::string& module)
{
    const auto found = g_State.loaded.find(module);
    return found == g_State.loaded.end() ? 0 : found->second;
}

void ResetModules()
{
    const LoadLibraryExWFunction loadLibraryExW = &FakeLoadLibraryExW;
    g_State = State{};
    g_State.script = {
        {{"A.dll", {}},
         {"B.dll", {}},
         {Kernel32Name, {{"LoadLibraryExW", reinterpret_cast<void*>(loadLibraryExW)}}}},
        {{L"A.dll", "A.dll"}, {L"B.dll", "B.dll"}}};
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
