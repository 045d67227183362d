// The provider's lifecycle in a copy of the library built on the fake backend: loading it
// acquires once, its last unload releases once, and a failed acquisition is never released.
#include "FakeCrypto.h"
#include "support/LoadedModule.h"

#include <gtest/gtest.h>

namespace {

using namespace Tolvane::Testing;
namespace Fake = Tolvane::Util::Os::Fake;

TEST(FakeProviderLifecycle, EachLoadAcquiresOnceAndOnlyItsLastUnloadReleasesThatProvider)
{
    struct Case
    {
        bool acquireSucceeds;
        int seeds; // generators built inside the module
        bool secondReference;
        const char* calls;
    };
    // Handles count up from 0x1000 (4096) with each acquisition.
    const Case cases[] = {{true, 2, false, "A4096 G4096:2496 G4096:2496 R4096"},
                          {true, 0, true, "A4096 R4096"},
                          // No second attempt, and no bytes asked of a provider not there.
                          {false, 1, false, "F0"}};
    for (const Case& c : cases)
    {
        ASSERT_FALSE(IsModuleMapped(TOLVANE_FAKE_MODULE)) << "a previous load leaked";
        Fake::ResetCrypto();
        Fake::Crypto().acquireSucceeds = c.acquireSucceeds;
        void* const module = LoadModule(TOLVANE_FAKE_MODULE);
        ASSERT_NE(module, nullptr) << "a failed acquisition must not fail the load";
        Fake::Crypto().acquireSucceeds = true;
        auto* const seed =
            reinterpret_cast<void (*)()>(ModuleSymbol(module, "TolvaneFakeModuleSeed"));
        ASSERT_NE(seed, nullptr);
        for (int i = 0; i < c.seeds; ++i)
        {
            seed();
        }
        if (c.secondReference)
        {
            ASSERT_TRUE(UnloadModule(LoadModule(TOLVANE_FAKE_MODULE)));
            EXPECT_EQ(Fake::CryptoCalls(), "A4096");
        }
        ASSERT_TRUE(UnloadModule(module));
        EXPECT_EQ(Fake::CryptoCalls(), c.calls);
    }
    EXPECT_FALSE(IsModuleMapped(TOLVANE_FAKE_MODULE));
}

} // namespace
