// Exceptions thrown inside the shared library are caught by type in the client.
#include <Tolvane/Exception.h>

#include <gtest/gtest.h>

namespace {

using Tolvane::Util::StringConversion::Detail::ThrowConvertStringException;

template <typename Handler>
std::string TextCaughtAs(const std::string& message)
{
    try
    {
        ThrowConvertStringException(message);
    }
    catch (const Handler& e)
    {
        return e.what();
    }
    catch (...)
    {
        return "(caught by the wrong handler)";
    }
    return "(nothing thrown)";
}

TEST(ExceptionBoundary, ThrownInTheLibraryCaughtAsEveryClass)
{
    EXPECT_EQ(TextCaughtAs<Tolvane::ConvertStringException>("abc"), "abc");
    EXPECT_EQ(TextCaughtAs<Tolvane::Exception>("abc"), "abc");
    EXPECT_EQ(TextCaughtAs<std::exception>("abc"), "abc");
    try
    {
        ThrowConvertStringException("Cannot convert 'x'.");
    }
    catch (const Tolvane::ConvertStringException& e)
    {
        EXPECT_EQ(e.GetWideMessage(), L"Cannot convert 'x'.");
        // A copy made in the client shares the text the library allocated.
        EXPECT_EQ(Tolvane::ConvertStringException(e).what(), e.what());
    }
}

TEST(ExceptionBoundary, WideMessageIsConvertedWithTheAnsiCodePage)
{
    class WideException : public Tolvane::Exception
    {
    public:
        using Exception::Exception;
    };
    const WideException e(std::wstring(L"caf\x00E9 \x4E2D"));
#if defined(_WIN32)
    // Wine's ANSI code page is 1252, which has no U+4E2D.
    EXPECT_STREQ(e.what(), "caf\xE9 ?");
#else
    EXPECT_STREQ(e.what(), "caf\xC3\xA9 \xE4\xB8\xAD");
#endif
}

} // namespace
