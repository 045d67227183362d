// Fake backend: module loading from the script, every call logged.
#include "FakeModules.h"

#include <cstdio>

namespace Tolvane::Util::Os::Fake {

namespace {

struct Loaded
{
    std::string name;
    int references;
};

struct State
{
    ModulesScript script;
    std::vector<std::wstring> calls;
    // Every library loaded since the reset; its handle is its place here, counted from one, in
    // units of 0x100000: distinct, recognisable, never dereferenced.
    std::vector<Loaded> loaded;
};

constexpr std::uintptr_t HandleUnit = 0x100000U;

State& TheState()
{
    static State state;
    return state;
}

std::wstring Widen(const std::string& text)
{
    std::wstring wide;
    for (const char c : text)
    {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return wide;
}

// The system's module calls throw nothing, and the loader's destructors rely on it: a record
// that cannot be allocated is dropped.
template <typename Text>
void Log(const Text& text) noexcept
{
    try
    {
        TheState().calls.push_back(text());
    }
    catch (...)
    {
    }
}

Loaded* Find(ModuleHandle module) noexcept
{
    const auto value = reinterpret_cast<std::uintptr_t>(module);
    std::vector<Loaded>& loaded = TheState().loaded;
    const std::size_t place = value / HandleUnit;
    return value % HandleUnit == 0 && place >= 1 && place <= loaded.size() ? &loaded[place - 1]
                                                                           : nullptr;
}

std::wstring NameOf(ModuleHandle module)
{
    const Loaded* const loaded = Find(module);
    return loaded == nullptr ? L"?" : Widen(loaded->name);
}

ModuleHandle Load(const std::string& name)
{
    std::vector<Loaded>& loaded = TheState().loaded;
    if (TheState().script.modules.count(name) == 0)
    {
        return nullptr;
    }
    std::size_t place = 0;
    while (place < loaded.size() && loaded[place].name != name)
    {
        ++place;
    }
    if (place == loaded.size())
    {
        loaded.push_back(Loaded{name, 0});
    }
    ++loaded[place].references;
    return reinterpret_cast<ModuleHandle>((place + 1) * HandleUnit);
}

// The export `key` of the library behind `module`; the call is logged with `shown`.
void* Lookup(ModuleHandle module, const char* key, const char* shown) noexcept
{
    Log([&] { return L"GetProcAddress " + NameOf(module) + L" " + Widen(shown); });
    const Loaded* const loaded = Find(module);
    const auto& modules = TheState().script.modules;
    const auto scripted = loaded == nullptr ? modules.end() : modules.find(loaded->name);
    if (scripted == modules.end())
    {
        return nullptr;
    }
    const auto found = scripted->second.find(key);
    return found == scripted->second.end() ? nullptr : found->second;
}

ModuleHandle TOLVANE_OS_WINAPI FakeLoadLibraryExW(const wchar_t* name, void* file, ULong32 flags)
{
    Log([&] {
        return L"LoadLibraryExW " + std::wstring(name) + L" " + std::to_wstring(flags) +
               (file != nullptr ? L" file" : L"");
    });
    const auto found = TheState().script.wideNames.find(name);
    return found == TheState().script.wideNames.end() ? nullptr : Load(found->second);
}

} // namespace

ModulesScript& Modules()
{
    return TheState().script;
}

const std::vector<std::wstring>& ModuleCalls()
{
    return TheState().calls;
}

int References(const std::string& module)
{
    for (const Loaded& loaded : TheState().loaded)
    {
        if (loaded.name == module)
        {
            return loaded.references;
        }
    }
    return 0;
}

void ResetModules()
{
    TheState() = State{};
    const LoadLibraryExWFunction loadLibraryExW = &FakeLoadLibraryExW;
    TheState().script.modules = {
        {"A.dll", {}},
        {"B.dll", {}},
        {Kernel32Name, {{"LoadLibraryExW", reinterpret_cast<void*>(loadLibraryExW)}}}};
    TheState().script.wideNames = {{L"A.dll", "A.dll"}, {L"B.dll", "B.dll"}};
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
    char key[16];
    char shown[16];
    const auto ordinal = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(name));
    std::snprintf(key, sizeof key, "#%u", ordinal);
    std::snprintf(shown, sizeof shown, "@%u", ordinal);
    return Fake::Lookup(module, key, shown);
}

void* GetProcAddress(ModuleHandle module, std::uint16_t ordinal)
{
    char key[16];
    std::snprintf(key, sizeof key, "#%u", unsigned{ordinal});
    return Fake::Lookup(module, key, key);
}

bool FreeLibrary(ModuleHandle module)
{
    Fake::Log([&] { return L"FreeLibrary " + Fake::NameOf(module); });
    Fake::Loaded* const loaded = Fake::Find(module);
    return loaded != nullptr && loaded->references-- > 0;
}

void FreeLibraryAndExitThread(ModuleHandle module, std::uint32_t exitCode)
{
    Fake::Log([&] {
        return L"FreeLibraryAndExitThread " + Fake::NameOf(module) + L" " +
               std::to_wstring(exitCode);
    });
    if (Fake::Loaded* const loaded = Fake::Find(module))
    {
        --loaded->references;
    }
    throw Fake::ThreadExit{};
}

} // namespace Tolvane::Util::Os
