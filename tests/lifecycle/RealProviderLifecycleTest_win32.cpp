// The real library's provider, watched from outside: after loading TolvaneUtil.dll the test
// redirects the DLL's imported CryptReleaseContext to a recorder that passes the call on, then
// unloads the DLL. advapi32 accepting the release proves that the handle was a context the
// library acquired while loading.
#include "support/LoadedModule.h"

#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <wincrypt.h>

#include <cstring>
#include <vector>

namespace {

using namespace Tolvane::Testing;

using ReleaseFunction = BOOL(WINAPI*)(HCRYPTPROV, DWORD);

struct Release
{
    HCRYPTPROV provider;
    DWORD flags;
    BOOL result;
};

std::vector<Release> g_Releases;

BOOL WINAPI RecordingRelease(HCRYPTPROV provider, DWORD flags)
{
    const BOOL result = ::CryptReleaseContext(provider, flags);
    g_Releases.push_back(Release{provider, flags, result});
    return result;
}

// Points `module`'s import of `dll`!`function` (imported by name) at `replacement`; false when
// there is none.
bool RedirectImport(HMODULE module, const char* dll, const char* function, void* replacement)
{
    auto* base = reinterpret_cast<unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* descriptor =
             reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor)
    {
        if (::lstrcmpiA(reinterpret_cast<const char*>(base + descriptor->Name), dll) != 0)
        {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses)
        {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
            {
                continue;
            }
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0)
            {
                continue;
            }
            DWORD protection = 0;
            ::VirtualProtect(&addresses->u1.Function, sizeof(addresses->u1.Function),
                             PAGE_READWRITE, &protection);
            addresses->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            ::VirtualProtect(&addresses->u1.Function, sizeof(addresses->u1.Function), protection,
                             &protection);
            return true;
        }
    }
    return false;
}

TEST(RealProviderLifecycle, ContextAcquiredAtLoadIsReleasedOnceAtUnload)
{
    for (int round = 0; round < 2; ++round)
    {
        ASSERT_FALSE(IsModuleMapped(TOLVANE_REAL_LIBRARY));
        g_Releases.clear();
        void* const library = LoadModule(TOLVANE_REAL_LIBRARY);
        ASSERT_NE(library, nullptr);
        ASSERT_TRUE(RedirectImport(static_cast<HMODULE>(library), "advapi32.dll",
                                   "CryptReleaseContext",
                                   reinterpret_cast<void*>(&RecordingRelease)));
        EXPECT_TRUE(g_Releases.empty()) << "nothing is released while the library is loaded";

        ASSERT_TRUE(UnloadModule(library));
        EXPECT_FALSE(IsModuleMapped(TOLVANE_REAL_LIBRARY));
        ASSERT_EQ(g_Releases.size(), 1u) << "round " << round;
        EXPECT_NE(g_Releases[0].provider, 0u);
        EXPECT_EQ(g_Releases[0].flags, 0u);
        EXPECT_TRUE(g_Releases[0].result) << "advapi32 knew the context";
    }
}

} // namespace
