// The entry function: thread notifications off at process attach, nothing else, never a failure.
#include "frame/LibraryEntry.h"
#include "FakeProcess.h"

#include <gtest/gtest.h>

namespace
{

using namespace Tolvane::Util;
namespace Fake = Os::Fake;

Os::ModuleHandle SomeModule()
{
    static int marker;
    return reinterpret_cast<Os::ModuleHandle>(&marker);
}

TEST(LibraryEntry, ProcessAttachTurnsOffThreadNotificationsForItsOwnModule)
{
    Fake::ResetProcess();
    EXPECT_TRUE(Frame::OnLibraryEntry(SomeModule(), Frame::ReasonProcessAttach));
    ASSERT_EQ(Fake::DisableThreadLibraryCallsCalls().size(), 1u);
    EXPECT_EQ(Fake::DisableThreadLibraryCallsCalls()[0], SomeModule());
}

TEST(LibraryEntry, RefusedNotificationsStillLoad)
{
    Fake::ResetProcess();
    Fake::Process().disableThreadLibraryCallsSucceeds = false;
    EXPECT_TRUE(Frame::OnLibraryEntry(SomeModule(), Frame::ReasonProcessAttach));
    EXPECT_EQ(Fake::DisableThreadLibraryCallsCalls().size(), 1u);
}

TEST(LibraryEntry, OtherReasonsDoNothing)
{
    Fake::ResetProcess();
    for (std::uint32_t reason : {Frame::ReasonProcessDetach, Frame::ReasonThreadAttach,
                                 Frame::ReasonThreadDetach, 4u, 0xFFFFFFFFu})
    {
        EXPECT_TRUE(Frame::OnLibraryEntry(SomeModule(), reason)) << reason;
    }
    EXPECT_TRUE(Fake::DisableThreadLibraryCallsCalls().empty());
}

} // namespace
