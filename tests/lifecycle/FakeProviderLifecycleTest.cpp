// The provider's lifecycle in a copy of the library built on the fake backend: loading it
// acquires once, unloading releases once, and a failed acquisition is never released.
#include "lifecycle/LoadedModule.h"
#include "lifecycle/ProviderLedger.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace Tolvane::Testing;
using Ledger::ProviderEvent;

// The ledger as "A1000 G1000 R1000": event letter and handle, so that a mismatch reads plainly.
std::string Calls()
{
    std::string calls;
    for (std::size_t i = 0; i < Ledger::CallCount(); ++i)
    {
        const Ledger::ProviderCall call = Ledger::CallAt(i);
        calls += std::string(calls.empty() ? "" : " ") + "AFGR"[static_cast<int>(call.event)] +
                 std::to_string(call.provider);
    }
    return calls;
}

void SeedInside(const LoadedModule& module)
{
    void* symbol = module.Symbol("TolvaneFakeModuleSeed");
    ASSERT_NE(symbol, nullptr);
    reinterpret_cast<void (*)()>(symbol)();
}

class FakeProviderLifecycle : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(LoadedModule::IsMapped(TOLVANE_FAKE_MODULE)) << "a previous test leaked it";
        Ledger::Clear();
        Ledger::SetAcquisitionSucceeds(true);
    }
    void TearDown() override { EXPECT_FALSE(LoadedModule::IsMapped(TOLVANE_FAKE_MODULE)); }
};

TEST_F(FakeProviderLifecycle, EachLoadAcquiresOnceAndItsUnloadReleasesThatProviderOnce)
{
    // Handles count up from 0x1000 (4096): each load has its own provider.
    for (int seeds : {2, 0})
    {
        LoadedModule module(TOLVANE_FAKE_MODULE);
        ASSERT_TRUE(module.Loaded());
        for (int i = 0; i < seeds; ++i)
        {
            SeedInside(module);
        }
        ASSERT_TRUE(module.Unload());
    }
    EXPECT_EQ(Calls(), "A4096 G4096 G4096 R4096 A4097 R4097");
}

TEST_F(FakeProviderLifecycle, FailedAcquisitionIsNeverReleasedAndSeedFallsBack)
{
    Ledger::SetAcquisitionSucceeds(false);
    LoadedModule module(TOLVANE_FAKE_MODULE);
    ASSERT_TRUE(module.Loaded()) << "a failed acquisition must not fail the load";
    // No second attempt, and no bytes asked of a provider that is not there.
    Ledger::SetAcquisitionSucceeds(true);
    SeedInside(module);
    ASSERT_TRUE(module.Unload());
    EXPECT_EQ(Calls(), "F0");
}

TEST_F(FakeProviderLifecycle, OnlyTheLastReferenceUnloadsAndReleases)
{
    LoadedModule first(TOLVANE_FAKE_MODULE);
    LoadedModule second(TOLVANE_FAKE_MODULE);
    ASSERT_TRUE(first.Loaded() && second.Loaded());
    ASSERT_TRUE(second.Unload());
    EXPECT_EQ(Calls(), "A4096");
    ASSERT_TRUE(first.Unload());
    EXPECT_EQ(Calls(), "A4096 R4096");
}

} // namespace
