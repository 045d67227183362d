// The two-pass platform conversions: call sequence, buffer choice, and distrust of the platform.
#include "strings/PlatformConversion.h"
#include "FakeCodePages.h"
#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <type_traits>
#include <utility>

namespace {

using namespace Tolvane::Util::StringConversion;
namespace Fake = Tolvane::Util::Os::Fake;

// Each direction sizes with no buffer and converts with that room (the fake refuses any less),
// passing the caller's arguments (the conversions' tests check them all); the used-default flag is
// cleared before each call, and an empty source makes no call and leaves the flag alone.
TEST(PlatformConversion, SizesThenConvertsWithTheCallersArguments)
{
    std::string narrow = "old";
    std::int32_t used = 7;
    ASSERT_TRUE(ConvertWithWideCharToMultiByte(1252, 0x620, std::wstring(L"a\0\x0100", 3), narrow,
                                               "#", &used));
    EXPECT_EQ(std::make_tuple(narrow, used), std::make_tuple(std::string("a\0#", 3), 1));
    std::wstring wide = L"old";
    ASSERT_TRUE(ConvertWithMultiByteToWideChar(437, 1, std::string("x\0\xE9", 3), wide));
    EXPECT_EQ(wide, std::wstring(L"x\0\x00E9", 3));
    EXPECT_EQ(Fake::NarrowToWideCalls().at(1).codePage, 437u);
    ASSERT_TRUE(ConvertWithWideCharToMultiByte(1252, 0x220, L"abc", narrow, "?", &used));
    EXPECT_EQ(used, 0);
    used = 5;
    EXPECT_TRUE(ConvertWithWideCharToMultiByte(1252, 0x220, L"", narrow, "?", &used));
    EXPECT_TRUE(ConvertWithMultiByteToWideChar(1252, 1, "", wide));
    EXPECT_EQ(std::tie(used, narrow, wide), std::make_tuple(5, "", L""));
    EXPECT_EQ(Fake::WideToNarrowCalls().size() + Fake::NarrowToWideCalls().size(), 6u);
}

// The platform's answers are not trusted: a sizing failure, a failing second call, and a
// second count outside 1..n give false and leave the output as it was; a shorter second count
// is taken, whichever buffer the sizing chose.
TEST(PlatformConversion, BadPlatformAnswersGiveFalseAndLeaveTheOutput)
{
    using Answer = std::optional<std::int32_t>;
    const std::pair<Answer, Answer> answers[] = {
        {0, std::nullopt}, {-1, std::nullopt}, {std::nullopt, 0},  {std::nullopt, -5},
        {std::nullopt, 4}, {10, std::nullopt}, {200, std::nullopt}};
    for (const auto& [sizing, converting] : answers)
    {
        SCOPED_TRACE(testing::Message() << sizing.value_or(99) << " " << converting.value_or(99));
        const auto script = [sizing = sizing, converting = converting](std::size_t call) {
            return call == 0 ? sizing : converting;
        };
        Fake::ResetCodePages();
        Fake::CodePages().wideToNarrowOverride = script;
        Fake::CodePages().narrowToWideOverride = script;
        const bool ok = sizing.value_or(0) >= 3;
        std::string narrow = "untouched";
        EXPECT_EQ(ConvertWithWideCharToMultiByte(1252, 0x220, L"abc", narrow, nullptr, nullptr),
                  ok);
        EXPECT_EQ(narrow, ok ? "abc" : "untouched");
        std::wstring wide = L"untouched";
        EXPECT_EQ(ConvertWithMultiByteToWideChar(1252, 1, "abc", wide), ok);
        EXPECT_EQ(wide, ok ? L"abc" : L"untouched");
    }
}

// The heap blocks one conversion of `length` units into a destination with `room` takes.
template <typename Unit>
std::size_t AllocationsFor(std::size_t length, std::size_t room)
{
    const std::basic_string<std::conditional_t<sizeof(Unit) == 1, wchar_t, char>> in(length, 'x');
    std::basic_string<Unit> out;
    out.reserve(room);
    const Tolvane::Testing::AllocationScope scope;
    if constexpr (sizeof(Unit) == 1)
        EXPECT_TRUE(ConvertWithWideCharToMultiByte(1252, 0x220, in, out, nullptr, nullptr));
    else
        EXPECT_TRUE(ConvertWithMultiByteToWideChar(1252, 1, in, out));
    const std::size_t count = scope.Count();
    EXPECT_EQ(out, std::basic_string<Unit>(length, 'x'));
    return count;
}

// Output up to the local buffer's size needs no heap block; one unit more needs exactly one,
// which becomes the destination, so a fresh destination costs no more than a roomy one.
TEST(PlatformConversion, LocalBuffersHold128BytesAnd64Units)
{
#if defined(_WIN32)
    // A Windows program's replacement operator new does not reach the C++ runtime DLL, which
    // allocates the result string's storage itself.
    GTEST_SKIP() << "allocation counting needs a single operator new (Linux)";
#endif
    EXPECT_EQ(AllocationsFor<char>(128, 256), 0u);
    EXPECT_EQ(AllocationsFor<char>(129, 256), 1u);
    EXPECT_EQ(AllocationsFor<char>(1000, 0), 1u);
    EXPECT_EQ(AllocationsFor<wchar_t>(64, 256), 0u);
    EXPECT_EQ(AllocationsFor<wchar_t>(65, 256), 1u);
    EXPECT_EQ(AllocationsFor<wchar_t>(1000, 0), 1u);
}

// A source longer than the platform's int length fails instead of being cut short. Only a
// 64-bit build can hold such a string; it costs 2 GiB for a moment.
TEST(PlatformConversion, SourceBeyondIntLengthFails)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "2 GiB under a sanitizer's shadow memory is too much";
#endif
    std::string huge;
    try
    {
        huge.assign(static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) + 1, 'x');
    }
    catch (const std::exception&)
    {
        GTEST_SKIP() << "no room for a string that long";
    }
    std::wstring out = L"untouched";
    EXPECT_FALSE(ConvertWithMultiByteToWideChar(1252, 1, huge, out));
    EXPECT_EQ(out, L"untouched");
    EXPECT_TRUE(Fake::NarrowToWideCalls().empty());
}

} // namespace
