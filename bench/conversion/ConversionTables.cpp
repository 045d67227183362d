// The conversion tables' rows and their contenders.
#include "conversion/ConversionTables.h"

#include "conversion/ConversionRows.h"
#include "conversion/IconvSubjects.h"
#include "conversion/IcuSubjects.h"
#include "conversion/LibrarySubjects.h"
#include "conversion/LoopSubjects.h"

namespace Tolvane::Bench {

namespace {

std::vector<Contender<char>> ToNarrowContenders(const SharedCase& conversion)
{
    std::vector<Contender<char>> contenders{
        {"tolvane",
         [conversion] { return LibraryToNarrowSubject(*conversion, Destination::Kept); }},
        {"iconv", [conversion] { return IconvToNarrowSubject(*conversion); }},
        {"icu", [conversion] { return IcuToNarrowSubject(*conversion); }},
        {"loop", nullptr}};
    if (HasLoopToNarrow(*conversion))
    {
        contenders.back().Make = [conversion] { return LoopToNarrowSubject(*conversion); };
    }
    return contenders;
}

std::vector<Contender<wchar_t>> ToWideContenders(const SharedCase& conversion)
{
    std::vector<Contender<wchar_t>> contenders{
        {"tolvane", [conversion] { return LibraryToWideSubject(*conversion, Destination::Kept); }},
        {"iconv", [conversion] { return IconvToWideSubject(*conversion); }},
        {"icu", [conversion] { return IcuToWideSubject(*conversion); }},
        {"loop", nullptr}};
    if (HasLoopToWide(*conversion))
    {
        contenders.back().Make = [conversion] { return LoopToWideSubject(*conversion); };
    }
    return contenders;
}

} // namespace

void RegisterFixedRows(const std::vector<SharedCase>& wideToNarrow,
                       const std::vector<SharedCase>& narrowToWide)
{
    for (const SharedCase& conversion : wideToNarrow)
    {
        RegisterRow("w2n", conversion->Row, ToNarrowContenders(conversion), 0, true);
    }
    for (const SharedCase& conversion : narrowToWide)
    {
        RegisterRow("n2w", conversion->Row, ToWideContenders(conversion), 0, true);
    }
}

void RegisterFreshDestinationRows(const std::vector<SharedCase>& wideToNarrow,
                                  const std::vector<SharedCase>& narrowToWide)
{
    for (const SharedCase& conversion : wideToNarrow)
    {
        RegisterRow(
            "fresh-dest", "w2n-" + conversion->Row,
            std::vector<Contender<char>>{
                {"tolvane",
                 [conversion] { return LibraryToNarrowSubject(*conversion, Destination::Fresh); }},
                {"kept-dest",
                 [conversion] { return LibraryToNarrowSubject(*conversion, Destination::Kept); }}},
            0, false);
    }
    for (const SharedCase& conversion : narrowToWide)
    {
        RegisterRow(
            "fresh-dest", "n2w-" + conversion->Row,
            std::vector<Contender<wchar_t>>{
                {"tolvane",
                 [conversion] { return LibraryToWideSubject(*conversion, Destination::Fresh); }},
                {"kept-dest",
                 [conversion] { return LibraryToWideSubject(*conversion, Destination::Kept); }}},
            0, false);
    }
}

void RegisterSizeSweep()
{
    using Util::StringConversion::DisallowBestFitMapping;
    std::vector<SharedCase> cases;
    for (std::size_t size = 16; size <= 16 * 1024 * 1024; size *= 16)
    {
        const std::string label = CountLabel(size) + "B";
        cases.push_back(std::make_shared<const ConversionCase>(MakeCase(
            "utf8-ascii/" + label, TextKind::Ascii, size, "UTF-8", DisallowBestFitMapping)));
        cases.push_back(std::make_shared<const ConversionCase>(MakeCase(
            "cp1252/" + label, TextKind::Western, size, "CP1252", DisallowBestFitMapping)));
    }
    for (const SharedCase& conversion : cases)
    {
        RegisterRow("sweep-w2n", conversion->Row, ToNarrowContenders(conversion),
                    static_cast<double>(conversion->Narrow.size()), false);
    }
    for (const SharedCase& conversion : cases)
    {
        RegisterRow("sweep-n2w", conversion->Row, ToWideContenders(conversion),
                    static_cast<double>(conversion->Narrow.size()), false);
    }
}

} // namespace Tolvane::Bench
