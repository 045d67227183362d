// DllLoader beside dlopen/dlsym: loading an open library, copying a loader, looking up exports.
#include "common/RatioReporter.h"

#include <Tolvane/Util/DllLoader.h>

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <unicode/uversion.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace {

const char* const sc_Libm = "libm.so.6";
const char* const sc_IcuUc = "libicuuc.so." U_ICU_VERSION_SHORT;
// ICU's names carry its version.
const char* const sc_IcuExport = "ucnv_open_" U_ICU_VERSION_SHORT;

// One dlopen reference held for the whole run, so that every measured open finds the library
// loaded, as the library's own loader does.
class Handle
{
public:
    explicit Handle(const char* name) : m_Handle(dlopen(name, RTLD_NOW | RTLD_LOCAL))
    {
        if (m_Handle == nullptr)
        {
            throw std::runtime_error(std::string("cannot open ") + name);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { dlclose(m_Handle); }
    void* Get() const { return m_Handle; }

private:
    void* m_Handle;
};

void OpenLibrary(benchmark::State& state, const char* name)
{
    const Tolvane::Util::DllLoader held(name);
    for (auto _ : state)
    {
        Tolvane::Util::DllLoader loader(name);
        benchmark::DoNotOptimize(loader);
    }
}

void OpenLibraryDirect(benchmark::State& state, const char* name)
{
    const Handle held(name);
    for (auto _ : state)
    {
        void* const handle = dlopen(name, RTLD_NOW | RTLD_LOCAL);
        benchmark::DoNotOptimize(handle);
        dlclose(handle);
    }
}

void CopyLoader(benchmark::State& state)
{
    const Tolvane::Util::DllLoader loader(sc_Libm);
    for (auto _ : state)
    {
        Tolvane::Util::DllLoader copy(loader);
        benchmark::DoNotOptimize(copy);
    }
}

void CopySharedPointer(benchmark::State& state)
{
    const auto shared = std::make_shared<int>(0);
    for (auto _ : state)
    {
        std::shared_ptr<int> copy(shared);
        benchmark::DoNotOptimize(copy);
    }
}

void LookUp(benchmark::State& state, const char* library, const char* name)
{
    const Tolvane::Util::DllLoader loader(library);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(loader.GetProcAddressNoThrow(name));
    }
}

void LookUpThrowing(benchmark::State& state, const char* library, const char* name)
{
    const Tolvane::Util::DllLoader loader(library);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(loader.GetProcAddress(name));
    }
}

void LookUpDirect(benchmark::State& state, const char* library, const char* name)
{
    const Handle handle(library);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(dlsym(handle.Get(), name));
    }
}

void RegisterLookup(const std::string& row, const char* library, const char* name)
{
    benchmark::RegisterBenchmark(("loader-lookup/" + row + "/tolvane").c_str(), LookUp, library,
                                 name);
    benchmark::RegisterBenchmark(("loader-lookup/" + row + "/dlsym").c_str(), LookUpDirect, library,
                                 name);
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::RegisterBenchmark("loader-open/libm/tolvane", OpenLibrary, sc_Libm);
    benchmark::RegisterBenchmark("loader-open/libm/dlopen", OpenLibraryDirect, sc_Libm);
    benchmark::RegisterBenchmark("loader-open/libicuuc/tolvane", OpenLibrary, sc_IcuUc);
    benchmark::RegisterBenchmark("loader-open/libicuuc/dlopen", OpenLibraryDirect, sc_IcuUc);
    // A copy shares the library: the system's way is one more dlopen reference; the shared
    // pointer is the bare cost of sharing.
    benchmark::RegisterBenchmark("loader-copy/copy/tolvane", CopyLoader);
    benchmark::RegisterBenchmark("loader-copy/copy/dlopen", OpenLibraryDirect, sc_Libm);
    benchmark::RegisterBenchmark("loader-copy/copy/shared_ptr", CopySharedPointer);
    benchmark::RegisterBenchmark("loader-lookup/GetProcAddress-cos-libm/tolvane", LookUpThrowing,
                                 sc_Libm, "cos");
    benchmark::RegisterBenchmark("loader-lookup/GetProcAddress-cos-libm/dlsym", LookUpDirect,
                                 sc_Libm, "cos");
    benchmark::RegisterBenchmark("loader-lookup/GetProcAddress-ucnv_open-libicuuc/tolvane",
                                 LookUpThrowing, sc_IcuUc, sc_IcuExport);
    benchmark::RegisterBenchmark("loader-lookup/GetProcAddress-ucnv_open-libicuuc/dlsym",
                                 LookUpDirect, sc_IcuUc, sc_IcuExport);
    RegisterLookup("NoThrow-cos-libm", sc_Libm, "cos");
    RegisterLookup("NoThrow-missing-libm", sc_Libm, "no_such_export");
    // A name that libicuuc's dependencies define but libicuuc does not: not its export.
    RegisterLookup("NoThrow-malloc-libicuuc", sc_IcuUc, "malloc");
    return Tolvane::Bench::RunBenchmarks(argc, argv);
}
