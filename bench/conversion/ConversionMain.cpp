// The conversion benchmark: the library's conversions beside iconv, ICU and plain loops.
#include "common/RatioReporter.h"
#include "conversion/ConversionMemory.h"
#include "conversion/ConversionTables.h"

#include <clocale>
#include <iostream>

int main(int argc, char** argv)
{
    using namespace Tolvane::Bench;
    // iconv's "//TRANSLIT" (its best fit) finds look-alikes through the locale: one that has
    // them, the same on every machine.
    std::setlocale(LC_CTYPE, "C.UTF-8");
    std::vector<SharedCase> wideToNarrow;
    std::vector<SharedCase> narrowToWide;
    for (ConversionCase& conversion : WideToNarrowCases())
    {
        wideToNarrow.push_back(std::make_shared<const ConversionCase>(std::move(conversion)));
    }
    for (ConversionCase& conversion : NarrowToWideCases())
    {
        narrowToWide.push_back(std::make_shared<const ConversionCase>(std::move(conversion)));
    }
    RegisterFixedRows(wideToNarrow, narrowToWide);
    RegisterFreshDestinationRows(wideToNarrow, narrowToWide);
    RegisterSizeSweep();

    const int status = RunBenchmarks(argc, argv);
    if (status == 0)
    {
        PrintConversionMemory(std::cout, WideToNarrowCases(), NarrowToWideCases());
    }
    return status;
}
