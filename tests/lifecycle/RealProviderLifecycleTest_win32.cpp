// The real library's provider, watched from outside: after loading TolvaneUtil.dll the test
// redirects the DLL's imported CryptReleaseContext to a recorder that passes the call on, then
// unloads the DLL. advapi32 accepting the release proves that the handle was a context the
// library acquired while loading.
#include "support/LoadedModule.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <wincrypt.h>

#include <vector>

namespace {

using namespace Tolvane::Testing;

// What advapi32 answered to each release.
std::vector<BOOL> g_Releases;

BOOL WINAPI RecordingRelease(HCRYPTPROV provider, DWORD flags)
{
    g_Releases.push_back(::CryptReleaseContext(provider, flags));
    return g_Releases.back();
}

// Points every slot of `module`'s import address table that holds `function` at `replacement`;
// the number of slots changed. The loader has bound the slots, so the address identifies the
// import whatever name or ordinal it was imported by.
int RedirectImport(HMODULE module, const void* function, const void* replacement)
{
    auto* const base = reinterpret_cast<unsigned char*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    int changed = 0;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); dll->Name != 0;
         ++dll)
    {
        for (auto* slot = reinterpret_cast<ULONG_PTR*>(base + dll->FirstThunk); *slot != 0; ++slot)
        {
            DWORD protection = 0;
            if (*slot == reinterpret_cast<ULONG_PTR>(function) &&
                ::VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection))
            {
                *slot = reinterpret_cast<ULONG_PTR>(replacement);
                changed += ::VirtualProtect(slot, sizeof(*slot), protection, &protection) != 0;
            }
        }
    }
    return changed;
}

TEST(RealProviderLifecycle, ContextAcquiredAtLoadIsReleasedOnceAtUnload)
{
    const void* const release = reinterpret_cast<const void*>(&::CryptReleaseContext);
    for (int round = 0; round < 2; ++round)
    {
        ASSERT_FALSE(IsModuleMapped(TOLVANE_REAL_LIBRARY));
        g_Releases.clear();
        void* const library = LoadModule(TOLVANE_REAL_LIBRARY);
        ASSERT_NE(library, nullptr);
        ASSERT_EQ(RedirectImport(static_cast<HMODULE>(library), release,
                                 reinterpret_cast<const void*>(&RecordingRelease)),
                  1);

        ASSERT_TRUE(UnloadModule(library));
        EXPECT_FALSE(IsModuleMapped(TOLVANE_REAL_LIBRARY));
        EXPECT_EQ(g_Releases, std::vector<BOOL>{TRUE}) << "round " << round;
    }
}

} // namespace
