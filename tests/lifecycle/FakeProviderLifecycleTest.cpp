// The provider's lifecycle in a copy of the library built on the fake backend: loading it
// acquires once, its last unload releases once, and a failed acquisition is never released.
#include "FakeCrypto.h"
#include "support/LoadedModule.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace Tolvane::Testing;
namespace Fake = Tolvane::Util::Os::Fake;

TEST(FakeProviderLifecycle, EachLoadAcquiresOnceAndOnlyItsLastUnloadReleasesThatProvider)
{
    // Acquisition succeeds?, generators built inside the module, the provider calls.
    // Handles count up from 0x1000 (4096) with each acquisition.
    const std::tuple<bool, int, const char*> cases[] = {
        {true, 2, "A4096 G4096:2496 G4096:2496 R4096"},
        // No second attempt, and no bytes asked of a provider not there.
        {false, 1, "F0"}};
    for (const auto& [acquireSucceeds, seeds, calls] : cases)
    {
        ASSERT_FALSE(IsModuleMapped(TOLVANE_FAKE_MODULE)) << "a previous load leaked";
        Fake::Crypto() = Fake::CryptoState{};
        Fake::Crypto().acquireSucceeds = acquireSucceeds;
        void* const module = LoadModule(TOLVANE_FAKE_MODULE);
        ASSERT_NE(module, nullptr) << "a failed acquisition must not fail the load";
        Fake::Crypto().acquireSucceeds = true;
        // A second reference taken and given back neither acquires nor releases.
        ASSERT_TRUE(UnloadModule(LoadModule(TOLVANE_FAKE_MODULE)));
        auto* const seed =
            reinterpret_cast<void (*)()>(ModuleSymbol(module, "TolvaneFakeModuleSeed"));
        ASSERT_NE(seed, nullptr);
        for (int i = 0; i < seeds; ++i)
        {
            seed();
        }
        ASSERT_TRUE(UnloadModule(module));
        EXPECT_STREQ(Fake::Crypto().calls, calls);
    }
    EXPECT_FALSE(IsModuleMapped(TOLVANE_FAKE_MODULE));
}

} // namespace
