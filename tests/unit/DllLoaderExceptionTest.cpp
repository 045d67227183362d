// The loader's exceptions: caught by the right handlers, wide messages kept wide, copies and
// rethrows keeping their text.
#include "FakeCodePages.h"
#include "FakeModules.h"
#include "FakeSystemInfo.h"

#include <Tolvane/Util/DllLoader.h>

#include <gtest/gtest.h>

#include <exception>
#include <string>

namespace
{

using Tolvane::Util::DllExportNotFoundException;
using Tolvane::Util::DllLoader;
using Tolvane::Util::DllLoaderException;
using Tolvane::Util::LoadDllException;
namespace Fake = Tolvane::Util::Os::Fake;

class DllLoaderExceptionTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Fake::ResetModules();
        Fake::ResetCodePages();
        Fake::ResetSystemInfo();
    }
};

void LoadMissingNarrow()
{
    const DllLoader loader(std::string("Missing.dll"));
}

// Which handler, tried from the most specific, catches a failed load.
std::string HandlerOfFailedLoad()
{
    try
    {
        LoadMissingNarrow();
    }
    catch (const DllExportNotFoundException&)
    {
        return "DllExportNotFoundException";
    }
    catch (const LoadDllException&)
    {
        return "LoadDllException";
    }
    return "nothing";
}

template <typename Handler>
std::string TextOfFailedLoadCaughtAs()
{
    try
    {
        LoadMissingNarrow();
    }
    catch (const Handler& e)
    {
        return e.what();
    }
    return "(nothing thrown)";
}

TEST_F(DllLoaderExceptionTest, FailedLoadIsCaughtAsEachBaseButNotAsTheSibling)
{
    const std::string text = "Cannot load DLL 'Missing.dll'.";
    EXPECT_EQ(HandlerOfFailedLoad(), "LoadDllException");
    EXPECT_EQ(TextOfFailedLoadCaughtAs<LoadDllException>(), text);
    EXPECT_EQ(TextOfFailedLoadCaughtAs<DllLoaderException>(), text);
    EXPECT_EQ(TextOfFailedLoadCaughtAs<Tolvane::Exception>(), text);
    EXPECT_EQ(TextOfFailedLoadCaughtAs<std::exception>(), text);
}

TEST_F(DllLoaderExceptionTest, NarrowMessageIsAlsoGivenWide)
{
    try
    {
        LoadMissingNarrow();
    }
    catch (const Tolvane::Exception& e)
    {
        EXPECT_EQ(e.GetWideMessage(), L"Cannot load DLL 'Missing.dll'.");
    }
}

TEST_F(DllLoaderExceptionTest, WideMessageStaysWideAndIsReadNarrowToo)
{
    // U+4E2D is not in the fake's ANSI code page 1252: the narrow form has '?' in its place.
    const std::wstring name = L"Missing\x4E2D.dll";
    try
    {
        const DllLoader loader(name);
        ADD_FAILURE() << "loaded";
    }
    catch (const LoadDllException& e)
    {
        EXPECT_EQ(e.GetWideMessage(), L"Cannot load DLL '" + name + L"'.");
        EXPECT_STREQ(e.what(), "Cannot load DLL 'Missing?.dll'.");
        EXPECT_EQ(e.GetWideMessage(), L"Cannot load DLL '" + name + L"'.");
    }
}

TEST_F(DllLoaderExceptionTest, CopiedAndRethrownKeepsItsMessage)
{
    std::exception_ptr saved;
    try
    {
        try
        {
            LoadMissingNarrow();
        }
        catch (const LoadDllException& e)
        {
            const LoadDllException copy(e);
            EXPECT_EQ(copy.what(), e.what()) << "a copy shares the text";
            throw copy;
        }
    }
    catch (const DllLoaderException&)
    {
        saved = std::current_exception();
    }
    ASSERT_TRUE(saved);
    try
    {
        std::rethrow_exception(saved);
    }
    catch (const LoadDllException& e)
    {
        EXPECT_STREQ(e.what(), "Cannot load DLL 'Missing.dll'.");
    }
}

} // namespace
