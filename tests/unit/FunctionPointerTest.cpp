// DllLoader::FunctionPointer: binding never throws, an empty one says so, Get() on it throws.
#include "FakeModules.h"

#include <Tolvane/Util/DllLoader.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

namespace {

using Tolvane::Util::DllLoader;
namespace Fake = Tolvane::Util::Os::Fake;

int Twice(int value)
{
    return 2 * value;
}

using TwiceFunction = int (*)(int);
using TwicePointer = DllLoader::FunctionPointer<TwiceFunction>;

// A library wrapper as clients write one: the exports bound once, in the constructor.
class Library : public DllLoader
{
public:
    Library()
        : DllLoader(std::string("Library.dll")), m_Twice(GetThis(), "Twice"),
          m_Missing(GetThis(), "Missing")
    {
    }

    const TwicePointer& TwiceExport() const { return m_Twice; }
    const TwicePointer& MissingExport() const { return m_Missing; }

private:
    TwicePointer m_Twice;
    TwicePointer m_Missing;
};

class FunctionPointerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Fake::ResetModules();
        Fake::FakeModule library;
        const TwiceFunction twice = &Twice;
        library.exportsByName["Twice"] = reinterpret_cast<void*>(twice);
        Fake::Modules().modules["Library.dll"] = library;
    }
};

TEST_F(FunctionPointerTest, BoundToAnExportTestsTrueAndCallsIt)
{
    const Library library;
    ASSERT_TRUE(library.TwiceExport());
    EXPECT_EQ(reinterpret_cast<void*>(library.TwiceExport().Get()),
              library.GetProcAddressNoThrow("Twice"));
    EXPECT_EQ(library.TwiceExport().Get()(21), 42);
    // Binding takes no reference of its own.
    const TwicePointer copy(library.TwiceExport());
    EXPECT_EQ(copy.Get(), library.TwiceExport().Get());
    EXPECT_EQ(Fake::Counts("Library.dll").References(), 1);
}

TEST_F(FunctionPointerTest, EmptyOnesTestFalseAndGetThrowsLogicErrorEachTime)
{
    static_assert(noexcept(TwicePointer(std::declval<const DllLoader&>(), "Twice")),
                  "binding never throws");
    static_assert(!std::is_convertible<TwicePointer, bool>::value, "tested only explicitly");
    const Library library;
    const TwicePointer defaulted;
    for (const TwicePointer* pointer : {&library.MissingExport(), &defaulted, &defaulted})
    {
        EXPECT_FALSE(*pointer);
        try
        {
            pointer->Get();
            ADD_FAILURE() << "Get returned";
        }
        catch (const Tolvane::Exception&)
        {
            ADD_FAILURE() << "not a library exception";
        }
        catch (const std::logic_error& e)
        {
            EXPECT_STREQ(e.what(), "DllLoader::FunctionPointer::Get called on an empty "
                                   "FunctionPointer object.");
        }
    }
}

TEST_F(FunctionPointerTest, DefaultConstructedCanBeBoundLater)
{
    TwicePointer pointer;
    const DllLoader loader(std::string("Library.dll"));
    pointer = TwicePointer(loader, "Twice");
    EXPECT_TRUE(pointer);
    EXPECT_EQ(pointer.Get()(5), 10);
}

} // namespace
