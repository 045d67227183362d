// The exception root: message forms, the cached narrow text, copies, and concurrent what().
#include "FakeCodePages.h"
#include "support/AllocationCounter.h"

#include <Tolvane/Exception.h>

#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <vector>

namespace {

using Tolvane::Exception;
namespace Fake = Tolvane::Util::Os::Fake;
using Tolvane::Testing::AllocationScope;

// The library throws only subclasses; a minimal one exposes both constructors.
class TestException : public Exception
{
public:
    using Exception::Exception;
};

// The text of the exception a future holds, read on the calling thread.
const char* WhatOf(const std::shared_future<void>& future)
{
    try
    {
        future.get();
    }
    catch (const std::exception& e)
    {
        return e.what();
    }
    return nullptr;
}

class ExceptionTest : public testing::Test
{
protected:
    void SetUp() override { Fake::ResetCodePages(); }
};

TEST_F(ExceptionTest, NarrowMessageIsReturnedAsIsAndConvertedAnewForWide)
{
    const TestException e(std::string("abc"));
    const char* first = e.what();
    EXPECT_STREQ(first, "abc");
    EXPECT_EQ(e.what(), first);
    EXPECT_TRUE(Fake::NarrowToWideCalls().empty());

    EXPECT_EQ(e.GetWideMessage(), L"abc");
    const std::size_t callsAfterOne = Fake::NarrowToWideCalls().size();
    EXPECT_EQ(e.GetWideMessage(), L"abc");
    EXPECT_EQ(Fake::NarrowToWideCalls().size(), 2 * callsAfterOne);
    EXPECT_EQ(Fake::NarrowToWideCalls().front().codePage, 0u); // the ANSI code page
}

TEST_F(ExceptionTest, WideMessageIsConvertedOnceWithBestFitAndQuestionMarks)
{
    const TestException e(std::wstring(L"a\x0100\x4E2D"));
    EXPECT_STREQ(e.what(), "aA?");
    const std::size_t calls = Fake::WideToNarrowCalls().size();
    EXPECT_STREQ(e.what(), "aA?");
    EXPECT_EQ(Fake::WideToNarrowCalls().size(), calls);
    EXPECT_EQ(e.GetWideMessage(), L"a\x0100\x4E2D");

    const auto& call = Fake::WideToNarrowCalls().front();
    EXPECT_EQ(call.codePage, 0u);
    EXPECT_EQ(call.flags, 0x220u);
    EXPECT_EQ(call.defaultChar, std::optional<std::string>("?"));
}

TEST_F(ExceptionTest, EmptyAndFailedConversionsCacheTheEmptyText)
{
    EXPECT_EQ(TestException(std::string()).GetWideMessage(), L"");
    const TestException empty{std::wstring()};
    const char* text = empty.what();
    EXPECT_STREQ(text, "");
    EXPECT_EQ(empty.what(), text);

    Fake::CodePages().wideToNarrowOverride = [](std::size_t) { return 0; };
    const TestException e(std::wstring(L"abc"));
    EXPECT_STREQ(e.what(), "");
    const std::size_t calls = Fake::WideToNarrowCalls().size();
    EXPECT_STREQ(e.what(), "");
    EXPECT_EQ(Fake::WideToNarrowCalls().size(), calls) << "a failure is not retried";

    Fake::CodePages().narrowToWideOverride = [](std::size_t) { return 0; };
    EXPECT_EQ(TestException(std::string("abc")).GetWideMessage(), L"");
}

TEST_F(ExceptionTest, ThrowingConversionIsSwallowedAndRetried)
{
    const TestException e(std::wstring(L"abc"));
    Fake::CodePages().wideToNarrowOverride = [](std::size_t) -> std::optional<std::int32_t> {
        throw std::bad_alloc();
    };
    EXPECT_STREQ(e.what(), "");
    Fake::CodePages().wideToNarrowOverride = nullptr;
    EXPECT_STREQ(e.what(), "abc");
}

TEST_F(ExceptionTest, CopiesBeforeTheFirstWhatConvertOnTheirOwn)
{
    const TestException original(std::wstring(L"text"));
    const TestException copy(original);
    const char* fromOriginal = original.what();
    const char* fromCopy = copy.what();
    EXPECT_NE(fromOriginal, fromCopy);
    EXPECT_STREQ(fromOriginal, fromCopy);

    const TestException later(copy);
    EXPECT_EQ(later.what(), fromCopy);
    EXPECT_EQ(later.GetWideMessage(), L"text");
}

TEST_F(ExceptionTest, CopyingAllocatesNothing)
{
    const TestException narrow(std::string("narrow"));
    const TestException wide(std::wstring(L"wide"));
    const TestException converted(std::wstring(L"converted"));
    converted.what();
    AllocationScope scope;
    {
        const TestException a(narrow);
        const TestException b(wide);
        const TestException c(converted);
        EXPECT_EQ(c.what(), converted.what());
    }
    EXPECT_EQ(scope.Count(), 0u);
}

// std::shared_future hands one exception object to every waiting thread, so what() runs on it
// from several threads at once; all must see the same text at the same address.
TEST_F(ExceptionTest, ConcurrentWhatPublishesOneText)
{
    constexpr int kRounds = 20;
    constexpr std::size_t kThreads = 8;
    for (int round = 0; round < kRounds; ++round)
    {
        std::promise<void> promise;
        std::shared_future<void> future = promise.get_future().share();
        std::vector<std::future<const char*>> readers;
        for (std::size_t t = 0; t < kThreads; ++t)
        {
            readers.push_back(std::async(std::launch::async, [future] { return WhatOf(future); }));
        }
        promise.set_exception(std::make_exception_ptr(TestException(std::wstring(L"shared"))));
        const char* first = readers[0].get();
        ASSERT_NE(first, nullptr);
        EXPECT_STREQ(first, "shared");
        for (std::size_t t = 1; t < kThreads; ++t)
        {
            EXPECT_EQ(readers[t].get(), first);
        }
    }
}

} // namespace
