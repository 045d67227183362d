// The conversion rows, and the library calls that every table measures.
#include "common/ConversionCases.h"

#include <stdexcept>

namespace Tolvane::Bench {

using Util::StringConversion::AllowBestFitMapping;
using Util::StringConversion::BestFitMappingPolicy;
using Util::StringConversion::DisallowBestFitMapping;

namespace {

struct Recipe
{
    const char* Name;
    TextKind Kind;
    const char* Encoding;
    BestFitMappingPolicy BestFit;
};

std::vector<ConversionCase> Expand(const std::vector<Recipe>& recipes)
{
    std::vector<ConversionCase> cases;
    for (const std::size_t length : {sc_ShortText, sc_LongText})
    {
        for (const Recipe& recipe : recipes)
        {
            cases.push_back(MakeCase(std::string(recipe.Name) + "/" + CountLabel(length),
                                     recipe.Kind, length, recipe.Encoding, recipe.BestFit));
        }
    }
    return cases;
}

} // namespace

std::vector<ConversionCase> WideToNarrowCases()
{
    return Expand({
        {"utf8-ascii", TextKind::Ascii, "UTF-8", AllowBestFitMapping},
        {"utf8-mixed", TextKind::Mixed, "UTF-8", AllowBestFitMapping},
        {"cp1252-bestfit", TextKind::Western, "CP1252", AllowBestFitMapping},
        {"cp1252-nobestfit", TextKind::Western, "CP1252", DisallowBestFitMapping},
        {"cp932", TextKind::Japanese, "CP932", AllowBestFitMapping},
    });
}

std::vector<ConversionCase> NarrowToWideCases()
{
    return Expand({
        {"utf8-ascii", TextKind::Ascii, "UTF-8", AllowBestFitMapping},
        {"utf8-mixed", TextKind::Mixed, "UTF-8", AllowBestFitMapping},
        {"cp1252", TextKind::Western, "CP1252", AllowBestFitMapping},
        {"cp932", TextKind::Japanese, "CP932", AllowBestFitMapping},
    });
}

ConversionCase MakeCase(const std::string& row, TextKind kind, std::size_t characters,
                        const std::string& encoding, BestFitMappingPolicy bestFit)
{
    ConversionCase conversion{row, encoding, bestFit, MakeText(kind, characters), {}};
    if (!LibraryToNarrow(conversion, conversion.Narrow))
    {
        throw std::runtime_error("the library cannot convert the text of " + row);
    }
    return conversion;
}

bool LibraryToNarrow(const ConversionCase& conversion, std::string& destination)
{
    bool usedDefaultChar = false;
    return Util::StringConversion::Detail::ConvertWStringToString(
        conversion.Wide, destination, "", conversion.Encoding, conversion.BestFit,
        Util::StringConversion::UseSpecifiedDefaultChar, '?', usedDefaultChar);
}

bool LibraryToWide(const ConversionCase& conversion, std::wstring& destination)
{
    return Util::StringConversion::Detail::ConvertStringToWString(conversion.Narrow, destination,
                                                                  conversion.Encoding, "");
}

std::string CountLabel(std::size_t count)
{
    if (count >= 1024 * 1024 && count % (1024 * 1024) == 0)
    {
        return std::to_string(count / (1024 * 1024)) + "Mi";
    }
    if (count >= 1024 && count % 1024 == 0)
    {
        return std::to_string(count / 1024) + "Ki";
    }
    return std::to_string(count);
}

} // namespace Tolvane::Bench
