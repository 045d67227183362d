// Every allocation of the conversions and exception constructors may fail: each run either
// succeeds or throws std::bad_alloc, leaks nothing, and leaves the outputs as they were.
#include "FakeCodePages.h"
#include "FakeSystemInfo.h"
#include "support/AllocationCounter.h"
#include "support/Messages.h"

#include <Tolvane/Exception.h>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace {

using namespace Tolvane::Util::StringConversion;
namespace Fake = Tolvane::Util::Os::Fake;
namespace Testing = Tolvane::Testing;

class TestException : public Tolvane::Exception
{
public:
    using Exception::Exception;
};

TEST(OutOfMemory, ConversionsAndExceptions)
{
#if defined(_WIN32)
    // A Windows program's replacement operator new does not reach the C++ runtime DLL, which
    // allocates much of std::string's storage itself: the counts would not balance.
    GTEST_SKIP() << "allocation counting needs a single operator new (Linux)";
#endif
    // Warm up the pools that keep memory for good (the shared-pointer count blocks, the test
    // framework's own buffers), so that a run's live count can return to its start.
    TestException(std::wstring(L"warm")).what();
    TestException(std::string("warm")).GetWideMessage();
    // Texts long enough to need the heap in every buffer; the results have room reserved.
    const std::wstring wide = std::wstring(200, L'w') + L"\x0100\x4E2D";
    const std::string narrow = std::string(200, 'n') + "\xE9";
    const std::string expected = std::string(200, 'w') + "A?";
    std::string out = "old";
    std::wstring wideOut = L"old";
    out.reserve(512);
    wideOut.reserve(512);
    // A short result for a string whose own storage is too small for it: it goes through the
    // local buffer, and then takes an allocation in the string.
    const std::wstring shortWide(40, L's');
    const std::string shortExpected(40, 's');
    std::string shortOut = "old";
    bool used = true;
    const auto toNarrow = [&](BestFitMappingPolicy bestFit) {
        return Detail::ConvertWStringToString(wide, out, "", "CP1252", bestFit,
                                              UseSpecifiedDefaultChar, '?', used);
    };
    // Each run tells whether it gave the right result. What() swallows a failure and answers
    // "" until a call gets through: that counts as the failure it is.
    const std::function<bool()> runs[] = {
        [&] { return toNarrow(AllowBestFitMapping) && out == expected; },
        [&] {
            // Windows 95: the round trip must fail
            Fake::SystemInfo().version = Fake::MakeVersion(1, 4, 0);
            return !toNarrow(DisallowBestFitMapping);
        },
        [&] {
            return Detail::ConvertStringToWString(narrow, wideOut, "CP1252", "") &&
                   wideOut.size() == 201;
        },
        [&] {
            const bool right = Detail::ConvertWStringToString(shortWide, shortOut, "", "CP1252",
                                                              AllowBestFitMapping,
                                                              UseSpecifiedDefaultChar, '?', used) &&
                               shortOut == shortExpected;
            std::string().swap(shortOut); // its storage back, for the count of live blocks
            return right;
        },
        [&] { return TestException(narrow).GetWideMessage().size() == 201; },
        [&] { return *TestException(wide).what() != '\0' || (throw std::bad_alloc(), false); },
        [&] {
            return Testing::MessageOf<Tolvane::ConvertStringException>(
                       [&] { Detail::ThrowConvertStringException(narrow); }) == narrow;
        }};
    // Each run goes again with the k-th allocation failing, for k = 1, 2, ... until it gets
    // through without std::bad_alloc, and must then give true. A failed run must leave the
    // outputs as they were, and no run may leave anything allocated.
    for (const auto& run : runs)
    {
        int k = 0;
        bool failed = true;
        while (failed && ++k < 1000)
        {
            const auto before = std::make_tuple(out, used, wideOut, shortOut);
            const std::ptrdiff_t liveBefore = Testing::LiveAllocationCount();
            bool right = false;
            failed = false;
            Testing::FailAllocationAfter(static_cast<std::size_t>(k));
            try
            {
                right = run();
            }
            catch (const std::bad_alloc&)
            {
                failed = true;
            }
            Testing::FailAllocationAfter(0);
            EXPECT_TRUE(failed ? std::make_tuple(out, used, wideOut, shortOut) == before : right)
                << k;
            // The fakes' records of calls grow, and would count as live blocks; and the next
            // run starts from a fresh script.
            Fake::ResetCodePages();
            Fake::ResetSystemInfo();
            EXPECT_EQ(Testing::LiveAllocationCount(), liveBefore) << "leak in run " << k;
        }
        EXPECT_TRUE(k > 1 && k < 1000) << "runs with a failed allocation: " << k - 1;
    }
}

} // namespace
