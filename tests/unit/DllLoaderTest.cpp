// DllLoader's ownership of one library: one load, one free by the last sharer, on any thread.
#include "FakeCodePages.h"
#include "FakeModules.h"
#include "FakeSystemInfo.h"
#include "support/AllocationCounter.h"

#include <Tolvane/Util/DllLoader.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <iterator>
#include <optional>
#include <thread>
#include <vector>

namespace {

using Tolvane::Util::DllLoader;
using Tolvane::Util::LoadDllException;
namespace Fake = Tolvane::Util::Os::Fake;

class DllLoaderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Fake::ResetModules();
        Fake::ResetCodePages();
        Fake::ResetSystemInfo();
        Fake::Modules().modules["A.dll"] = {};
        Fake::Modules().modules["B.dll"] = {};
    }
};

// Exposes the protected members.
class DerivedLoader : public DllLoader
{
public:
    using DllLoader::DllLoader;
    using DllLoader::FreeLibraryAndExitThread;
    using DllLoader::GetThis;
};

TEST_F(DllLoaderTest, NameAndFlagsReachTheSystemUnchanged)
{
    Fake::Modules().modules["dir\\A b.dll"] = {};
    const std::uint32_t flagValues[] = {0U, 0x8U, 0xFFFFFFFFU};
    for (std::size_t i = 0; i < std::size(flagValues); ++i)
    {
        const DllLoader loader(std::string("dir\\A b.dll"), flagValues[i]);
        ASSERT_EQ(Fake::LoadLibraryExACalls().size(), i + 1);
        EXPECT_EQ(Fake::LoadLibraryExACalls()[i].name, "dir\\A b.dll");
        EXPECT_EQ(Fake::LoadLibraryExACalls()[i].flags, flagValues[i]);
    }
    // A narrow load never asks for kernel32 or converts anything.
    EXPECT_TRUE(Fake::LoadLibraryExWCalls().empty());
    EXPECT_TRUE(Fake::WideToNarrowCalls().empty());
}

TEST_F(DllLoaderTest, CopiedTwiceAndDestroyedInAnyOrderLoadsAndFreesOnce)
{
    std::array<int, 3> order = {0, 1, 2};
    do
    {
        Fake::ResetModules();
        Fake::Modules().modules["A.dll"] = {};
        std::array<std::optional<DllLoader>, 3> loaders;
        loaders[0].emplace(std::string("A.dll"));
        loaders[1].emplace(*loaders[0]);
        loaders[2].emplace(*loaders[1]);
        EXPECT_EQ(Fake::LoadLibraryExACalls().size(), 1U);
        for (std::size_t i = 0; i < order.size(); ++i)
        {
            EXPECT_EQ(Fake::Counts("A.dll").frees, 0) << "freed before the last sharer went";
            loaders[static_cast<std::size_t>(order[i])].reset();
        }
        EXPECT_EQ(Fake::Counts("A.dll").loads, 1);
        EXPECT_EQ(Fake::Counts("A.dll").frees, 1);
        EXPECT_EQ(Fake::InvalidFrees(), 0);
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST_F(DllLoaderTest, AssignmentFreesTheOldLibraryDuringTheAssignment)
{
    DllLoader a(std::string("A.dll"));
    const DllLoader b(std::string("B.dll"));
    a = b;
    EXPECT_EQ(Fake::Counts("A.dll").frees, 1);
    EXPECT_EQ(Fake::Counts("B.dll").References(), 1);
    // `a` now holds B.
    EXPECT_EQ(a.GetProcAddressNoThrow("x"), nullptr);
    EXPECT_EQ(Fake::GetProcAddressCalls().back().module, "B.dll");
    // Unless another sharer still holds the old library.
    const DllLoader keepB(a);
    a = DllLoader(std::string("A.dll"));
    EXPECT_EQ(Fake::Counts("B.dll").References(), 1);
}

TEST_F(DllLoaderTest, SelfAssignmentAndAssignmentBetweenSharersChangeNothing)
{
    DllLoader a(std::string("A.dll"));
    DllLoader& alias = a; // the sole loader, assigned to itself
    a = alias;
    EXPECT_EQ(Fake::Counts("A.dll").frees, 0);
    DllLoader copy(a);
    a = copy;
    copy = a;
    EXPECT_EQ(Fake::LoadLibraryExACalls().size(), 1U);
    EXPECT_EQ(Fake::Counts("A.dll").References(), 1);
    static_cast<void>(a.GetProcAddressNoThrow("x"));
    ASSERT_EQ(Fake::GetProcAddressCalls().size(), 1U);
    EXPECT_EQ(Fake::GetProcAddressCalls()[0].module, "A.dll");
}

TEST_F(DllLoaderTest, SeparateLoadersHoldSeparateReferences)
{
    const DllLoader first(std::string("A.dll"));
    const DllLoader second(std::string("A.dll"));
    EXPECT_EQ(Fake::Counts("A.dll").References(), 2);
}

TEST_F(DllLoaderTest, FailedLoadThrowsItsMessageAndFreesNothing)
{
    for (const char* name : {"Missing.dll", "", "dir\\it's here.dll"})
    {
        try
        {
            const DllLoader loader{std::string(name)};
            ADD_FAILURE() << "loaded " << name;
        }
        catch (const LoadDllException& e)
        {
            EXPECT_EQ(std::string(e.what()), std::string("Cannot load DLL '") + name + "'.");
        }
    }
    EXPECT_EQ(Fake::LoadLibraryExACalls().size(), 3U);
    EXPECT_EQ(Fake::InvalidFrees(), 0);
}

TEST_F(DllLoaderTest, NameWithNulInsideLoadsNothing)
{
    // Cut at the NUL, either name would load A.dll.
    Fake::Modules().wideNames[L"A.dll"] = "A.dll";
    try
    {
        const DllLoader loader{std::string("A.dll\0x\0", 8)};
        ADD_FAILURE() << "loaded";
    }
    catch (const LoadDllException& e)
    {
        EXPECT_STREQ(e.what(), "Cannot load DLL 'A.dll\\0x\\0'.");
    }
    try
    {
        const DllLoader loader{std::wstring(L"A.dll\0x", 7)};
        ADD_FAILURE() << "loaded";
    }
    catch (const LoadDllException& e)
    {
        EXPECT_EQ(e.GetWideMessage(), L"Cannot load DLL 'A.dll\\0x'.");
    }
    EXPECT_TRUE(Fake::LoadLibraryExACalls().empty());
    EXPECT_TRUE(Fake::LoadLibraryExWCalls().empty());
}

// The loader handed to FreeLibraryAndExitThread must never be destroyed; it stays reachable
// here so that leak checkers do not count it.
std::vector<DerivedLoader*>& ExitedLoaders()
{
    static auto* const loaders = new std::vector<DerivedLoader*>();
    return *loaders;
}

TEST_F(DllLoaderTest, FreeLibraryAndExitThreadHandsTheHandleAndCodeToTheSystem)
{
    ExitedLoaders().push_back(new DerivedLoader(std::string("A.dll")));
    EXPECT_EQ(&ExitedLoaders().back()->GetThis(), ExitedLoaders().back());
    const DerivedLoader copy(*ExitedLoaders().back());
    try
    {
        ExitedLoaders().back()->FreeLibraryAndExitThread(0xC0DEU);
        ADD_FAILURE() << "returned";
    }
    catch (const Fake::ThreadExit& exit)
    {
        EXPECT_EQ(exit.module, "A.dll");
        EXPECT_EQ(exit.exitCode, 0xC0DEU);
    }
    // The system gave the reference back; the shared handle still counts it as held, so the
    // remaining copy would free it a second time: leak it too.
    EXPECT_EQ(Fake::Counts("A.dll").References(), 0);
    ExitedLoaders().push_back(new DerivedLoader(copy));
}

TEST_F(DllLoaderTest, CopiesOnEightThreadsFreeOnce)
{
    std::optional<DllLoader> original(std::in_place, std::string("A.dll"));
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
    {
        threads.emplace_back([mine = *original, &go]() mutable {
            while (!go.load())
            {
                std::this_thread::yield();
            }
            for (int i = 0; i < 500; ++i)
            {
                DllLoader a(mine);
                const DllLoader b(a);
                a = b;
                mine = a;
            }
        });
    }
    original.reset();
    go = true;
    for (std::thread& thread : threads)
    {
        thread.join();
    }
    EXPECT_EQ(Fake::Counts("A.dll").loads, 1);
    EXPECT_EQ(Fake::Counts("A.dll").frees, 1);
    EXPECT_EQ(Fake::InvalidFrees(), 0);
}

// Every allocation of a load may fail: a load either succeeds or throws std::bad_alloc, and
// then holds no reference to any library.
template <typename Name>
void ExpectNoReferenceLeftWhenMemoryRunsOut(const Name& name)
{
    for (std::size_t k = 1; k < 200; ++k)
    {
        Fake::ResetModules();
        Fake::Modules().modules["A.dll"] = {};
        Fake::Modules().wideNames[L"A.dll"] = "A.dll";
        Tolvane::Testing::FailAllocationAfter(k);
        try
        {
            const DllLoader loader(name);
            Tolvane::Testing::FailAllocationAfter(0);
            EXPECT_EQ(Fake::Counts("A.dll").References(), 1);
            EXPECT_EQ(Fake::Counts(Fake::Kernel32Name).References(), 0);
            return;
        }
        catch (const std::bad_alloc&)
        {
            Tolvane::Testing::FailAllocationAfter(0);
            EXPECT_EQ(Fake::Counts("A.dll").References(), 0) << "allocation " << k;
            EXPECT_EQ(Fake::Counts(Fake::Kernel32Name).References(), 0) << "allocation " << k;
            EXPECT_EQ(Fake::InvalidFrees(), 0);
        }
    }
    ADD_FAILURE() << "never succeeded";
}

TEST_F(DllLoaderTest, RunningOutOfMemoryLeavesNoReference)
{
    ExpectNoReferenceLeftWhenMemoryRunsOut(std::string("A.dll"));
    ExpectNoReferenceLeftWhenMemoryRunsOut(std::wstring(L"A.dll"));
}

} // namespace
