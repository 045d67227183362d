// Loading by wide name: through kernel32's LoadLibraryExW when it has one, else through the
// ANSI name; kernel32's reference is given back on every path.
#include "FakeCodePages.h"
#include "FakeModules.h"
#include "support/Messages.h"

#include <Tolvane/Util/DllLoader.h>

#include <gtest/gtest.h>

namespace {

using Tolvane::Testing::MessageOf;
using Tolvane::Util::DllLoader;
using Tolvane::Util::LoadDllException;
namespace Fake = Tolvane::Util::Os::Fake;
using Calls = std::vector<std::wstring>;

TEST(WideNameLoad, TakesKernel32sWideLoaderWhereItExistsElseTheAnsiName)
{
    Fake::Modules().wideNames[L"Wide\x4E2D.dll"] = "B.dll";
    Fake::Modules().modules["caf\xE9.dll"] = {};
    const struct
    {
        bool wideLoader;
        const wchar_t* name;
        const wchar_t* load;
        const wchar_t* loaded; // null when the load fails
    } cases[] = {
        {true, L"Wide\x4E2D.dll", L"LoadLibraryExW Wide\x4E2D.dll 16", L"B.dll"},
        // A refusal of the wide loader is final.
        {true, L"Missing\x4E2D.dll", L"LoadLibraryExW Missing\x4E2D.dll 16", nullptr},
        {false, L"caf\xE9.dll", L"LoadLibraryExA caf\xE9.dll 16", L"caf\xE9.dll"},
        // U+0100 would best-fit to 'A', U+4E2D has no counterpart: both become the default
        // character, so that no look-alike library is loaded.
        {false, L"\x0100.dll", L"LoadLibraryExA ?.dll 16", nullptr},
        {false, L"\x4E2D.dll", L"LoadLibraryExA ?.dll 16", nullptr},
    };
    for (const auto& c : cases)
    {
        if (!c.wideLoader)
        {
            Fake::Modules().modules[Fake::Kernel32Name].clear();
        }
        const auto before = static_cast<std::ptrdiff_t>(Fake::ModuleCalls().size());
        const std::wstring name(c.name);
        // The message names the caller's wide name, never the converted one.
        EXPECT_EQ((MessageOf<LoadDllException, std::wstring>([&] {
                      DllLoader{name, 16};
                  })),
                  c.loaded ? L"(nothing thrown)" : L"Cannot load DLL '" + name + L"'.");
        Calls expected = {L"LoadLibraryExA KERNEL32.DLL 0",
                          L"GetProcAddress KERNEL32.DLL LoadLibraryExW", c.load,
                          L"FreeLibrary KERNEL32.DLL"};
        if (c.loaded)
        {
            expected.push_back(L"FreeLibrary " + std::wstring(c.loaded));
        }
        EXPECT_EQ(Calls(Fake::ModuleCalls().begin() + before, Fake::ModuleCalls().end()), expected);
    }
}

TEST(WideNameLoad, FailedConversionOrKernel32StopsBeforeAnyLoad)
{
    Fake::Modules().modules[Fake::Kernel32Name].clear();
    Fake::CodePages().wideToNarrowOverride = [](std::size_t) { return std::int32_t{0}; };
    EXPECT_THROW(DllLoader{std::wstring(L"A.dll")}, Tolvane::ConvertStringException);
    Fake::Modules().modules.erase(Fake::Kernel32Name);
    EXPECT_EQ(MessageOf<LoadDllException>([] { DllLoader{std::wstring(L"A.dll")}; }),
              "Cannot load DLL 'KERNEL32.DLL'.");
    EXPECT_EQ(
        Fake::ModuleCalls(),
        (Calls{L"LoadLibraryExA KERNEL32.DLL 0", L"GetProcAddress KERNEL32.DLL LoadLibraryExW",
               L"FreeLibrary KERNEL32.DLL", L"LoadLibraryExA KERNEL32.DLL 0"}));
}

} // namespace
