// Every unit test starts from the fake backend's defaults: one listener resets all the fakes
// before each test, so that no test depends on what an earlier one scripted or recorded.
#include "fake_os/FakeClock.h"
#include "fake_os/FakeCodePages.h"
#include "fake_os/FakeCrypto.h"
#include "fake_os/FakeModules.h"
#include "fake_os/FakeSystemInfo.h"

#include <gtest/gtest.h>

namespace {

class ResetFakes : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo&) override
    {
        namespace Fake = Tolvane::Util::Os::Fake;
        Fake::ResetClock();
        Fake::ResetCodePages();
        Fake::Crypto() = Fake::CryptoState{};
        Fake::ResetModules();
        Fake::ResetSystemInfo();
    }
};

// Registered while the program starts, before any test runs; GoogleTest owns the listener.
[[maybe_unused]] const bool Registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetFakes);
    return true;
}();

} // namespace
