// The real library's provider, watched from outside: this program defines getrandom, which the
// library's calls bind to (the program exports its symbols), records them and passes them on.
// The POSIX provider checks at acquisition that the kernel offers getrandom, so a load shows
// as exactly one empty non-blocking request. Its release frees no system resource and so
// cannot be seen from outside; the test checks instead that unloading runs the library's exit
// list and unmaps it (a release left for process exit would run in unmapped code).
#include "support/LoadedModule.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/random.h>

#include <cstddef>
#include <utility>
#include <vector>

namespace {

bool g_Recording = false;
// Length and flags of each request.
std::vector<std::pair<std::size_t, unsigned int>> g_Requests;

} // namespace

extern "C" ssize_t getrandom(void* buffer, std::size_t length, unsigned int flags)
{
    using GetRandom = ssize_t (*)(void*, std::size_t, unsigned int);
    static const GetRandom next = reinterpret_cast<GetRandom>(::dlsym(RTLD_NEXT, "getrandom"));
    if (g_Recording)
    {
        g_Requests.emplace_back(length, flags);
    }
    return next(buffer, length, flags);
}

namespace {

using namespace Tolvane::Testing;

TEST(RealProviderLifecycle, EachLoadAcquiresOnceAndUnloadUnmaps)
{
    for (int round = 0; round < 2; ++round)
    {
        ASSERT_FALSE(IsModuleMapped(TOLVANE_REAL_LIBRARY));
        g_Requests.clear();
        g_Recording = true;
        void* const library = LoadModule(TOLVANE_REAL_LIBRARY);
        g_Recording = false;
        ASSERT_NE(library, nullptr) << ::dlerror();
        EXPECT_EQ(g_Requests, (decltype(g_Requests){{0, GRND_NONBLOCK}})) << "round " << round;

        ASSERT_TRUE(UnloadModule(library));
        EXPECT_FALSE(IsModuleMapped(TOLVANE_REAL_LIBRARY));
    }
}

} // namespace
