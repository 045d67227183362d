// DllLoader on the fake backend: one load shared by its copies and freed by the last, the export
// lookups and their messages, names that do not load, and loads by wide name.
#include "FakeCodePages.h"
#include "FakeModules.h"
#include "support/AllocationCounter.h"
#include "support/Messages.h"

#include <Tolvane/Util/DllLoader.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <type_traits>

namespace {

using namespace Tolvane::Util;
using Tolvane::Testing::MessageOf;
namespace Fake = Os::Fake;
using Calls = std::vector<std::wstring>;

static_assert(std::is_base_of_v<DllLoaderException, LoadDllException> &&
              std::is_base_of_v<DllLoaderException, DllExportNotFoundException> &&
              std::is_base_of_v<Tolvane::Exception, DllLoaderException>);

TEST(DllLoader, CopiesShareOneLoadThatTheLastHolderFrees)
{
    std::optional<DllLoader> original(std::in_place, std::string("A.dll"), 0xFFFFFFFFU);
    const DllLoader b(std::string("B.dll"));
    DllLoader copy(*original);
    DllLoader& self = copy;
    copy = self;
    original.reset();
    EXPECT_EQ(Fake::Modules().references["A.dll"], 1);
    copy = b;
    EXPECT_EQ(copy.GetProcAddressNoThrow("x"), nullptr);
    // Loaders constructed separately hold a reference each.
    const DllLoader separate(std::string("B.dll"));
    EXPECT_EQ(Fake::Modules().references["B.dll"], 2);
    // The name and the flags reach the system unchanged.
    EXPECT_EQ(Fake::ModuleCalls(),
              (Calls{L"LoadLibraryExA A.dll 4294967295", L"LoadLibraryExA B.dll 0",
                     L"FreeLibrary A.dll", L"GetProcAddress B.dll x", L"LoadLibraryExA B.dll 0"}));
}

TEST(DllLoader, NameThatDoesNotLoadThrowsItsMessageAndFreesNothing)
{
    EXPECT_EQ(MessageOf<LoadDllException>([] { DllLoader{std::string("Missing.dll")}; }),
              "Cannot load DLL 'Missing.dll'.");
    // Cut at the NUL, the last names would load A.dll: they are refused before any load.
    EXPECT_EQ(MessageOf<LoadDllException>([] { DllLoader{std::string("A.dll\0x\0", 8)}; }),
              "Cannot load DLL 'A.dll\\0x\\0'.");
    EXPECT_EQ((MessageOf<LoadDllException, std::wstring>(
                  [] { DllLoader{std::wstring(L"A.dll\0x", 7)}; })),
              L"Cannot load DLL 'A.dll\\0x'.");
    EXPECT_EQ(Fake::ModuleCalls(), (Calls{L"LoadLibraryExA Missing.dll 0"}));
}

// Every allocation of a load may fail: the load then throws std::bad_alloc and holds no
// reference to any library.
TEST(DllLoader, RunningOutOfMemoryLeavesNoReference)
{
    // A reset assigns the fake's state anew: the map stays where it is.
    std::map<std::string, int>& references = Fake::Modules().references;
    for (const bool wide : {false, true})
    {
        std::string outcome;
        for (std::size_t k = 1; outcome != "(nothing thrown)"; ++k)
        {
            Fake::ResetModules();
            Tolvane::Testing::FailAllocationAfter(k);
            outcome = MessageOf<std::bad_alloc>([wide] {
                return wide ? DllLoader(std::wstring(L"A.dll")) : DllLoader(std::string("A.dll"));
            });
            Tolvane::Testing::FailAllocationAfter(0);
            EXPECT_EQ(references[Fake::Kernel32Name] + references["A.dll"], 0) << k;
            ASSERT_LT(k, 200U) << outcome;
        }
    }
}

int g_Alpha = 0, g_Zero = 0, g_Hidden = 0;

TEST(ExportLookup, EveryFormGivesTheSystemsAddressOrItsExactMessage)
{
    Fake::Modules().modules["A.dll"] = {{"Alpha", &g_Alpha}, {"#0", &g_Zero}, {"#9", &g_Hidden}};
    const DllLoader loader(std::string("A.dll"));
    const auto check = [&](auto key, void* address, const std::string& missing) {
        EXPECT_EQ(loader.GetProcAddressNoThrow(key), address);
        EXPECT_EQ(MessageOf<DllExportNotFoundException>(
                      [&] { EXPECT_EQ(loader.GetProcAddress(key), address); }),
                  address ? "(nothing thrown)" : missing);
    };
    // Ordinal 0 is not treated specially.
    check(std::uint16_t{0}, &g_Zero, "");
    check(std::uint16_t{9}, &g_Hidden, "");
    check(std::uint16_t{65535}, nullptr, "Cannot find DLL export with ordinal 65535.");
    check("Alpha", &g_Alpha, "");
    check("", nullptr, "Cannot find DLL export with name ''.");
    // The non-throwing lookup by name hands the pointer over untouched: the system reads a
    // small value as an ordinal. The throwing one must quote the name, so it refuses a pointer
    // that is none before the system is asked.
    EXPECT_EQ(loader.GetProcAddressNoThrow(reinterpret_cast<const char*>(std::uintptr_t{9})),
              &g_Hidden);
    const Calls before = Fake::ModuleCalls();
    EXPECT_EQ(before.back(), L"GetProcAddress A.dll @9");
    for (const std::uintptr_t value : {std::uintptr_t{0}, std::uintptr_t{0xFFFF}})
    {
        EXPECT_EQ(MessageOf<std::invalid_argument>(
                      [&] { loader.GetProcAddress(reinterpret_cast<const char*>(value)); }),
                  "DllLoader::GetProcAddress: invalid export name.");
    }
    EXPECT_EQ(Fake::ModuleCalls(), before);
}

TEST(WideNameLoad, TakesKernel32sWideLoaderWhereItExistsElseTheAnsiName)
{
    Fake::Modules().wideNames[L"Wide\x4E2D.dll"] = "B.dll";
    Fake::Modules().modules["caf\xE9.dll"] = {};
    // wide loader?, name, the load, the library loaded (null when the load fails)
    const std::tuple<bool, const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
        {true, L"Wide\x4E2D.dll", L"LoadLibraryExW Wide\x4E2D.dll 16", L"B.dll"},
        // A refusal of the wide loader is final.
        {true, L"Missing\x4E2D.dll", L"LoadLibraryExW Missing\x4E2D.dll 16", nullptr},
        {false, L"caf\xE9.dll", L"LoadLibraryExA caf\xE9.dll 16", L"caf\xE9.dll"},
        // U+0100 would best-fit to 'A', U+4E2D has no counterpart: both become the default
        // character, so that no look-alike library is loaded.
        {false, L"\x0100.dll", L"LoadLibraryExA ?.dll 16", nullptr},
        {false, L"\x4E2D.dll", L"LoadLibraryExA ?.dll 16", nullptr}};
    for (const auto& [wideLoader, name, load, loaded] : cases)
    {
        // The rows without a wide loader come last: from the first of them on, kernel32 lacks it.
        Fake::Modules().modules[Fake::Kernel32Name].erase(wideLoader ? "" : "LoadLibraryExW");
        const std::size_t before = Fake::ModuleCalls().size();
        // The message names the caller's wide name, never the converted one.
        EXPECT_EQ(
            (MessageOf<LoadDllException, std::wstring>([&file = name] { DllLoader(file, 16); })),
            loaded ? L"(nothing thrown)" : L"Cannot load DLL '" + std::wstring(name) + L"'.");
        // kernel32 is loaded, asked and freed around the load; a loaded library is freed too.
        EXPECT_EQ(Fake::ModuleCalls().at(before + 2), load);
        EXPECT_EQ(Fake::ModuleCalls().back(),
                  L"FreeLibrary " + std::wstring(loaded ? loaded : L"KERNEL32.DLL"));
        EXPECT_EQ(Fake::Modules().references[Fake::Kernel32Name], 0);
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
