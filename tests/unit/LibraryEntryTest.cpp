// The entry function: thread notifications off at process attach, nothing else, never a failure.
#include "frame/LibraryEntry.h"
#include "FakeProcess.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace Tolvane::Util;
namespace Fake = Os::Fake;

Os::ModuleHandle SomeModule()
{
    static int marker;
    return reinterpret_cast<Os::ModuleHandle>(&marker);
}

TEST(LibraryEntry, ProcessAttachTurnsOffThreadNotificationsForItsOwnModuleNeverFailing)
{
    for (bool refused : {false, true})
    {
        Fake::ResetProcess();
        Fake::Process().disableThreadLibraryCallsSucceeds = !refused;
        EXPECT_TRUE(Frame::OnLibraryEntry(SomeModule(), Frame::ReasonProcessAttach)) << refused;
        EXPECT_EQ(Fake::DisableThreadLibraryCallsCalls(),
                  std::vector<Os::ModuleHandle>{SomeModule()});
    }
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
