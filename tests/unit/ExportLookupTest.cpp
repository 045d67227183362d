// Looking up exports by name and by ordinal: the same address from both forms, the exact
// messages for missing ones, and misuse of the throwing lookup by name.
#include "FakeModules.h"

#include <Tolvane/Util/DllLoader.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace {

using Tolvane::Util::DllExportNotFoundException;
using Tolvane::Util::DllLoader;
namespace Fake = Tolvane::Util::Os::Fake;

int g_Alpha = 0;
int g_Beta = 0;
int g_Hidden = 0;

const char* OrdinalAsName(std::uintptr_t ordinal)
{
    return reinterpret_cast<const char*>(ordinal);
}

// The message of the `Expected` that `lookup` throws; "" (and a failure) when it throws nothing.
template <typename Expected, typename Lookup>
std::string MessageOf(Lookup lookup)
{
    try
    {
        static_cast<void>(lookup());
        ADD_FAILURE() << "nothing thrown";
    }
    catch (const Expected& e)
    {
        return e.what();
    }
    return "";
}

class ExportLookupTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Fake::ResetModules();
        Fake::FakeModule library;
        library.exportsByName = {{"Alpha", &g_Alpha}, {"Beta", &g_Beta}};
        library.exportsByOrdinal = {{1, &g_Alpha}, {7, &g_Beta}, {9, &g_Hidden}};
        Fake::Modules().modules["Library.dll"] = library;
    }
};

TEST_F(ExportLookupTest, BothFormsGiveTheSameAddressByNameAndByOrdinal)
{
    const DllLoader loader(std::string("Library.dll"));
    const struct
    {
        const char* name;
        unsigned short ordinal;
        void* address;
    } cases[] = {{"Alpha", 1, &g_Alpha}, {"Beta", 7, &g_Beta}, {nullptr, 9, &g_Hidden}};
    for (const auto& c : cases)
    {
        if (c.name != nullptr)
        {
            EXPECT_EQ(loader.GetProcAddress(c.name), c.address) << c.name;
            EXPECT_EQ(loader.GetProcAddressNoThrow(c.name), c.address) << c.name;
        }
        EXPECT_EQ(loader.GetProcAddress(c.ordinal), c.address) << c.ordinal;
        EXPECT_EQ(loader.GetProcAddressNoThrow(c.ordinal), c.address) << c.ordinal;
    }
    // Lookups change no reference.
    EXPECT_EQ(Fake::Counts("Library.dll").References(), 1);
}

TEST_F(ExportLookupTest, MissingExportsThrowTheirExactMessages)
{
    const DllLoader loader(std::string("Library.dll"));
    for (const char* name : {"Gamma", "", "it's", "alpha"})
    {
        EXPECT_EQ(
            MessageOf<DllExportNotFoundException>([&] { return loader.GetProcAddress(name); }),
            std::string("Cannot find DLL export with name '") + name + "'.");
        EXPECT_EQ(loader.GetProcAddressNoThrow(name), nullptr);
    }
    const struct
    {
        unsigned short ordinal;
        const char* message;
    } cases[] = {{0, "Cannot find DLL export with ordinal 0."},
                 {2, "Cannot find DLL export with ordinal 2."},
                 {1000, "Cannot find DLL export with ordinal 1000."},
                 {65535, "Cannot find DLL export with ordinal 65535."}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(
            MessageOf<DllExportNotFoundException>([&] { return loader.GetProcAddress(c.ordinal); }),
            c.message);
        EXPECT_EQ(loader.GetProcAddressNoThrow(c.ordinal), nullptr);
    }
    EXPECT_EQ(Fake::Counts("Library.dll").References(), 1);
}

TEST_F(ExportLookupTest, OrdinalZeroGoesToTheSystemLikeAnyOther)
{
    Fake::Modules().modules["Library.dll"].exportsByOrdinal[0] = &g_Beta;
    const DllLoader loader(std::string("Library.dll"));
    EXPECT_EQ(loader.GetProcAddress(static_cast<unsigned short>(0)), &g_Beta);
    ASSERT_EQ(Fake::GetProcAddressCalls().size(), 1U);
    EXPECT_TRUE(Fake::GetProcAddressCalls()[0].byOrdinal);
    EXPECT_EQ(Fake::GetProcAddressCalls()[0].name, 0U);
}

TEST_F(ExportLookupTest, ThrowingLookupByNameRejectsPointersThatAreNoNames)
{
    const DllLoader loader(std::string("Library.dll"));
    for (const std::uintptr_t value :
         {std::uintptr_t{0}, std::uintptr_t{7}, std::uintptr_t{0xFFFF}})
    {
        const std::string message = MessageOf<std::invalid_argument>(
            [&] { return loader.GetProcAddress(OrdinalAsName(value)); });
        EXPECT_EQ(message.rfind("DllLoader::GetProcAddress", 0), 0U) << value << ": " << message;
    }
    // Rejected before the system is asked.
    EXPECT_TRUE(Fake::GetProcAddressCalls().empty());
}

TEST_F(ExportLookupTest, NonThrowingLookupByNamePassesThePointerUntouched)
{
    const DllLoader loader(std::string("Library.dll"));
    // The system reads a small value as an ordinal.
    EXPECT_EQ(loader.GetProcAddressNoThrow(OrdinalAsName(7)), &g_Beta);
    EXPECT_EQ(loader.GetProcAddressNoThrow(OrdinalAsName(0)), nullptr);
    ASSERT_EQ(Fake::GetProcAddressCalls().size(), 2U);
    EXPECT_FALSE(Fake::GetProcAddressCalls()[0].byOrdinal);
    EXPECT_EQ(Fake::GetProcAddressCalls()[0].name, 7U);
    EXPECT_EQ(Fake::GetProcAddressCalls()[1].name, 0U);
}

} // namespace
