// Loading by wide name: through kernel32's LoadLibraryExW when it has one, else through the
// ANSI name; kernel32's reference is given back on every path.
#include "FakeCodePages.h"
#include "FakeModules.h"
#include "FakeSystemInfo.h"

#include <Tolvane/Util/DllLoader.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using Tolvane::ConvertStringException;
using Tolvane::Util::DllLoader;
using Tolvane::Util::LoadDllException;
namespace Fake = Tolvane::Util::Os::Fake;

class WideNameLoadTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Fake::ResetModules();
        Fake::ResetCodePages();
        Fake::ResetSystemInfo();
        Fake::Modules().modules["Library.dll"] = {};
        Fake::Modules().modules["Wide.dll"] = {};
        Fake::Modules().wideNames[L"Wide\x4E2D.dll"] = "Wide.dll";
        Fake::Modules().wideNames[L"Library.dll"] = "Library.dll";
    }

    static void RemoveWideLoader()
    {
        Fake::Modules().modules[Fake::Kernel32Name].exportsByName.erase("LoadLibraryExW");
    }

    static void ExpectKernel32Balanced(int loads)
    {
        EXPECT_EQ(Fake::Counts(Fake::Kernel32Name).loads, loads);
        EXPECT_EQ(Fake::Counts(Fake::Kernel32Name).frees, loads);
        EXPECT_EQ(Fake::InvalidFrees(), 0);
    }

    // The wide message of the LoadDllException that loading `name` throws.
    static std::wstring FailedLoadMessage(const std::wstring& name)
    {
        try
        {
            const DllLoader loader(name);
            ADD_FAILURE() << "loaded";
        }
        catch (const LoadDllException& e)
        {
            return e.GetWideMessage();
        }
        return L"";
    }

    // The names that reached LoadLibraryExA, kernel32's included.
    static std::vector<std::string> NarrowLoads()
    {
        std::vector<std::string> names;
        for (const Fake::LoadCall& call : Fake::LoadLibraryExACalls())
        {
            names.push_back(call.name);
        }
        return names;
    }
};

TEST_F(WideNameLoadTest, WideLoaderGetsTheNameAndFlagsUnchanged)
{
    {
        const DllLoader loader(std::wstring(L"Wide\x4E2D.dll"), 0x10);
        ASSERT_EQ(Fake::LoadLibraryExWCalls().size(), 1U);
        EXPECT_EQ(Fake::LoadLibraryExWCalls()[0].name, L"Wide\x4E2D.dll");
        EXPECT_FALSE(Fake::LoadLibraryExWCalls()[0].fileGiven);
        EXPECT_EQ(Fake::LoadLibraryExWCalls()[0].flags, 0x10U);
        // kernel32 is loaded with flags 0, and nothing is converted.
        ASSERT_EQ(NarrowLoads(), std::vector<std::string>{Fake::Kernel32Name});
        EXPECT_EQ(Fake::LoadLibraryExACalls()[0].flags, 0U);
        EXPECT_TRUE(Fake::WideToNarrowCalls().empty());
        // Given back before the constructor returned.
        ExpectKernel32Balanced(1);
        EXPECT_EQ(Fake::Counts("Wide.dll").References(), 1);
        // Every wide load takes and gives back its own kernel32 reference, and an ASCII wide
        // name loads what the narrow name loads.
        const DllLoader second(std::wstring(L"Wide\x4E2D.dll"));
        const DllLoader wide(std::wstring(L"Library.dll"));
        const DllLoader narrow(std::string("Library.dll"));
        ExpectKernel32Balanced(3);
        EXPECT_EQ(Fake::Counts("Wide.dll").References(), 2);
        EXPECT_EQ(Fake::Counts("Library.dll").References(), 2);
    }
    EXPECT_EQ(Fake::Counts("Wide.dll").frees, 2);
}

TEST_F(WideNameLoadTest, RefusedWideLoadThrowsTheWideMessageWithoutTryingTheAnsiName)
{
    Fake::Modules().modules["Missing?.dll"] = {};
    EXPECT_EQ(FailedLoadMessage(L"Missing\x4E2D.dll"), L"Cannot load DLL 'Missing\x4E2D.dll'.");
    EXPECT_EQ(NarrowLoads(), std::vector<std::string>{Fake::Kernel32Name});
    ExpectKernel32Balanced(1);
}

TEST_F(WideNameLoadTest, WithoutWideLoaderTheAnsiNameIsLoaded)
{
    RemoveWideLoader();
    Fake::Modules().modules["caf\xE9.dll"] = {};
    {
        const DllLoader loader(std::wstring(L"caf\x00E9.dll"), 0x8);
        EXPECT_TRUE(Fake::LoadLibraryExWCalls().empty());
        EXPECT_EQ(NarrowLoads(), (std::vector<std::string>{Fake::Kernel32Name, "caf\xE9.dll"}));
        EXPECT_EQ(Fake::LoadLibraryExACalls()[1].flags, 0x8U);
        EXPECT_EQ(Fake::Counts("caf\xE9.dll").References(), 1);
        ExpectKernel32Balanced(1);
    }
    EXPECT_EQ(Fake::Counts("caf\xE9.dll").frees, 1);
}

TEST_F(WideNameLoadTest, AnsiPathForbidsBestFitAndReportsTheWideName)
{
    // U+0100 would best-fit to 'A' and U+4E2D has no counterpart: both become the code page's
    // default character, so neither the look-alike library nor the caller's name is loaded.
    for (const std::wstring& name : {std::wstring(L"\x0100.dll"), std::wstring(L"\x4E2D.dll")})
    {
        Fake::ResetModules();
        RemoveWideLoader();
        Fake::Modules().modules["A.dll"] = {};
        EXPECT_EQ(FailedLoadMessage(name), L"Cannot load DLL '" + name + L"'.");
        EXPECT_EQ(NarrowLoads(), (std::vector<std::string>{Fake::Kernel32Name, "?.dll"}));
        ExpectKernel32Balanced(1);
    }
}

TEST_F(WideNameLoadTest, AnsiPathConversionFailureThrowsConvertStringException)
{
    const auto runOld = [] { Fake::SystemInfo().version = Fake::MakeVersion(1, 4, 0); };
    const auto failConverter = [] {
        Fake::CodePages().wideToNarrowOverride = [](std::size_t) { return std::int32_t{0}; };
    };
    // A system that cannot forbid best fit, where U+0100 does not survive the round trip; and a
    // converter that fails outright.
    const struct
    {
        void (*script)();
        const wchar_t* name;
    } cases[] = {{+runOld, L"\x0100.dll"}, {+failConverter, L"plain.dll"}};
    for (const auto& c : cases)
    {
        Fake::ResetModules();
        Fake::ResetCodePages();
        Fake::ResetSystemInfo();
        RemoveWideLoader();
        Fake::Modules().modules["plain.dll"] = {};
        c.script();
        try
        {
            const DllLoader loader{std::wstring(c.name)};
            ADD_FAILURE() << "loaded";
        }
        catch (const ConvertStringException& e)
        {
            EXPECT_EQ(std::string(e.what()).rfind("String conversion from (", 0), 0U) << e.what();
        }
        EXPECT_EQ(NarrowLoads(), std::vector<std::string>{Fake::Kernel32Name});
        ExpectKernel32Balanced(1);
    }
}

TEST_F(WideNameLoadTest, Kernel32ThatDoesNotLoadThrowsItsNarrowMessage)
{
    Fake::Modules().modules.erase(Fake::Kernel32Name);
    try
    {
        const DllLoader loader(std::wstring(L"Wide\x4E2D.dll"));
        ADD_FAILURE() << "loaded";
    }
    catch (const LoadDllException& e)
    {
        EXPECT_STREQ(e.what(), "Cannot load DLL 'KERNEL32.DLL'.");
    }
    EXPECT_TRUE(Fake::LoadLibraryExWCalls().empty());
    EXPECT_TRUE(Fake::WideToNarrowCalls().empty());
    EXPECT_EQ(Fake::InvalidFrees(), 0);
}

} // namespace
