// Looking up exports by name and by ordinal: the same address from both forms, the exact
// messages for missing ones, and misuse of the throwing lookup by name.
#include "FakeModules.h"

#include <Tolvane/Util/DllLoader.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace
{

using Tolvane::Util::DllExportNotFoundException;
using Tolvane::Util::DllLoader;
using Tolvane::Util::DllLoaderException;
using Tolvane::Util::LoadDllException;
namespace Fake = Tolvane::Util::Os::Fake;

int g_Alpha = 0;
int g_Beta = 0;
int g_Hidden = 0;

const char* OrdinalAsName(std::uintptr_t ordinal)
{
    return reinterpret_cast<const char*>(ordinal);
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
    } cases[] = {{"Alpha", 1, &g_Alpha}, {"Beta", 7, &g_Beta}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(loader.GetProcAddress(c.name), c.address) << c.name;
        EXPECT_EQ(loader.GetProcAddressNoThrow(c.name), c.address) << c.name;
        EXPECT_EQ(loader.GetProcAddress(c.ordinal), c.address) << c.ordinal;
        EXPECT_EQ(loader.GetProcAddressNoThrow(c.ordinal), c.address) << c.ordinal;
    }
    // Exported by ordinal only.
    EXPECT_EQ(loader.GetProcAddress(static_cast<unsigned short>(9)), &g_Hidden);
}

TEST_F(ExportLookupTest, MissingNameThrowsWithTheNameQuoted)
{
    const DllLoader loader(std::string("Library.dll"));
    for (const char* name : {"Gamma", "", "it's", "alpha"})
    {
        try
        {
            loader.GetProcAddress(name);
            ADD_FAILURE() << "found " << name;
        }
        catch (const DllExportNotFoundException& e)
        {
            EXPECT_EQ(std::string(e.what()),
                      std::string("Cannot find DLL export with name '") + name + "'.");
        }
        EXPECT_EQ(loader.GetProcAddressNoThrow(name), nullptr);
    }
}

TEST_F(ExportLookupTest, MissingOrdinalThrowsWithTheOrdinalInDecimal)
{
    const DllLoader loader(std::string("Library.dll"));
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
        try
        {
            loader.GetProcAddress(c.ordinal);
            ADD_FAILURE() << "found " << c.ordinal;
        }
        catch (const DllExportNotFoundException& e)
        {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ(loader.GetProcAddressNoThrow(c.ordinal), nullptr);
    }
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
        try
        {
            loader.GetProcAddress(OrdinalAsName(value));
            ADD_FAILURE() << "accepted " << value;
        }
        catch (const std::invalid_argument& e)
        {
            EXPECT_EQ(std::string(e.what()).rfind("DllLoader::GetProcAddress", 0), 0U) << e.what();
        }
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

TEST_F(ExportLookupTest, LookupsChangeNoReference)
{
    const DllLoader loader(std::string("Library.dll"));
    static_cast<void>(loader.GetProcAddress("Alpha"));
    static_cast<void>(loader.GetProcAddressNoThrow(static_cast<unsigned short>(3)));
    EXPECT_THROW(loader.GetProcAddress("Gamma"), DllExportNotFoundException);
    EXPECT_EQ(Fake::Counts("Library.dll").loads, 1);
    EXPECT_EQ(Fake::Counts("Library.dll").frees, 0);
}

// Which handler, tried from the most specific, catches what `action` throws.
template <typename Action>
std::string CaughtBy(Action action)
{
    try
    {
        action();
    }
    catch (const LoadDllException&)
    {
        return "LoadDllException";
    }
    catch (const DllExportNotFoundException&)
    {
        return "DllExportNotFoundException";
    }
    catch (const DllLoaderException&)
    {
        return "DllLoaderException";
    }
    catch (const Tolvane::Exception&)
    {
        return "Exception";
    }
    catch (const std::exception&)
    {
        return "std::exception";
    }
    return "nothing";
}

template <typename Handler, typename Action>
std::string TextCaughtAs(Action action)
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
        return "(another handler)";
    }
    return "(nothing thrown)";
}

TEST_F(ExportLookupTest, MissingExportIsCaughtByEachBaseWithOneText)
{
    const DllLoader loader(std::string("Library.dll"));
    const auto missing = [&loader] { loader.GetProcAddress("Gamma"); };
    const std::string text = "Cannot find DLL export with name 'Gamma'.";
    EXPECT_EQ(CaughtBy(missing), "DllExportNotFoundException");
    EXPECT_EQ(TextCaughtAs<DllExportNotFoundException>(missing), text);
    EXPECT_EQ(TextCaughtAs<DllLoaderException>(missing), text);
    EXPECT_EQ(TextCaughtAs<Tolvane::Exception>(missing), text);
    EXPECT_EQ(TextCaughtAs<std::exception>(missing), text);
    EXPECT_EQ(TextCaughtAs<LoadDllException>(missing), "(another handler)");
}

} // namespace
