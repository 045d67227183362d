// The two-pass platform conversions: call sequence, buffer choice, and distrust of the platform.
#include "strings/PlatformConversion.h"
#include "FakeCodePages.h"
#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <utility>

namespace {

using namespace Tolvane::Util::StringConversion;
namespace Fake = Tolvane::Util::Os::Fake;
using Tolvane::Testing::AllocationScope;

class PlatformConversion : public testing::Test
{
protected:
    void SetUp() override { Fake::ResetCodePages(); }
};

TEST_F(PlatformConversion, WideToNarrowSizesThenConvertsWithExactlyThatSize)
{
    std::string out = "old";
    std::int32_t used = 7;
    const char defaultChar[] = "#";
    ASSERT_TRUE(ConvertWithWideCharToMultiByte(1252, 0x620, L"a\x0100z", out, defaultChar, &used));
    EXPECT_EQ(out, "a#z");
    EXPECT_EQ(used, 1);

    const auto& calls = Fake::WideToNarrowCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_FALSE(calls[0].bufferGiven);
    EXPECT_EQ(calls[0].bufferSize, 0);
    EXPECT_TRUE(calls[1].bufferGiven);
    EXPECT_EQ(calls[1].bufferSize, 3);
    for (const auto& call : calls)
    {
        EXPECT_EQ(call.codePage, 1252u);
        EXPECT_EQ(call.flags, 0x620u);
        EXPECT_EQ(call.source, L"a\x0100z");
        EXPECT_EQ(call.defaultChar, std::optional<std::string>("#"));
        EXPECT_TRUE(call.usedDefaultGiven);
    }
    // The flag is cleared before each call: exact text leaves it 0.
    ASSERT_TRUE(ConvertWithWideCharToMultiByte(1252, 0x220, L"abc", out, "?", &used));
    EXPECT_EQ(used, 0);
}

TEST_F(PlatformConversion, EmptySourceMakesNoCallAndLeavesUsedDefaultAlone)
{
    std::string narrow = "old";
    std::int32_t used = 5;
    EXPECT_TRUE(ConvertWithWideCharToMultiByte(1252, 0x220, L"", narrow, "?", &used));
    EXPECT_EQ(narrow, "");
    EXPECT_EQ(used, 5);

    std::wstring wide = L"old";
    EXPECT_TRUE(ConvertWithMultiByteToWideChar(1252, 1, "", wide));
    EXPECT_EQ(wide, L"");
    EXPECT_TRUE(Fake::WideToNarrowCalls().empty());
    EXPECT_TRUE(Fake::NarrowToWideCalls().empty());
}

TEST_F(PlatformConversion, NarrowToWideSizesThenConverts)
{
    std::wstring out;
    ASSERT_TRUE(ConvertWithMultiByteToWideChar(1252, 1, "x\x80y", out));
    EXPECT_EQ(out, L"x\x20ACy");
    const auto& calls = Fake::NarrowToWideCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_FALSE(calls[0].bufferGiven);
    EXPECT_EQ(calls[0].bufferSize, 0);
    EXPECT_TRUE(calls[1].bufferGiven);
    EXPECT_EQ(calls[1].bufferSize, 3);
    EXPECT_EQ(calls[1].flags, 1u);
    EXPECT_EQ(calls[1].source, "x\x80y");
}

// The platform's answers are not trusted: a sizing failure, a failing second call, and a
// second count outside 1..n all give false and leave the output as it was.
TEST_F(PlatformConversion, BadPlatformAnswersGiveFalseAndLeaveTheOutput)
{
    using Answer = std::optional<std::int32_t>;
    const std::pair<Answer, Answer> answers[] = {// sizing, converting
                                                 {0, std::nullopt},
                                                 {-1, std::nullopt},
                                                 {std::nullopt, 0},
                                                 {std::nullopt, -5},
                                                 {std::nullopt, 4}};
    for (const auto& [sizing, converting] : answers)
    {
        SCOPED_TRACE(testing::Message() << sizing.value_or(99) << " " << converting.value_or(99));
        const auto script = [sizing = sizing, converting = converting](std::size_t call) {
            return call == 0 ? sizing : converting;
        };
        Fake::ResetCodePages();
        Fake::CodePages().wideToNarrowOverride = script;
        Fake::CodePages().narrowToWideOverride = script;
        std::string narrow = "untouched";
        EXPECT_FALSE(ConvertWithWideCharToMultiByte(1252, 0x220, L"abc", narrow, nullptr, nullptr));
        EXPECT_EQ(narrow, "untouched");
        std::wstring wide = L"untouched";
        EXPECT_FALSE(ConvertWithMultiByteToWideChar(1252, 1, "abc", wide));
        EXPECT_EQ(wide, L"untouched");
    }
}

TEST_F(PlatformConversion, ShorterSecondCountIsTaken)
{
    Fake::CodePages().wideToNarrowOverride = [](std::size_t call) {
        return call == 0 ? std::optional<std::int32_t>(10) : std::nullopt;
    };
    std::string out;
    ASSERT_TRUE(ConvertWithWideCharToMultiByte(1252, 0x220, L"abc", out, nullptr, nullptr));
    EXPECT_EQ(out, "abc");
}

TEST_F(PlatformConversion, EmbeddedNulUnitsConvertWhole)
{
    std::string narrow;
    ASSERT_TRUE(ConvertWithWideCharToMultiByte(1252, 0x220, std::wstring(L"a\0b", 3), narrow,
                                               nullptr, nullptr));
    EXPECT_EQ(narrow, std::string("a\0b", 3));
    std::wstring wide;
    ASSERT_TRUE(ConvertWithMultiByteToWideChar(1252, 1, std::string("\0\0", 2), wide));
    EXPECT_EQ(wide, std::wstring(L"\0\0", 2));
}

// Output up to the local buffer's size needs no heap block; one unit more needs exactly one,
// which becomes the destination, so a fresh destination costs no more than a roomy one. The
// fake's own allocations depend only on the length, so the differences count the conversion's.
template <typename Out, typename In, typename Converter>
std::size_t AllocationsFor(std::size_t length, std::size_t reserved, Converter convert)
{
    const In source(length, 'x');
    Out out;
    out.reserve(reserved);
    AllocationScope scope;
    EXPECT_TRUE(convert(source, out));
    EXPECT_EQ(out, Out(length, 'x'));
    return scope.Count();
}

TEST_F(PlatformConversion, LocalBuffersHold128BytesAnd64Units)
{
#if defined(_WIN32)
    // A Windows program's replacement operator new does not reach the C++ runtime DLL, which
    // allocates the result string's storage itself.
    GTEST_SKIP() << "allocation counting needs a single operator new (Linux)";
#endif
    Fake::CodePages().recordTexts = false;
    const auto toNarrow = [](std::size_t length, std::size_t reserved = 256) {
        return AllocationsFor<std::string, std::wstring>(
            length, reserved, [](const std::wstring& in, std::string& out) {
                return ConvertWithWideCharToMultiByte(1252, 0x220, in, out, nullptr, nullptr);
            });
    };
    const auto toWide = [](std::size_t length, std::size_t reserved = 256) {
        return AllocationsFor<std::wstring, std::string>(
            length, reserved, [](const std::string& in, std::wstring& out) {
                return ConvertWithMultiByteToWideChar(1252, 1, in, out);
            });
    };
    EXPECT_EQ(toNarrow(128), toNarrow(127));
    EXPECT_EQ(toNarrow(129), toNarrow(128) + 1);
    EXPECT_EQ(toNarrow(1000, 0), toNarrow(1000, 2048));
    EXPECT_EQ(toWide(64), toWide(63));
    EXPECT_EQ(toWide(65), toWide(64) + 1);
    EXPECT_EQ(toWide(1000, 0), toWide(1000, 2048));
}

// A source longer than the platform's int length fails instead of being cut short. Only a
// 64-bit build can hold such a string; the narrow one costs 2 GiB for a moment.
TEST_F(PlatformConversion, SourceBeyondIntLengthFails)
{
    if (sizeof(std::size_t) < 8)
    {
        GTEST_SKIP() << "a 32-bit build cannot hold a string that long";
    }
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "2 GiB under a sanitizer's shadow memory is too much";
#endif
    const std::size_t length =
        static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) + 1;
    std::string huge;
    try
    {
        huge.assign(length, 'x');
    }
    catch (const std::bad_alloc&)
    {
        GTEST_SKIP() << "not enough memory for the test";
    }
    std::wstring out = L"untouched";
    EXPECT_FALSE(ConvertWithMultiByteToWideChar(1252, 1, huge, out));
    EXPECT_EQ(out, L"untouched");
    EXPECT_TRUE(Fake::NarrowToWideCalls().empty());
}

} // namespace
