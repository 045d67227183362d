// Fuzzes the encoding-name parser against the rules written out independently here, and checks
// that both conversions answer a name as the parser reads it.
#include "FuzzSupport.h"

#include "strings/EncodingName.h"

#include <Tolvane/Util/StringConversion.h>

#include <boost/lexical_cast.hpp>

#include <cstring>
#include <stdexcept>

using namespace Tolvane::Util::StringConversion;
using TolvaneFuzz::Check;

namespace {

enum class Verdict
{
    CodePage,
    Unrecognised,
    BadNumber
};

// The number after "CP": an optional sign, then decimal digits only, at most 2^32 - 1 in
// magnitude; a minus sign wraps the value round as unsigned arithmetic does.
Verdict ExpectedNumber(const std::string& digits, std::uint32_t& codePage)
{
    std::size_t i = 0;
    const bool negative = !digits.empty() && digits[0] == '-';
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+'))
    {
        i = 1;
    }
    if (i == digits.size())
    {
        return Verdict::BadNumber;
    }
    std::uint64_t value = 0;
    for (; i < digits.size(); ++i)
    {
        if (digits[i] < '0' || digits[i] > '9')
        {
            return Verdict::BadNumber;
        }
        value = value * 10 + static_cast<std::uint64_t>(digits[i] - '0');
        if (value > 0xFFFFFFFFU)
        {
            return Verdict::BadNumber;
        }
    }
    codePage = static_cast<std::uint32_t>(negative ? 0U - value : value);
    return Verdict::CodePage;
}

Verdict Expected(const std::string& name, std::uint32_t& codePage)
{
    if (name.empty() || name == "ANSI")
    {
        codePage = 0;
        return Verdict::CodePage;
    }
    if (name.size() > 2 && name.compare(0, 2, "CP") == 0)
    {
        return ExpectedNumber(name.substr(2), codePage);
    }
    const char* const fixed[] = {"OEM", "UTF-7", "UTF-8"};
    const std::uint32_t pages[] = {1, 65000, 65001};
    for (std::size_t k = 0; k < 3; ++k)
    {
        if (name == fixed[k])
        {
            codePage = pages[k];
            return Verdict::CodePage;
        }
    }
    return Verdict::Unrecognised;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Names are short; a prefix from the vocabulary makes the near misses likely.
    FuzzedDataProvider input(data, size);
    static const char* const prefixes[] = {"", "CP", "UTF-", "ANSI", "OEM", "CP+", "CP-"};
    const std::string name = prefixes[input.ConsumeIntegralInRange<std::size_t>(0, 6)] +
                             input.ConsumeRemainingBytesAsString();

    std::uint32_t expectedPage = 0;
    const Verdict expected = Expected(name, expectedPage);
    Verdict actual = Verdict::Unrecognised;
    std::optional<std::uint32_t> page;
    try
    {
        page = ResolveCodePage(name);
        actual = page ? Verdict::CodePage : Verdict::Unrecognised;
    }
    catch (const boost::bad_lexical_cast&)
    {
        actual = Verdict::BadNumber;
    }
    Check(actual == expected, "name resolved to the wrong kind of answer");
    Check(!page || *page == expectedPage, "name resolved to the wrong code page");

    // Both conversions throw exactly as the name reads: with the name on the narrow side...
    std::wstring wide;
    std::string narrow;
    bool used = false;
    for (int direction = 0; direction < 2; ++direction)
    {
        Verdict seen = Verdict::CodePage;
        try
        {
            if (direction == 0)
            {
                static_cast<void>(Detail::ConvertStringToWString("A", wide, name, ""));
            }
            else
            {
                static_cast<void>(
                    Detail::ConvertWStringToString(L"A", narrow, "", name, AllowBestFitMapping,
                                                   UseSpecifiedDefaultChar, '?', used));
            }
        }
        catch (const std::invalid_argument& e)
        {
            seen = Verdict::Unrecognised;
            Check(std::strstr(e.what(), direction == 0
                                            ? ": invalid source encoding."
                                            : ": invalid destination encoding.") != nullptr,
                  "invalid_argument names the wrong side");
        }
        catch (const boost::bad_lexical_cast&)
        {
            seen = Verdict::BadNumber;
        }
        Check(seen == expected, "a conversion read the name differently");
    }
    // ... and on the wide side, where only "" and "UTF-16" pass.
    bool rejected = false;
    try
    {
        static_cast<void>(Detail::ConvertStringToWString("A", wide, "UTF-8", name));
    }
    catch (const std::invalid_argument&)
    {
        rejected = true;
    }
    Check(rejected == (!name.empty() && name != "UTF-16"),
          "wide-side name misjudged by the conversion");
    return 0;
}
