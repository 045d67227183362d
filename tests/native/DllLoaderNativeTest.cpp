// DllLoader on the real system, with the test libraries that the build makes: loading by
// narrow and wide name, export lookup, reference counts seen by the system, and the loader's
// exceptions caught across the library boundary.
#include "native/ModuleProbe.h"

#include <TestLibraryPaths.h>
#include <Tolvane/Util/DllLoader.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

using Tolvane::Testing::IsModuleLoaded;
using Tolvane::Testing::NativePath;
using Tolvane::Util::DllExportNotFoundException;
using Tolvane::Util::DllLoader;
using Tolvane::Util::DllLoaderException;
using Tolvane::Util::LoadDllException;

const std::string& LibraryPath()
{
    static const std::string path = NativePath(std::string(TOLVANE_TEST_LIBRARY));
    return path;
}

const std::string& WideNamedLibraryUtf8Path()
{
    static const std::string path = NativePath(std::string(TOLVANE_TEST_WIDE_NAMED_LIBRARY));
    return path;
}

const std::wstring& WideNamedLibraryPath()
{
    static const std::wstring path = NativePath(std::wstring(TOLVANE_TEST_WIDE_NAMED_LIBRARY_W));
    return path;
}

using AddFunction = int (*)(int, int);
using NameFunction = const char* (*)();
using SecretFunction = int (*)();

// The test library as a client wraps it.
class TestLibrary : public DllLoader
{
public:
    template <typename Name>
    explicit TestLibrary(const Name& path)
        : DllLoader(path), m_Add(GetThis(), "TolvaneTestAdd"),
          m_Name(GetThis(), "TolvaneTestLibraryName"), m_Missing(GetThis(), "TolvaneTestMissing")
    {
    }

    int Add(int a, int b) const { return m_Add.Get()(a, b); }
    std::string Name() const { return m_Name.Get()(); }
    const FunctionPointer<AddFunction>& Missing() const { return m_Missing; }

private:
    FunctionPointer<AddFunction> m_Add;
    FunctionPointer<NameFunction> m_Name;
    FunctionPointer<AddFunction> m_Missing;
};

class DllLoaderNativeTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // Every test starts and ends with the test libraries unloaded.
        ASSERT_FALSE(IsModuleLoaded(LibraryPath()));
        ASSERT_FALSE(IsModuleLoaded(WideNamedLibraryUtf8Path()));
    }

    void TearDown() override
    {
        EXPECT_FALSE(IsModuleLoaded(LibraryPath()));
        EXPECT_FALSE(IsModuleLoaded(WideNamedLibraryUtf8Path()));
    }
};

// The message of the `Expected` that `action` throws; "" (and a failure) when it throws nothing.
template <typename Expected, typename Action>
std::string MessageOf(Action action)
{
    try
    {
        action();
        ADD_FAILURE() << "nothing thrown";
    }
    catch (const Expected& e)
    {
        return e.what();
    }
    return "";
}

TEST_F(DllLoaderNativeTest, ExportsByNameGiveOneAddressFromEveryForm)
{
    const TestLibrary library(LibraryPath());
    EXPECT_EQ(library.Add(2, 40), 42);
    EXPECT_EQ(library.Name(), "Plain");
    EXPECT_FALSE(library.Missing());
    for (const char* name : {"TolvaneTestAdd", "TolvaneTestNegate", "TolvaneTestLibraryName"})
    {
        void* const address = library.GetProcAddress(name);
        EXPECT_NE(address, nullptr) << name;
        EXPECT_EQ(library.GetProcAddressNoThrow(name), address) << name;
    }
}

#if defined(_WIN32)
TEST_F(DllLoaderNativeTest, ExportsByOrdinalAreTheNamedOnes)
{
    const DllLoader loader(LibraryPath());
    const struct
    {
        unsigned short ordinal;
        const char* name;
    } cases[] = {{1, "TolvaneTestAdd"},
                 {2, "TolvaneTestNegate"},
                 {3, "TolvaneTestLength"},
                 {5, "TolvaneTestLibraryName"}};
    for (const auto& c : cases)
    {
        void* const address = loader.GetProcAddress(c.name);
        EXPECT_EQ(loader.GetProcAddress(c.ordinal), address) << c.ordinal;
        EXPECT_EQ(loader.GetProcAddressNoThrow(c.ordinal), address) << c.ordinal;
        // A name pointer below 0x10000 is an ordinal to Windows, and goes there untouched.
        EXPECT_EQ(loader.GetProcAddressNoThrow(
                      reinterpret_cast<const char*>(static_cast<std::uintptr_t>(c.ordinal))),
                  address);
    }
    // Exported by ordinal only: no name finds it.
    const auto secret =
        reinterpret_cast<SecretFunction>(loader.GetProcAddress(static_cast<unsigned short>(9)));
    EXPECT_EQ(secret(), 42);
    EXPECT_EQ(loader.GetProcAddressNoThrow("TolvaneTestSecret"), nullptr);
}
#else
TEST_F(DllLoaderNativeTest, NoExportHasAnOrdinalNorIsADependencysSymbol)
{
    const DllLoader loader(LibraryPath());
    for (const unsigned short ordinal : {std::uint16_t{0}, std::uint16_t{1}, std::uint16_t{9}})
    {
        EXPECT_EQ(loader.GetProcAddressNoThrow(ordinal), nullptr);
        EXPECT_EQ(loader.GetProcAddressNoThrow(
                      reinterpret_cast<const char*>(static_cast<std::uintptr_t>(ordinal))),
                  nullptr);
        EXPECT_THROW(loader.GetProcAddress(ordinal), DllExportNotFoundException);
    }
    // Exported by name here.
    const auto secret =
        reinterpret_cast<SecretFunction>(loader.GetProcAddress("TolvaneTestSecret"));
    EXPECT_EQ(secret(), 42);
    // The C library is a dependency of the test library (its TolvaneTestLength calls strlen):
    // dlsym would find strlen through it, as GetProcAddress would not.
    const auto length =
        reinterpret_cast<int (*)(const char*)>(loader.GetProcAddress("TolvaneTestLength"));
    EXPECT_EQ(length("four"), 4);
    EXPECT_EQ(loader.GetProcAddressNoThrow("strlen"), nullptr);
    EXPECT_EQ(loader.GetProcAddressNoThrow("malloc"), nullptr);
}
#endif

TEST_F(DllLoaderNativeTest, FailuresThrowTheirMessagesAcrossTheBoundary)
{
    const DllLoader loader(LibraryPath());
    // Caught by base classes: the type information crosses the boundary intact.
    EXPECT_EQ(MessageOf<DllLoaderException>([&] { loader.GetProcAddress("TolvaneTestMissing"); }),
              "Cannot find DLL export with name 'TolvaneTestMissing'.");
    EXPECT_EQ(MessageOf<DllExportNotFoundException>(
                  [&] { loader.GetProcAddress(static_cast<unsigned short>(65535)); }),
              "Cannot find DLL export with ordinal 65535.");
    EXPECT_EQ(loader.GetProcAddressNoThrow("TolvaneTestMissing"), nullptr);
    EXPECT_EQ(loader.GetProcAddressNoThrow(static_cast<unsigned short>(65535)), nullptr);
    EXPECT_THROW(loader.GetProcAddress(static_cast<const char*>(nullptr)), std::invalid_argument);
    const std::string name = NativePath(std::string("/nonexistent/tolvane-missing.dll"));
    EXPECT_EQ(MessageOf<Tolvane::Exception>([&] { DllLoader{name}; }),
              "Cannot load DLL '" + name + "'.");
    EXPECT_THROW(DllLoader{name}, LoadDllException);
}

TEST_F(DllLoaderNativeTest, NameWithNulInsideLoadsNothing)
{
    // Cut at the NUL, either name would load the test library.
    EXPECT_EQ(MessageOf<LoadDllException>([] { DllLoader{LibraryPath() + '\0' + "junk"}; }),
              "Cannot load DLL '" + LibraryPath() + "\\0junk'.");
    const std::wstring wide = NativePath(std::wstring(TOLVANE_TEST_LIBRARY_W)) + L'\0' + L"junk";
    EXPECT_EQ(MessageOf<LoadDllException>([&] { DllLoader{wide}; }),
              "Cannot load DLL '" + LibraryPath() + "\\0junk'.");
}

TEST_F(DllLoaderNativeTest, LibraryStaysLoadedWhileAnyLoaderOrCopyLives)
{
    std::optional<DllLoader> original(std::in_place, LibraryPath());
    std::optional<DllLoader> copy(std::in_place, *original);
    std::optional<DllLoader> separate(std::in_place, LibraryPath());
    EXPECT_EQ(separate->GetProcAddress("TolvaneTestAdd"), copy->GetProcAddress("TolvaneTestAdd"));
    original.reset();
    EXPECT_TRUE(IsModuleLoaded(LibraryPath()));
    copy.reset();
    // The separately constructed loader holds its own reference.
    EXPECT_TRUE(IsModuleLoaded(LibraryPath()));
    EXPECT_NE(separate->GetProcAddressNoThrow("TolvaneTestAdd"), nullptr);
    separate.reset();
    EXPECT_FALSE(IsModuleLoaded(LibraryPath()));
}

TEST_F(DllLoaderNativeTest, AssignmentUnloadsTheOldLibrary)
{
    DllLoader loader(LibraryPath());
    loader = DllLoader(WideNamedLibraryPath());
    EXPECT_FALSE(IsModuleLoaded(LibraryPath()));
    EXPECT_TRUE(IsModuleLoaded(WideNamedLibraryUtf8Path()));
}

TEST_F(DllLoaderNativeTest, WideNamesReachTheSystemUnchanged)
{
    {
        const DllLoader narrow(LibraryPath());
        const DllLoader ascii(NativePath(std::wstring(TOLVANE_TEST_LIBRARY_W)));
        EXPECT_EQ(ascii.GetProcAddress("TolvaneTestAdd"), narrow.GetProcAddress("TolvaneTestAdd"));
        // This name has characters outside the ANSI code page.
        const TestLibrary library(WideNamedLibraryPath());
        EXPECT_EQ(library.Name(), "Wide");
        EXPECT_TRUE(IsModuleLoaded(WideNamedLibraryUtf8Path()));
    }
#if defined(_WIN32)
    // The same path in narrow form is read in the ANSI code page, which has neither character:
    // only the wide name reaches this file.
    EXPECT_THROW(DllLoader{WideNamedLibraryUtf8Path()}, LoadDllException);
#endif
}

TEST_F(DllLoaderNativeTest, Kernel32ExportsTheWideLoaderUnderEverySpelling)
{
    // Windows compares module names without regard to case and adds ".DLL" to a bare name.
    for (const char* name : {"KERNEL32.DLL", "kernel32.dll", "Kernel32"})
    {
        const DllLoader kernel32{std::string(name)};
        EXPECT_NE(kernel32.GetProcAddressNoThrow("LoadLibraryExW"), nullptr) << name;
    }
}

#if !defined(_WIN32)
TEST_F(DllLoaderNativeTest, WideNameThatUtf8CannotSpellLoadsNothing)
{
    // A lone surrogate names no file here. Were it replaced by U+FFFD, the library copied to
    // the name with U+FFFD would load.
    const std::filesystem::path original(LibraryPath());
    const std::filesystem::path replaced =
        original.parent_path() / "TolvaneTestReplacement\xEF\xBF\xBD.so";
    std::filesystem::copy_file(original, replaced,
                               std::filesystem::copy_options::overwrite_existing);
    const std::wstring name =
        original.parent_path().wstring() + L"/TolvaneTestReplacement\xD800.so";
    EXPECT_THROW(DllLoader{name}, LoadDllException);
    EXPECT_FALSE(IsModuleLoaded(replaced.string()));
    std::filesystem::remove(replaced);
}
#endif

TEST_F(DllLoaderNativeTest, WideNameThatDoesNotLoadKeepsItsMessageWide)
{
    const std::wstring name = NativePath(std::wstring(L"/nonexistent/missing-\x03A9\x4E2D.dll"));
    try
    {
        const DllLoader loader(name);
        ADD_FAILURE() << "loaded";
    }
    catch (const LoadDllException& e)
    {
        EXPECT_EQ(e.GetWideMessage(), L"Cannot load DLL '" + name + L"'.");
#if !defined(_WIN32)
        // Here the narrow form is UTF-8.
        EXPECT_STREQ(e.what(), "Cannot load DLL '/nonexistent/missing-\xCE\xA9\xE4\xB8\xAD.dll'.");
#endif
    }
}

} // namespace
