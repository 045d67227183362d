// DllLoader's ownership of one library: one load, one free by the last sharer, none on failure.
#include "FakeModules.h"
#include "support/AllocationCounter.h"
#include "support/Messages.h"

#include <Tolvane/Util/DllLoader.h>

#include <gtest/gtest.h>

#include <optional>

namespace {

using Tolvane::Testing::MessageOf;
using Tolvane::Util::DllLoader;
using Tolvane::Util::LoadDllException;
namespace Fake = Tolvane::Util::Os::Fake;
using Calls = std::vector<std::wstring>;

TEST(DllLoader, CopiesShareOneLoadAndTheLastToGoFreesIt)
{
    std::optional<DllLoader> original(std::in_place, std::string("A.dll"), 0xFFFFFFFFU);
    {
        const DllLoader copy(*original);
        const DllLoader copyOfCopy(copy);
        original.reset();
        EXPECT_EQ(Fake::References("A.dll"), 1);
    }
    // The name and the flags reach the system unchanged.
    EXPECT_EQ(Fake::ModuleCalls(),
              (Calls{L"LoadLibraryExA A.dll 4294967295", L"FreeLibrary A.dll"}));
}

TEST(DllLoader, AssignmentFreesTheLibraryThatNoOtherLoaderHolds)
{
    DllLoader a(std::string("A.dll"));
    DllLoader& self = a;
    a = self;
    const DllLoader b(std::string("B.dll"));
    DllLoader sharer(b);
    sharer = b;
    a = b;
    EXPECT_EQ(a.GetProcAddressNoThrow("x"), nullptr);
    EXPECT_EQ(Fake::ModuleCalls(), (Calls{L"LoadLibraryExA A.dll 0", L"LoadLibraryExA B.dll 0",
                                          L"FreeLibrary A.dll", L"GetProcAddress B.dll x"}));
    // Loaders constructed separately hold a reference each.
    const DllLoader first(std::string("A.dll"));
    a = DllLoader(std::string("A.dll"));
    EXPECT_EQ(Fake::References("A.dll"), 2);
    EXPECT_EQ(Fake::References("B.dll"), 1);
}

TEST(DllLoader, NameThatDoesNotLoadThrowsItsMessageAndFreesNothing)
{
    // Cut at the NUL, the last names would load A.dll: they are refused before any load.
    const struct
    {
        std::string name;
        const char* message;
    } cases[] = {{"Missing.dll", "Cannot load DLL 'Missing.dll'."},
                 {"", "Cannot load DLL ''."},
                 {std::string("A.dll\0x\0", 8), "Cannot load DLL 'A.dll\\0x\\0'."}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(MessageOf<LoadDllException>([&] { DllLoader{c.name}; }), c.message);
    }
    EXPECT_EQ((MessageOf<LoadDllException, std::wstring>(
                  [] { DllLoader{std::wstring(L"A.dll\0x", 7)}; })),
              L"Cannot load DLL 'A.dll\\0x'.");
    EXPECT_EQ(Fake::ModuleCalls(), (Calls{L"LoadLibraryExA Missing.dll 0", L"LoadLibraryExA  0"}));
}

// Exposes the protected member.
class DerivedLoader : public DllLoader
{
public:
    using DllLoader::DllLoader;
    using DllLoader::FreeLibraryAndExitThread;
};

// Handed to FreeLibraryAndExitThread, so never destroyed; reachable, so that leak checkers
// keep quiet.
DerivedLoader* g_Exited = nullptr;

TEST(DllLoader, FreeLibraryAndExitThreadHandsTheHandleAndCodeToTheSystem)
{
    g_Exited = new DerivedLoader(std::string("A.dll"));
    EXPECT_THROW(g_Exited->FreeLibraryAndExitThread(0xC0DEU), Fake::ThreadExit);
    EXPECT_EQ(Fake::ModuleCalls(),
              (Calls{L"LoadLibraryExA A.dll 0", L"ExitThread 49374", L"FreeLibrary A.dll"}));
}

// Every allocation of a load may fail: the load then throws std::bad_alloc and holds no
// reference to any library.
TEST(DllLoader, RunningOutOfMemoryLeavesNoReference)
{
    for (const bool wide : {false, true})
    {
        for (std::size_t k = 1;; ++k)
        {
            Fake::ResetModules();
            Tolvane::Testing::FailAllocationAfter(k);
            const std::string outcome = MessageOf<std::bad_alloc>([wide] {
                return wide ? DllLoader(std::wstring(L"A.dll")) : DllLoader(std::string("A.dll"));
            });
            Tolvane::Testing::FailAllocationAfter(0);
            EXPECT_EQ(Fake::References(Fake::Kernel32Name), 0) << k;
            EXPECT_EQ(Fake::References("A.dll"), 0) << k;
            if (outcome == "(nothing thrown)")
            {
                break;
            }
            ASSERT_LT(k, 200U) << outcome;
        }
    }
}

} // namespace
