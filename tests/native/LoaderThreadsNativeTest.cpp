// Copies of one loader made, assigned and destroyed on eight threads at once: the library
// stays loaded while any copy lives and is freed once, by whichever thread lets go last.
#include "native/ModuleProbe.h"

#include <TestLibraryPaths.h>
#include <Tolvane/Util/DllLoader.h>

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Tolvane::Testing::IsModuleLoaded;
using Tolvane::Testing::NativePath;
using Tolvane::Util::DllLoader;

TEST(LoaderThreadsNative, CopiesOnEightThreadsFreeTheLibraryOnce)
{
    const std::string path = NativePath(std::string(TOLVANE_TEST_LIBRARY));
    ASSERT_FALSE(IsModuleLoaded(path));
    std::optional<DllLoader> original(std::in_place, path);
    using AddFunction = int (*)(int, int);
    std::atomic<bool> go{false};
    std::atomic<int> wrongResults{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
    {
        // Each thread starts from its own copy; the original goes before they begin.
        threads.emplace_back([mine = *original, &go, &wrongResults, t]() mutable {
            while (!go.load())
            {
                std::this_thread::yield();
            }
            for (int i = 0; i < 2000; ++i)
            {
                DllLoader a(mine);
                const DllLoader b(a);
                a = b;
                mine = a;
                const DllLoader::FunctionPointer<AddFunction> add(mine, "TolvaneTestAdd");
                if (!add || add.Get()(t, i) != t + i)
                {
                    ++wrongResults;
                }
            }
        });
    }
    original.reset();
    EXPECT_TRUE(IsModuleLoaded(path));
    go = true;
    for (std::thread& thread : threads)
    {
        thread.join();
    }
    EXPECT_EQ(wrongResults.load(), 0);
    EXPECT_FALSE(IsModuleLoaded(path));
}

} // namespace
