// The exception root: message forms, the cached narrow text, copies, and concurrent what().
#include "FakeCodePages.h"
#include "support/AllocationCounter.h"

#include <Tolvane/Exception.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace {

using Tolvane::Exception;
namespace Fake = Tolvane::Util::Os::Fake;

// The library throws only subclasses; a minimal one exposes both constructors.
class TestException : public Exception
{
public:
    using Exception::Exception;
};

TEST(Exception, WideTextIsConvertedOnceWithBestFitAndNarrowTextAnewForEachWideRead)
{
    const TestException wide(std::wstring(L"a\x0100\x4E2D"));
    const char* const first = wide.what();
    EXPECT_STREQ(first, "aA?");
    EXPECT_EQ(wide.what(), first);
    EXPECT_EQ(wide.GetWideMessage(), L"a\x0100\x4E2D");

    const TestException narrow(std::string("abc"));
    EXPECT_STREQ(narrow.what(), "abc");
    EXPECT_EQ(Fake::WideToNarrowCalls().size(), 2u) << "the size, then the text, once";
    EXPECT_EQ(narrow.GetWideMessage(), L"abc");
    const std::size_t calls = Fake::NarrowToWideCalls().size();
    EXPECT_EQ(narrow.GetWideMessage(), L"abc");
    ASSERT_EQ(Fake::NarrowToWideCalls().size(), 2 * calls);
    EXPECT_EQ(Fake::NarrowToWideCalls()[0].codePage, 0u); // the ANSI code page
}

TEST(Exception, EmptyFailedAndThrowingConversionsGiveTheEmptyText)
{
    EXPECT_EQ(TestException(std::string()).GetWideMessage(), L"");
    EXPECT_STREQ(TestException(std::wstring()).what(), "");
    Fake::CodePages().narrowToWideOverride = [](std::size_t) { return 0; };
    EXPECT_EQ(TestException(std::string("abc")).GetWideMessage(), L"");

    const TestException failed(std::wstring(L"abc"));
    const TestException thrown(std::wstring(L"abc"));
    Fake::CodePages().wideToNarrowOverride = [](std::size_t) { return 0; };
    EXPECT_STREQ(failed.what(), "");
    Fake::CodePages().wideToNarrowOverride = [](std::size_t) -> std::optional<std::int32_t> {
        throw std::bad_alloc();
    };
    EXPECT_STREQ(thrown.what(), "");
    Fake::CodePages().wideToNarrowOverride = nullptr;
    EXPECT_STREQ(failed.what(), "") << "a failed conversion is cached";
    EXPECT_STREQ(thrown.what(), "abc") << "a thrown one is tried again";
}

TEST(Exception, CopiesShareTheTextAllocatingNothingAndThoseBeforeWhatConvertOnTheirOwn)
{
    const TestException original(std::wstring(L"text"));
    const TestException copy(original);
    const char* fromCopy = copy.what();
    EXPECT_NE(original.what(), fromCopy);
    EXPECT_STREQ(original.what(), fromCopy);

    const TestException narrow(std::string("narrow"));
    const Tolvane::Testing::AllocationScope scope;
    const TestException later(copy);
    const TestException narrowCopy(narrow);
    EXPECT_EQ(later.what(), fromCopy);
    EXPECT_EQ(narrowCopy.what(), narrow.what());
    EXPECT_EQ(scope.Count(), 0u);
}

// One exception object may be read from several threads at once (std::shared_future hands the
// same one to every waiting thread): all must see the same text at the same address.
TEST(Exception, ConcurrentWhatPublishesOneText)
{
    for (int round = 0; round < 20; ++round)
    {
        const TestException shared(std::wstring(L"shared"));
        const char* texts[8] = {};
        std::vector<std::thread> readers;
        for (const char*& text : texts)
        {
            readers.emplace_back([&shared, &text] { text = shared.what(); });
        }
        std::for_each(readers.begin(), readers.end(), [](std::thread& t) { t.join(); });
        EXPECT_STREQ(texts[0], "shared");
        EXPECT_EQ(std::count(texts, texts + 8, texts[0]), 8);
    }
}

} // namespace
