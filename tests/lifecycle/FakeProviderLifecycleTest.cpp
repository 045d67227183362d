// The provider's lifecycle in a copy of the library built on the fake backend: loading it
// acquires once, unloading releases once, and a failed acquisition is never released.
#include "lifecycle/LoadedModule.h"
#include "lifecycle/ProviderLedger.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

using namespace Tolvane::Testing;
using Ledger::ProviderEvent;

struct Call
{
    ProviderEvent event;
    std::uintptr_t provider;
    bool operator==(const Call& other) const
    {
        return event == other.event && provider == other.provider;
    }
};

void PrintTo(const Call& call, std::ostream* out)
{
    static const char* const names[] = {"AcquireSucceeded", "AcquireFailed", "GenRandom",
                                        "Release"};
    *out << names[static_cast<int>(call.event)] << "(0x" << std::hex << call.provider << ")";
}

std::vector<Call> Calls()
{
    std::vector<Call> calls;
    for (std::size_t i = 0; i < Ledger::CallCount(); ++i)
    {
        const Ledger::ProviderCall call = Ledger::CallAt(i);
        calls.push_back(Call{call.event, call.provider});
    }
    return calls;
}

// Seeds a generator inside the module.
void SeedInside(const LoadedModule& module)
{
    using SeedFunction = void (*)();
    void* symbol = module.Symbol("TolvaneFakeModuleSeed");
    ASSERT_NE(symbol, nullptr);
    reinterpret_cast<SeedFunction>(symbol)();
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

TEST_F(FakeProviderLifecycle, AcquiredOnceAtLoadUsedBySeedAndReleasedOnceAtUnload)
{
    LoadedModule module(TOLVANE_FAKE_MODULE);
    ASSERT_TRUE(module.Loaded());
    ASSERT_EQ(Calls().size(), 1u);
    const Call acquired = Calls()[0];
    EXPECT_EQ(acquired.event, ProviderEvent::AcquireSucceeded);

    SeedInside(module);
    SeedInside(module);
    EXPECT_EQ(Calls(), (std::vector<Call>{acquired,
                                          {ProviderEvent::GenRandom, acquired.provider},
                                          {ProviderEvent::GenRandom, acquired.provider}}));

    ASSERT_TRUE(module.Unload());
    EXPECT_EQ(Calls(), (std::vector<Call>{acquired,
                                          {ProviderEvent::GenRandom, acquired.provider},
                                          {ProviderEvent::GenRandom, acquired.provider},
                                          {ProviderEvent::Release, acquired.provider}}));
}

TEST_F(FakeProviderLifecycle, LoadAndUnloadWithoutACallReleaseOnce)
{
    LoadedModule module(TOLVANE_FAKE_MODULE);
    ASSERT_TRUE(module.Loaded());
    ASSERT_TRUE(module.Unload());
    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[0].event, ProviderEvent::AcquireSucceeded);
    EXPECT_EQ(Calls()[1], (Call{ProviderEvent::Release, Calls()[0].provider}));
}

TEST_F(FakeProviderLifecycle, FailedAcquisitionIsNeverReleasedAndSeedFallsBack)
{
    Ledger::SetAcquisitionSucceeds(false);
    LoadedModule module(TOLVANE_FAKE_MODULE);
    ASSERT_TRUE(module.Loaded()) << "a failed acquisition must not fail the load";
    EXPECT_EQ(Calls(), (std::vector<Call>{{ProviderEvent::AcquireFailed, 0}}));

    // No second attempt, and no bytes asked of a provider that is not there.
    Ledger::SetAcquisitionSucceeds(true);
    SeedInside(module);
    ASSERT_TRUE(module.Unload());
    EXPECT_EQ(Calls(), (std::vector<Call>{{ProviderEvent::AcquireFailed, 0}}));
}

TEST_F(FakeProviderLifecycle, EveryLoadHasItsOwnProvider)
{
    for (int round = 0; round < 2; ++round)
    {
        LoadedModule module(TOLVANE_FAKE_MODULE);
        ASSERT_TRUE(module.Loaded());
        ASSERT_TRUE(module.Unload());
    }
    const std::vector<Call> calls = Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].event, ProviderEvent::AcquireSucceeded);
    EXPECT_EQ(calls[1], (Call{ProviderEvent::Release, calls[0].provider}));
    EXPECT_EQ(calls[2].event, ProviderEvent::AcquireSucceeded);
    EXPECT_EQ(calls[3], (Call{ProviderEvent::Release, calls[2].provider}));
    EXPECT_NE(calls[0].provider, calls[2].provider);
}

TEST_F(FakeProviderLifecycle, OnlyTheLastReferenceUnloadsAndReleases)
{
    LoadedModule first(TOLVANE_FAKE_MODULE);
    LoadedModule second(TOLVANE_FAKE_MODULE);
    ASSERT_TRUE(first.Loaded() && second.Loaded());
    ASSERT_EQ(Calls().size(), 1u);
    ASSERT_TRUE(second.Unload());
    EXPECT_EQ(Calls().size(), 1u);
    ASSERT_TRUE(first.Unload());
    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[1], (Call{ProviderEvent::Release, Calls()[0].provider}));
}

} // namespace
