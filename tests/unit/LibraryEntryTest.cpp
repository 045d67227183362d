// The entry function: thread notifications off at process attach, nothing else, never a failure.
#include "frame/LibraryEntry.h"
#include "FakeSystemInfo.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace Tolvane::Util;
namespace Fake = Os::Fake;

TEST(LibraryEntry, OnlyProcessAttachTurnsOffThreadNotificationsAndNoReasonFails)
{
    static int marker;
    const auto module = reinterpret_cast<Os::ModuleHandle>(&marker);
    for (const std::uint32_t reason : {Frame::ReasonProcessDetach, Frame::ReasonThreadAttach,
                                       Frame::ReasonThreadDetach, 4U, 0xFFFFFFFFU})
    {
        EXPECT_TRUE(Frame::OnLibraryEntry(module, reason)) << reason;
    }
    EXPECT_TRUE(Fake::SystemInfo().disabledModules.empty());
    // Refused for a module with a TLS directory, as MinGW's are: the load goes on.
    for (const bool succeeds : {true, false})
    {
        Fake::SystemInfo().disableThreadLibraryCallsSucceeds = succeeds;
        EXPECT_TRUE(Frame::OnLibraryEntry(module, Frame::ReasonProcessAttach)) << succeeds;
    }
    EXPECT_EQ(Fake::SystemInfo().disabledModules, (std::vector<Os::ModuleHandle>{module, module}));
}

} // namespace
