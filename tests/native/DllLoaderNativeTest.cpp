// DllLoader on the real system, with the test libraries that the build makes: loading by
// narrow and wide name, export lookup, the system's own count of references, copies on many
// threads, and the loader's exceptions caught across the library boundary.
#include "native/ModuleProbe.h"
#include "support/Messages.h"

#include <TestLibraryPaths.h>
#include <Tolvane/Util/DllLoader.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace Tolvane::Testing;
using Tolvane::Util::DllExportNotFoundException;
using Tolvane::Util::DllLoader;
using Tolvane::Util::DllLoaderException;
using Tolvane::Util::LoadDllException;

using AddFunction = int (*)(int, int);
using NameFunction = const char* (*)();
using SecretFunction = int (*)();

const char* OrdinalAsName(std::uintptr_t ordinal)
{
    return reinterpret_cast<const char*>(ordinal);
}

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
    // Every test starts and ends with the test libraries unloaded.
    void SetUp() override
    {
        ASSERT_FALSE(IsModuleLoaded(LibraryPath()));
        ASSERT_FALSE(IsModuleLoaded(WideNamedLibraryPath()));
    }

    void TearDown() override
    {
        EXPECT_FALSE(IsModuleLoaded(LibraryPath()));
        EXPECT_FALSE(IsModuleLoaded(WideNamedLibraryPath()));
    }
};

TEST_F(DllLoaderNativeTest, ExportsByNameGiveOneAddressFromEveryForm)
{
    const TestLibrary library(LibraryPath());
    EXPECT_EQ(library.Add(2, 40), 42);
    EXPECT_EQ(library.Name(), "Plain");
    EXPECT_FALSE(library.Missing());
    EXPECT_EQ(MessageOf<std::logic_error>([&] { return library.Missing().Get(); }),
              "DllLoader::FunctionPointer::Get called on an empty FunctionPointer object.");
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
    } cases[] = {{1, "TolvaneTestAdd"}, {3, "TolvaneTestLength"}, {5, "TolvaneTestLibraryName"}};
    for (const auto& c : cases)
    {
        void* const address = loader.GetProcAddress(c.name);
        EXPECT_EQ(loader.GetProcAddress(c.ordinal), address) << c.ordinal;
        EXPECT_EQ(loader.GetProcAddressNoThrow(c.ordinal), address) << c.ordinal;
        // A name pointer below 0x10000 is an ordinal to Windows, and goes there untouched.
        EXPECT_EQ(loader.GetProcAddressNoThrow(OrdinalAsName(c.ordinal)), address) << c.ordinal;
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
        EXPECT_EQ(loader.GetProcAddressNoThrow(OrdinalAsName(ordinal)), nullptr);
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
}
#endif

TEST_F(DllLoaderNativeTest, FailuresThrowTheirMessagesAcrossTheBoundary)
{
    const DllLoader loader(LibraryPath());
    // Caught by their bases: the type information crosses the boundary intact.
    EXPECT_EQ(MessageOf<DllLoaderException>([&] { loader.GetProcAddress("TolvaneTestMissing"); }),
              "Cannot find DLL export with name 'TolvaneTestMissing'.");
    EXPECT_EQ(MessageOf<DllExportNotFoundException>(
                  [&] { loader.GetProcAddress(static_cast<unsigned short>(65535)); }),
              "Cannot find DLL export with ordinal 65535.");
    EXPECT_EQ(loader.GetProcAddressNoThrow("TolvaneTestMissing"), nullptr);
    EXPECT_EQ(loader.GetProcAddressNoThrow(static_cast<unsigned short>(65535)), nullptr);
    EXPECT_THROW(loader.GetProcAddress(static_cast<const char*>(nullptr)), std::invalid_argument);
    const std::string name = NativePath(std::string("/nonexistent/tolvane-missing.dll"));
    EXPECT_EQ(MessageOf<std::exception>([&] { DllLoader{name}; }),
              "Cannot load DLL '" + name + "'.");
    EXPECT_THROW(DllLoader{name}, LoadDllException);
    EXPECT_EQ(MessageOf<Tolvane::ConvertStringException>([] {
                  Tolvane::Util::StringConversion::Detail::ThrowConvertStringException("c");
              }),
              "c");
    // Cut at the NUL, these names would load the test library.
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
    // Assignment lets go of the old library.
    *separate = DllLoader(NativePath(std::wstring(TOLVANE_TEST_WIDE_NAMED_LIBRARY_W)));
    EXPECT_FALSE(IsModuleLoaded(LibraryPath()));
    EXPECT_TRUE(IsModuleLoaded(WideNamedLibraryPath()));
}

TEST_F(DllLoaderNativeTest, CopiesOnEightThreadsFreeTheLibraryOnce)
{
    std::optional<DllLoader> original(std::in_place, LibraryPath());
    std::atomic<bool> go{false};
    std::atomic<int> wrongResults{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
    {
        // Each thread starts from its own copy; the original goes before they begin.
        threads.emplace_back([mine = *original, &go, &wrongResults, t]() mutable {
            while (!go.load())
            {
                std::this_thread::yield();
            }
            for (int i = 0; i < 2000; ++i)
            {
                DllLoader a(mine);
                const DllLoader b(a);
                a = b;
                mine = a;
                const DllLoader::FunctionPointer<AddFunction> add(mine, "TolvaneTestAdd");
                wrongResults += !add || add.Get()(t, i) != t + i;
            }
        });
    }
    original.reset();
    EXPECT_TRUE(IsModuleLoaded(LibraryPath()));
    go = true;
    for (std::thread& thread : threads)
    {
        thread.join();
    }
    EXPECT_EQ(wrongResults.load(), 0);
}

TEST_F(DllLoaderNativeTest, WideNamesReachTheSystemUnchanged)
{
    {
        const DllLoader narrow(LibraryPath());
        const DllLoader ascii(NativePath(std::wstring(TOLVANE_TEST_LIBRARY_W)));
        EXPECT_EQ(ascii.GetProcAddress("TolvaneTestAdd"), narrow.GetProcAddress("TolvaneTestAdd"));
        // This name has characters outside the ANSI code page.
        const TestLibrary library(NativePath(std::wstring(TOLVANE_TEST_WIDE_NAMED_LIBRARY_W)));
        EXPECT_EQ(library.Name(), "Wide");
    }
#if defined(_WIN32)
    // The same path in narrow form is read in the ANSI code page, which has neither character:
    // only the wide name reaches this file.
    EXPECT_THROW(DllLoader{WideNamedLibraryPath()}, LoadDllException);
#else
    // A lone surrogate names no file here. Were it replaced by U+FFFD, the library copied to
    // the name with U+FFFD would load.
    const std::filesystem::path original(LibraryPath());
    const std::filesystem::path replaced =
        original.parent_path() / "TolvaneTestReplacement\xEF\xBF\xBD.so";
    std::filesystem::copy_file(original, replaced,
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_THROW(DllLoader{original.parent_path().wstring() + L"/TolvaneTestReplacement\xD800.so"},
                 LoadDllException);
    EXPECT_FALSE(IsModuleLoaded(replaced.string()));
    std::filesystem::remove(replaced);
#endif
}

TEST_F(DllLoaderNativeTest, WideNameThatDoesNotLoadKeepsItsMessageWide)
{
    const std::wstring name = NativePath(std::wstring(L"/nonexistent/caf\xE9-\x4E2D.dll"));
    EXPECT_EQ(WideMessageOf<LoadDllException>([&] { DllLoader{name}; }),
              L"Cannot load DLL '" + name + L"'.");
    // what() gives its form in the ANSI code page: on Wine 1252, which lacks U+4E2D; here UTF-8.
#if defined(_WIN32)
    const char* const narrow = "Cannot load DLL 'Z:\\nonexistent\\caf\xE9-?.dll'.";
#else
    const char* const narrow = "Cannot load DLL '/nonexistent/caf\xC3\xA9-\xE4\xB8\xAD.dll'.";
#endif
    EXPECT_EQ(MessageOf<LoadDllException>([&] { DllLoader{name}; }), narrow);
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

} // namespace
