// FreeLibraryAndExitThread on a real thread: the thread ends with its exit code, the library
// is unloaded, and the process carries on.
#include "native/ModuleProbe.h"

#include <Tolvane/Util/DllLoader.h>

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <pthread.h>
#endif

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>

namespace {

using Tolvane::Testing::IsModuleLoaded;
using Tolvane::Testing::LibraryPath;

class ExitingLoader : public Tolvane::Util::DllLoader
{
public:
    using DllLoader::DllLoader;
    using DllLoader::FreeLibraryAndExitThread;
};

constexpr std::uint32_t ExitCode = 0x2A17;

// The only loader of the library, handed to FreeLibraryAndExitThread and therefore never
// destroyed. Kept reachable so that leak checkers do not report it.
std::atomic<ExitingLoader*> g_Leaked{nullptr};

// Were FreeLibraryAndExitThread to return, the thread would end with another code.
#if defined(_WIN32)
DWORD WINAPI ThreadMain(LPVOID)
{
    g_Leaked = new ExitingLoader(LibraryPath());
    g_Leaked.load()->FreeLibraryAndExitThread(ExitCode);
}

// Runs ThreadMain on a new thread and returns the thread's exit code.
std::uint32_t RunOnThread()
{
    const HANDLE thread = CreateThread(nullptr, 0, &ThreadMain, nullptr, 0, nullptr);
    EXPECT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_NE(GetExitCodeThread(thread, &code), 0);
    CloseHandle(thread);
    return code;
}
#else
void* ThreadMain(void*)
{
    g_Leaked = new ExitingLoader(LibraryPath());
    g_Leaked.load()->FreeLibraryAndExitThread(ExitCode);
}

std::uint32_t RunOnThread()
{
    pthread_t thread{};
    EXPECT_EQ(pthread_create(&thread, nullptr, &ThreadMain, nullptr), 0);
    void* result = nullptr;
    EXPECT_EQ(pthread_join(thread, &result), 0);
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(result));
}
#endif

TEST(ExitThreadNative, FreesTheLibraryAndEndsTheThreadWithItsCode)
{
    ASSERT_FALSE(IsModuleLoaded(LibraryPath()));
    EXPECT_EQ(RunOnThread(), ExitCode);
    EXPECT_FALSE(IsModuleLoaded(LibraryPath()));
    // The process carries on, and the library loads again.
    const Tolvane::Util::DllLoader again(LibraryPath());
    EXPECT_NE(again.GetProcAddressNoThrow("TolvaneTestAdd"), nullptr);
}

} // namespace
