// DllLoader on the real system, with the test libraries that the build makes: loading by
// narrow and wide name, export lookup, the system's own view of what is loaded, copies on many
// threads, FreeLibraryAndExitThread, and the exceptions caught across the library boundary.
#include "support/LoadedModule.h"
#include "support/Messages.h"

#include <TestLibraryPaths.h>
#include <Tolvane/Util/DllLoader.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <pthread.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using namespace Tolvane::Util;
using Tolvane::Testing::IsModuleMapped;
using Tolvane::Testing::MessageOf;
using AddFunction = int (*)(int, int);

// `path` as the system reads it. The build writes Unix paths; under Wine, drive Z: is the Unix
// root, so "/a/b.dll" becomes "Z:\a\b.dll".
template <typename Char>
std::basic_string<Char> NativePath(std::basic_string<Char> path)
{
#if defined(_WIN32)
    path.insert(0, {Char('Z'), Char(':')});
    std::replace(path.begin(), path.end(), Char('/'), Char('\\'));
#endif
    return path;
}

const std::string Plain = NativePath(std::string(TOLVANE_TEST_LIBRARY));
const std::wstring PlainW = NativePath(std::wstring(TOLVANE_TEST_LIBRARY_W));
// Its file name has characters outside every ANSI code page; the narrow form is UTF-8.
const std::string WideNamed = NativePath(std::string(TOLVANE_TEST_WIDE_NAMED_LIBRARY));
const std::wstring WideNamedW = NativePath(std::wstring(TOLVANE_TEST_WIDE_NAMED_LIBRARY_W));

// Every test leaves the test libraries unloaded.
struct DllLoaderNativeTest : testing::Test
{
    void TearDown() override { EXPECT_FALSE(IsModuleMapped(Plain) || IsModuleMapped(WideNamed)); }
};

TEST_F(DllLoaderNativeTest, ExportsAndFailuresAcrossTheBoundary)
{
    const DllLoader library(Plain);
    const DllLoader::FunctionPointer<AddFunction> add(library, "TolvaneTestAdd");
    EXPECT_EQ(add.Get()(2, 40), 42);
    const DllLoader::FunctionPointer<AddFunction> missing(library, "TolvaneTestMissing");
    EXPECT_EQ(MessageOf<std::logic_error>([&] { return missing.Get(); }),
              "DllLoader::FunctionPointer::Get called on an empty FunctionPointer object.");
#if defined(_WIN32)
    // Ordinals from the .def file; a name pointer below 0x10000 is an ordinal to Windows and
    // goes there untouched.
    void* const length = library.GetProcAddress("TolvaneTestLength");
    EXPECT_EQ(library.GetProcAddress(std::uint16_t{3}), length);
    EXPECT_EQ(library.GetProcAddressNoThrow(reinterpret_cast<const char*>(std::uintptr_t{3})),
              length);
    // Exported by ordinal only: no name finds it.
    EXPECT_EQ(reinterpret_cast<int (*)()>(library.GetProcAddressNoThrow(std::uint16_t{9}))(), 42);
    EXPECT_EQ(library.GetProcAddressNoThrow("TolvaneTestSecret"), nullptr);
#else
    // No ordinals here, and no symbol of a dependency (the C library, whose strlen the test
    // library calls): dlsym would find them, as GetProcAddress would not.
    EXPECT_EQ(library.GetProcAddressNoThrow(std::uint16_t{1}), nullptr);
    EXPECT_EQ(library.GetProcAddressNoThrow(reinterpret_cast<const char*>(std::uintptr_t{1})),
              nullptr);
    EXPECT_EQ(reinterpret_cast<int (*)()>(library.GetProcAddress("TolvaneTestSecret"))(), 42);
    EXPECT_EQ(library.GetProcAddressNoThrow("strlen"), nullptr);
#endif
    // Failures are caught by their bases: the type information crosses the boundary intact.
    EXPECT_EQ(MessageOf<DllLoaderException>([&] { library.GetProcAddress("TolvaneTestMissing"); }),
              "Cannot find DLL export with name 'TolvaneTestMissing'.");
    EXPECT_EQ(MessageOf<DllExportNotFoundException>(
                  [&] { library.GetProcAddress(std::uint16_t{65535}); }),
              "Cannot find DLL export with ordinal 65535.");
    const std::string nowhere = NativePath(std::string("/nonexistent/tolvane-missing.dll"));
    EXPECT_EQ(MessageOf<LoadDllException>([&] { DllLoader{nowhere}; }),
              "Cannot load DLL '" + nowhere + "'.");
}

TEST_F(DllLoaderNativeTest, CopiesOnEightThreadsFreeTheLibraryOnce)
{
    std::optional<DllLoader> original(std::in_place, Plain);
    std::atomic<int> wrongResults{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
    {
        // Each thread starts from its own copy; the original goes while they run.
        threads.emplace_back([mine = *original, &wrongResults, t]() mutable {
            for (int i = 0; i < 2000; ++i)
            {
                DllLoader copy(mine);
                mine = DllLoader(copy);
                const DllLoader::FunctionPointer<AddFunction> add(mine, "TolvaneTestAdd");
                wrongResults += !add || add.Get()(t, i) != t + i;
            }
        });
    }
    original.reset();
    for (std::thread& thread : threads)
    {
        thread.join();
    }
    EXPECT_EQ(wrongResults.load(), 0);
}

TEST_F(DllLoaderNativeTest, WideNamesReachTheSystemUnchanged)
{
    const DllLoader wide(WideNamedW);
    EXPECT_TRUE(IsModuleMapped(WideNamed));
    const DllLoader narrow(Plain);
    EXPECT_EQ(DllLoader(PlainW).GetProcAddress("TolvaneTestAdd"),
              narrow.GetProcAddress("TolvaneTestAdd"));
#if defined(_WIN32)
    // The narrow form is read in the ANSI code page, which has neither character.
    EXPECT_THROW(DllLoader{WideNamed}, LoadDllException);
#else
    // A lone surrogate names no file here. Were it replaced by U+FFFD, the library copied to
    // the name with U+FFFD would load.
    const std::filesystem::path original(Plain);
    const auto replaced = original.parent_path() / "TolvaneTestReplacement\xEF\xBF\xBD.so";
    std::filesystem::copy_file(original, replaced,
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_THROW(DllLoader{original.parent_path().wstring() + L"/TolvaneTestReplacement\xD800.so"},
                 LoadDllException);
    EXPECT_FALSE(IsModuleMapped(replaced.string()));
    std::filesystem::remove(replaced);
#endif
    // A wide name that does not load keeps its message wide.
    const std::wstring missing = NativePath(std::wstring(L"/nonexistent/caf\xE9-\x4E2D.dll"));
    EXPECT_EQ((MessageOf<LoadDllException, std::wstring>([&] { DllLoader{missing}; })),
              L"Cannot load DLL '" + missing + L"'.");
    // kernel32's wide loader is found under every spelling: Windows compares module names without
    // regard to case and adds ".DLL" to a bare name.
    for (const char* spelling : {"KERNEL32.DLL", "kernel32.dll", "Kernel32"})
    {
        EXPECT_NE(DllLoader(std::string(spelling)).GetProcAddressNoThrow("LoadLibraryExW"),
                  nullptr);
    }
}

// FreeLibraryAndExitThread on a thread of its own, with the only loader of the test library.
// The loader is never destroyed; kept reachable so that leak checkers do not report it.
struct ExitingLoader : DllLoader
{
    using DllLoader::DllLoader;
    using DllLoader::FreeLibraryAndExitThread;
};
std::atomic<ExitingLoader*> g_Exited{nullptr}; // atomic: a plain store, never read, is dropped
constexpr std::uint32_t ExitCode = 0x2A17;

#if defined(_WIN32)
DWORD WINAPI ExitingThread(LPVOID)
#else
void* ExitingThread(void*)
#endif
{
    g_Exited = new ExitingLoader(Plain);
    g_Exited.load()->FreeLibraryAndExitThread(ExitCode);
}

TEST_F(DllLoaderNativeTest, FreeLibraryAndExitThreadEndsTheThreadWithItsCodeAndUnloads)
{
#if defined(_WIN32)
    const HANDLE thread = CreateThread(nullptr, 0, &ExitingThread, nullptr, 0, nullptr);
    DWORD code = 0;
    ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    ASSERT_NE(GetExitCodeThread(thread, &code), 0);
    CloseHandle(thread);
#else
    pthread_t thread{};
    ASSERT_EQ(pthread_create(&thread, nullptr, &ExitingThread, nullptr), 0);
    void* result = nullptr;
    ASSERT_EQ(pthread_join(thread, &result), 0);
    const auto code = reinterpret_cast<std::uintptr_t>(result);
#endif
    EXPECT_EQ(code, ExitCode);
    EXPECT_FALSE(IsModuleMapped(Plain));
    // The process carries on, and the library loads again.
    EXPECT_NE(DllLoader(Plain).GetProcAddressNoThrow("TolvaneTestAdd"), nullptr);
}

} // namespace
