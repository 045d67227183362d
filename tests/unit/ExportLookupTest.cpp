// Looking up exports by name and by ordinal, throwing or not, and the loader's exception tree.
#include "FakeModules.h"
#include "support/Messages.h"

#include <Tolvane/Util/DllLoader.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <type_traits>

namespace {

using Tolvane::Testing::MessageOf;
using Tolvane::Util::DllExportNotFoundException;
using Tolvane::Util::DllLoader;
using Tolvane::Util::DllLoaderException;
using Tolvane::Util::LoadDllException;
namespace Fake = Tolvane::Util::Os::Fake;

static_assert(std::is_base_of_v<DllLoaderException, LoadDllException> &&
                  std::is_base_of_v<DllLoaderException, DllExportNotFoundException> &&
                  std::is_base_of_v<Tolvane::Exception, DllLoaderException> &&
                  !std::is_base_of_v<LoadDllException, DllExportNotFoundException> &&
                  !std::is_base_of_v<DllExportNotFoundException, LoadDllException>,
              "one base for the loader's failures, and two leaves that do not catch each other");

int g_Alpha = 0, g_Zero = 0, g_Hidden = 0;

TEST(ExportLookup, EveryFormGivesTheAddressTheSystemGives)
{
    Fake::Modules().modules["A.dll"] = {
        {"Alpha", &g_Alpha}, {"#1", &g_Alpha}, {"#0", &g_Zero}, {"#9", &g_Hidden}};
    const DllLoader loader(std::string("A.dll"));
    EXPECT_EQ(loader.GetProcAddress("Alpha"), &g_Alpha);
    EXPECT_EQ(loader.GetProcAddressNoThrow("Alpha"), &g_Alpha);
    // Ordinal 0 is not treated specially.
    for (const auto& [ordinal, address] :
         {std::pair<unsigned short, void*>{1, &g_Alpha}, {0, &g_Zero}, {9, &g_Hidden}})
    {
        EXPECT_EQ(loader.GetProcAddress(ordinal), address) << ordinal;
        EXPECT_EQ(loader.GetProcAddressNoThrow(ordinal), address) << ordinal;
    }
    // The non-throwing lookup by name hands the pointer over untouched: the system reads a
    // small value as an ordinal.
    EXPECT_EQ(loader.GetProcAddressNoThrow(reinterpret_cast<const char*>(std::uintptr_t{9})),
              &g_Hidden);
    EXPECT_EQ(Fake::ModuleCalls().back(), L"GetProcAddress A.dll @9");
}

TEST(ExportLookup, MissingExportsThrowTheirExactMessagesOrGiveNull)
{
    const DllLoader loader(std::string("A.dll"));
    for (const char* name : {"Gamma", "", "it's"})
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
                 {1000, "Cannot find DLL export with ordinal 1000."},
                 {65535, "Cannot find DLL export with ordinal 65535."}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(
            MessageOf<DllExportNotFoundException>([&] { return loader.GetProcAddress(c.ordinal); }),
            c.message);
        EXPECT_EQ(loader.GetProcAddressNoThrow(c.ordinal), nullptr);
    }
    // The throwing lookup by name must quote the name, so it refuses a pointer that is none,
    // before the system is asked.
    const std::size_t before = Fake::ModuleCalls().size();
    for (const std::uintptr_t value : {std::uintptr_t{0}, std::uintptr_t{0xFFFF}})
    {
        EXPECT_EQ(MessageOf<std::invalid_argument>(
                      [&] { return loader.GetProcAddress(reinterpret_cast<const char*>(value)); }),
                  "DllLoader::GetProcAddress: invalid export name.");
    }
    EXPECT_EQ(Fake::ModuleCalls().size(), before);
}

} // namespace
