// The exception root: message forms, the cached narrow text, copies, and concurrent what().
#include "FakeCodePages.h"
#include "support/AllocationCounter.h"

#include <Tolvane/Exception.h>

#include <gtest/gtest.h>

#include <future>
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

TEST(Exception, NarrowMessageIsKeptAndConvertedAnewForEachWideRead)
{
    const TestException e(std::string("abc"));
    const char* first = e.what();
    EXPECT_STREQ(first, "abc");
    EXPECT_EQ(e.what(), first);
    EXPECT_EQ(e.GetWideMessage(), L"abc");
    const std::size_t calls = Fake::NarrowToWideCalls().size();
    EXPECT_EQ(e.GetWideMessage(), L"abc");
    ASSERT_EQ(Fake::NarrowToWideCalls().size(), 2 * calls);
    EXPECT_EQ(Fake::NarrowToWideCalls()[0].codePage, 0u); // the ANSI code page
    EXPECT_TRUE(Fake::WideToNarrowCalls().empty());
}

TEST(Exception, WideMessageIsConvertedOnceWithBestFitAndQuestionMarks)
{
    const TestException e(std::wstring(L"a\x0100\x4E2D"));
    const char* first = e.what();
    EXPECT_STREQ(first, "aA?");
    EXPECT_EQ(e.what(), first);
    EXPECT_EQ(e.GetWideMessage(), L"a\x0100\x4E2D");
    EXPECT_EQ(Fake::WideToNarrowCalls().size(), 2u) << "the size, then the text, once";
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
    const char* fromOriginal = original.what();
    const char* fromCopy = copy.what();
    EXPECT_NE(fromOriginal, fromCopy);
    EXPECT_STREQ(fromOriginal, fromCopy);

    const TestException narrow(std::string("narrow"));
    const Tolvane::Testing::AllocationScope scope;
    const TestException later(copy);
    const TestException narrowCopy(narrow);
    EXPECT_EQ(later.what(), fromCopy);
    EXPECT_EQ(narrowCopy.what(), narrow.what());
    EXPECT_EQ(scope.Count(), 0u);
}

// std::shared_future hands one exception object to every waiting thread, so what() runs on it
// from several threads at once; all must see the same text at the same address.
TEST(Exception, ConcurrentWhatPublishesOneText)
{
    for (int round = 0; round < 20; ++round)
    {
        std::promise<void> promise;
        const std::shared_future<void> future = promise.get_future().share();
        std::vector<std::future<const char*>> readers;
        for (int t = 0; t < 8; ++t)
        {
            readers.push_back(std::async(std::launch::async, [future]() -> const char* {
                try
                {
                    future.get();
                }
                catch (const std::exception& e)
                {
                    return e.what();
                }
                return nullptr;
            }));
        }
        promise.set_exception(std::make_exception_ptr(TestException(std::wstring(L"shared"))));
        const char* first = readers[0].get();
        ASSERT_STREQ(first, "shared");
        for (std::size_t t = 1; t < readers.size(); ++t)
        {
            EXPECT_EQ(readers[t].get(), first);
        }
    }
}

} // namespace
