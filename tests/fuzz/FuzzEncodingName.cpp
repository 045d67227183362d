// Fuzzes the encoding-name parser against the rules written out independently here, and checks
// that both conversions read a name as the parser does.
#include "FuzzSupport.h"

#include "strings/EncodingName.h"

#include <algorithm>

using namespace TolvaneFuzz;

namespace {

constexpr std::int64_t Unrecognised = -1;
constexpr std::int64_t BadNumber = -2;

// What a narrow-side name reads as: its code page, Unrecognised or BadNumber. After "CP" comes
// an optional sign and decimal digits up to 2^32 - 1; a minus wraps round as unsigned
// arithmetic does.
std::int64_t Expected(const std::string& name)
{
    const std::string fixed[] = {"", "ANSI", "OEM", "UTF-7", "UTF-8"};
    const std::int64_t pages[] = {0, 0, 1, 65000, 65001};
    if (name.size() <= 2 || name.compare(0, 2, "CP") != 0)
    {
        const auto found = std::find(std::begin(fixed), std::end(fixed), name) - std::begin(fixed);
        return found < 5 ? pages[found] : Unrecognised;
    }
    const std::size_t digits = name[2] == '+' || name[2] == '-' ? 3 : 2;
    std::int64_t value = digits < name.size() ? 0 : BadNumber;
    for (std::size_t i = digits; i < name.size() && value != BadNumber; ++i)
    {
        value = name[i] < '0' || name[i] > '9' ? BadNumber : value * 10 + (name[i] - '0');
        value = value > 0xFFFFFFFF ? BadNumber : value;
    }
    return name[2] == '-' && value > 0 ? 0x100000000 - value : value;
}

// The verdict of `read`, which gives a code page or throws as a conversion does.
template <typename Read>
std::int64_t Verdict(Read read)
{
    try
    {
        return read();
    }
    catch (const std::invalid_argument&)
    {
        return Unrecognised;
    }
    catch (const boost::bad_lexical_cast&)
    {
        return BadNumber;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Names are short; a prefix from the vocabulary makes the near misses likely.
    FuzzedDataProvider input(data, size);
    static const char* const prefixes[] = {"", "CP", "UTF-", "ANSI", "OEM", "CP+", "CP-"};
    const std::string name = prefixes[input.ConsumeIntegralInRange<std::size_t>(0, 6)] +
                             input.ConsumeRemainingBytesAsString();
    const std::int64_t expected = Expected(name);
    Check(Verdict([&] {
              const auto page = Tolvane::Util::StringConversion::ResolveCodePage(name);
              return page ? std::int64_t{*page} : Unrecognised;
          }) == expected,
          "name resolved wrongly");

    // Both conversions read it so on the narrow side, and on the wide side only "" and "UTF-16"
    // pass. (A code page the platform lacks gives false, not an exception.)
    std::wstring wide;
    std::string narrow;
    bool used = false;
    const std::int64_t kind = std::min<std::int64_t>(expected, 0);
    Check(Verdict([&] {
              Detail::ConvertStringToWString("A", wide, name, "");
              return std::int64_t{0};
          }) == kind,
          "narrow-to-wide read the name differently");
    Check(Verdict([&] {
              Detail::ConvertWStringToString(L"A", narrow, "", name, AllowBestFitMapping,
                                             UseSpecifiedDefaultChar, '?', used);
              return std::int64_t{0};
          }) == kind,
          "wide-to-narrow read the name differently");
    Check(Verdict([&] {
              Detail::ConvertStringToWString("A", wide, "UTF-8", name);
              return std::int64_t{0};
          }) == (name.empty() || name == "UTF-16" ? 0 : Unrecognised),
          "wide-side name misjudged");
    return 0;
}
