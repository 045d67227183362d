// Fake backend: module loading from the script, every load and free counted per library.
#include "FakeModules.h"

#include <mutex>

namespace Tolvane {
namespace Util {
namespace Os {
namespace Fake {

namespace {

struct Loaded
{
    ModuleHandle handle;
    ModuleCounts counts;
};

struct State
{
    ModulesScript script;
    std::vector<LoadCall> loadCalls;
    std::vector<WideLoadCall> wideLoadCalls;
    std::vector<ExportCall> exportCalls;
    // Every library loaded at least once since the reset; its handle never changes.
    std::map<std::string, Loaded> loaded;
    int invalidFrees = 0;
};

std::recursive_mutex& TheMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

State& TheState()
{
    static State state;
    return state;
}

ModuleHandle Load(const std::string& name)
{
    State& state = TheState();
    if (state.script.modules.count(name) == 0)
    {
        return nullptr;
    }
    auto found = state.loaded.find(name);
    if (found == state.loaded.end())
    {
        // Distinct, recognisable, never dereferenced.
        const auto value = static_cast<std::uintptr_t>(0x100000U * (state.loaded.size() + 1));
        found = state.loaded.emplace(name, Loaded{reinterpret_cast<ModuleHandle>(value), {}}).first;
    }
    ++found->second.counts.loads;
    return found->second.handle;
}

// Allocates nothing: it runs in destructors.
std::map<std::string, Loaded>::iterator Find(ModuleHandle module)
{
    State& state = TheState();
    for (auto it = state.loaded.begin(); it != state.loaded.end(); ++it)
    {
        if (it->second.handle == module)
        {
            return it;
        }
    }
    return state.loaded.end();
}

// GetProcAddress throws nothing, and the loader relies on it: a record that cannot be
// allocated is dropped.
void Record(const std::string& module, bool byOrdinal, std::uintptr_t name) noexcept
{
    try
    {
        TheState().exportCalls.push_back(ExportCall{module, byOrdinal, name});
    }
    catch (...)
    {
    }
}

// The script of the library behind `module`, with the lookup recorded; null when the handle is
// not one the fake gave out. The caller holds the lock.
const FakeModule* Lookup(ModuleHandle module, bool byOrdinal, std::uintptr_t name)
{
    State& state = TheState();
    const auto loaded = Find(module);
    if (loaded == state.loaded.end())
    {
        return nullptr;
    }
    Record(loaded->first, byOrdinal, name);
    const auto scripted = state.script.modules.find(loaded->first);
    return scripted == state.script.modules.end() ? nullptr : &scripted->second;
}

template <typename Exports, typename Key>
void* ExportOf(const Exports& exports, const Key& key)
{
    const auto found = exports.find(key);
    return found == exports.end() ? nullptr : found->second;
}

ModuleHandle TOLVANE_OS_WINAPI FakeLoadLibraryExW(const wchar_t* name, void* file, ULong32 flags)
{
    const std::lock_guard<std::recursive_mutex> lock(TheMutex());
    State& state = TheState();
    state.wideLoadCalls.push_back(WideLoadCall{name, file != nullptr, flags});
    const auto found = state.script.wideNames.find(name);
    return found == state.script.wideNames.end() ? nullptr : Load(found->second);
}

FakeModule Kernel32()
{
    const LoadLibraryExWFunction loadLibraryExW = &FakeLoadLibraryExW;
    FakeModule kernel32;
    kernel32.exportsByName["LoadLibraryExW"] = reinterpret_cast<void*>(loadLibraryExW);
    return kernel32;
}

} // namespace

ModulesScript& Modules()
{
    return TheState().script;
}

const std::vector<LoadCall>& LoadLibraryExACalls()
{
    return TheState().loadCalls;
}

const std::vector<WideLoadCall>& LoadLibraryExWCalls()
{
    return TheState().wideLoadCalls;
}

const std::vector<ExportCall>& GetProcAddressCalls()
{
    return TheState().exportCalls;
}

ModuleCounts Counts(const std::string& module)
{
    const std::lock_guard<std::recursive_mutex> lock(TheMutex());
    const auto found = TheState().loaded.find(module);
    return found == TheState().loaded.end() ? ModuleCounts{} : found->second.counts;
}

int InvalidFrees()
{
    const std::lock_guard<std::recursive_mutex> lock(TheMutex());
    return TheState().invalidFrees;
}

void ResetModules()
{
    const std::lock_guard<std::recursive_mutex> lock(TheMutex());
    TheState() = State{};
    TheState().script.modules[Kernel32Name] = Kernel32();
}

} // namespace Fake

ModuleHandle LoadLibraryExA(const char* name, std::uint32_t flags)
{
    const std::lock_guard<std::recursive_mutex> lock(Fake::TheMutex());
    Fake::TheState().loadCalls.push_back(Fake::LoadCall{name, flags});
    return Fake::Load(name);
}

void* GetProcAddress(ModuleHandle module, const char* name)
{
    const std::lock_guard<std::recursive_mutex> lock(Fake::TheMutex());
    const Fake::FakeModule* const scripted =
        Fake::Lookup(module, false, reinterpret_cast<std::uintptr_t>(name));
    if (scripted == nullptr)
    {
        return nullptr;
    }
    if (IsOrdinalName(name))
    {
        const auto ordinal = static_cast<std::uint16_t>(reinterpret_cast<std::uintptr_t>(name));
        return Fake::ExportOf(scripted->exportsByOrdinal, ordinal);
    }
    return Fake::ExportOf(scripted->exportsByName, std::string(name));
}

void* GetProcAddress(ModuleHandle module, std::uint16_t ordinal)
{
    const std::lock_guard<std::recursive_mutex> lock(Fake::TheMutex());
    const Fake::FakeModule* const scripted = Fake::Lookup(module, true, ordinal);
    return scripted == nullptr ? nullptr : Fake::ExportOf(scripted->exportsByOrdinal, ordinal);
}

bool FreeLibrary(ModuleHandle module)
{
    const std::lock_guard<std::recursive_mutex> lock(Fake::TheMutex());
    const auto loaded = Fake::Find(module);
    if (loaded == Fake::TheState().loaded.end() || loaded->second.counts.References() <= 0)
    {
        ++Fake::TheState().invalidFrees;
        return false;
    }
    ++loaded->second.counts.frees;
    return true;
}

void FreeLibraryAndExitThread(ModuleHandle module, std::uint32_t exitCode)
{
    std::string name;
    {
        const std::lock_guard<std::recursive_mutex> lock(Fake::TheMutex());
        const auto loaded = Fake::Find(module);
        if (loaded != Fake::TheState().loaded.end())
        {
            name = loaded->first;
        }
    }
    static_cast<void>(FreeLibrary(module));
    throw Fake::ThreadExit{name, exitCode};
}

} // namespace Os
} // namespace Util
} // namespace Tolvane
