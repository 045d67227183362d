// The loader's exceptions: caught by the right handlers, wide messages kept wide, copies and
// rethrows keeping their text.
#include "FakeCodePages.h"
#include "FakeModules.h"
#include "FakeSystemInfo.h"

#include <Tolvane/Util/DllLoader.h>

#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <string>

namespace {

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
        Fake::Modules().modules["Library.dll"] = {};
    }
};

void LoadMissing()
{
    const DllLoader loader(std::string("Missing.dll"));
}

void LookUpMissing()
{
    const DllLoader loader(std::string("Library.dll"));
    loader.GetProcAddress("Gamma");
}

// The text of what `action` throws when `Handler` catches it; "-" when another handler does.
template <typename Handler>
std::string TextCaughtAs(const std::function<void()>& action)
{
    try
    {
        action();
    }
    catch (const Handler& e)
    {
        return e.what();
    }
    catch (...)
    {
        return "-";
    }
    return "(nothing thrown)";
}

TEST_F(DllLoaderExceptionTest, EachFailureIsCaughtAsItsBasesButNotAsItsSibling)
{
    const struct
    {
        void (*action)();
        const char* text;
        bool isLoad;
    } cases[] = {{&LoadMissing, "Cannot load DLL 'Missing.dll'.", true},
                 {&LookUpMissing, "Cannot find DLL export with name 'Gamma'.", false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TextCaughtAs<LoadDllException>(c.action), c.isLoad ? c.text : "-");
        EXPECT_EQ(TextCaughtAs<DllExportNotFoundException>(c.action), c.isLoad ? "-" : c.text);
        EXPECT_EQ(TextCaughtAs<DllLoaderException>(c.action), c.text);
        EXPECT_EQ(TextCaughtAs<Tolvane::Exception>(c.action), c.text);
        EXPECT_EQ(TextCaughtAs<std::exception>(c.action), c.text);
    }
}

TEST_F(DllLoaderExceptionTest, MessagesAreGivenInBothWidths)
{
    try
    {
        LoadMissing();
        ADD_FAILURE() << "loaded";
    }
    catch (const Tolvane::Exception& e)
    {
        EXPECT_EQ(e.GetWideMessage(), L"Cannot load DLL 'Missing.dll'.");
    }
    // U+4E2D is not in the fake's ANSI code page 1252: the narrow form has '?' in its place,
    // and reading it leaves the wide form as it was.
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
        LoadMissing();
    }
    catch (const LoadDllException& e)
    {
        const LoadDllException copy(e);
        EXPECT_EQ(copy.what(), e.what()) << "a copy shares the text";
        saved = std::make_exception_ptr(copy);
    }
    EXPECT_EQ(TextCaughtAs<LoadDllException>([&saved] { std::rethrow_exception(saved); }),
              "Cannot load DLL 'Missing.dll'.");
}

} // namespace
