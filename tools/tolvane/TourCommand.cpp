// tolvane tour: a short guided run through every service of the library on this machine.
#include "CodePageProbe.h"
#include "Commands.h"

#include <Tolvane/Exception.h>
#include <Tolvane/Util/Characters.h>
#include <Tolvane/Util/DllLoader.h>
#include <Tolvane/Util/OperatingSystem.h>
#include <Tolvane/Util/RandomNumberGenerator.h>
#include <Tolvane/Util/StringConversion.h>
#include <Tolvane/Util/TimeoutClock.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace Tolvane::Tool {

namespace {

using namespace Util::StringConversion;

std::string Hex(const std::string& bytes)
{
    std::string text;
    char piece[4];
    for (char b : bytes)
    {
        std::snprintf(piece, sizeof(piece), "%02X ", static_cast<unsigned char>(b));
        text += piece;
    }
    return text.empty() ? text : text.substr(0, text.size() - 1);
}

std::string CodePoints(const std::wstring& text)
{
    std::string result;
    char piece[12];
    for (wchar_t unit : text)
    {
        std::snprintf(piece, sizeof(piece), "U+%04X ", static_cast<unsigned>(unit));
        result += piece;
    }
    return result.empty() ? result : result.substr(0, result.size() - 1);
}

void ShowWideToNarrow(const char* label, const std::wstring& text, const char* encoding,
                      BestFitMappingPolicy bestFit, CharacterSubstitutionPolicy substitution,
                      char defaultChar)
{
    std::string out;
    bool used = false;
    if (Detail::ConvertWStringToString(text, out, "", encoding, bestFit, substitution, defaultChar,
                                       used))
    {
        std::printf("    %-28s %-12s default character used: %s\n", label, Hex(out).c_str(),
                    used ? "yes" : "no");
    }
    else
    {
        std::printf("    %-28s cannot be converted\n", label);
    }
}

void TourConversions()
{
    std::printf("1. Text conversion\n");
    // A fullwidth A, which Windows-1252 has only as a look-alike, the euro sign and an e-acute.
    const std::wstring text = L"\xFF21\x20AC\x00E9";
    std::printf("  \"%s\" (%s) to CP1252:\n", "\xEF\xBC\xA1\xE2\x82\xAC\xC3\xA9",
                CodePoints(text).c_str());
    ShowWideToNarrow("best fit allowed:", text, "CP1252", AllowBestFitMapping,
                     UseSpecifiedDefaultChar, '?');
    ShowWideToNarrow("best fit forbidden:", text, "CP1252", DisallowBestFitMapping,
                     UseSpecifiedDefaultChar, '?');
    ShowWideToNarrow("forbidden, default '#':", text, "CP1252", DisallowBestFitMapping,
                     UseSpecifiedDefaultChar, '#');
    ShowWideToNarrow("forbidden, system default:", text, "CP1252", DisallowBestFitMapping,
                     UseSystemDefaultChar, '#');
    ShowWideToNarrow("to UTF-8:", text, "UTF-8", DisallowBestFitMapping, UseSpecifiedDefaultChar,
                     '?');
    const std::string oem = "Gr\x81\xE1"
                            "e";
    std::wstring decoded;
    Detail::ConvertStringToWString(oem, decoded, "CP437", "");
    std::printf("  CP437 bytes %s decode to %s\n", Hex(oem).c_str(), CodePoints(decoded).c_str());
    try
    {
        Detail::ConvertStringToWString("abc", decoded, "latin1", "");
    }
    catch (const std::invalid_argument& e)
    {
        std::printf("  an unknown encoding name is a misuse: %s\n", e.what());
    }
}

void TourLibraries()
{
    std::printf("\n2. Dynamic libraries\n");
#if defined(_WIN32)
    const std::string library = "KERNEL32.DLL";
    const char* symbol = "GetTickCount";
#else
    const std::string library = "libc.so.6";
    const char* symbol = "strlen";
#endif
    const std::wstring wideLibrary(library.begin(), library.end());
    const Util::DllLoader byNarrowName(library, 0);
    const Util::DllLoader byWideName(wideLibrary, 0);
    std::printf("  %s by narrow name: %s at %p\n", library.c_str(), symbol,
                byNarrowName.GetProcAddress(symbol));
    std::printf("  %s by wide name:   %s at %p\n", library.c_str(), symbol,
                byWideName.GetProcAddress(symbol));
    try
    {
        byNarrowName.GetProcAddress("NoSuchExport");
    }
    catch (const Util::DllLoaderException& e)
    {
        std::printf("  a missing export: %s\n", e.what());
    }
    try
    {
        const Util::DllLoader missing(std::wstring(L"biblioth\x00E8que-absente"), 0);
    }
    catch (const Exception& e)
    {
        std::printf("  a missing library (wide name): %s\n", e.what());
    }
}

void TourRandom()
{
    std::printf("\n3. Random numbers\n");
    Util::RandomNumberGenerator generator;
    generator.Seed(5489);
    std::printf("  seed 5489, ten dice:");
    for (int i = 0; i < 10; ++i)
    {
        std::printf(" %ld", static_cast<long>(generator.GetNumber(1, 6)));
    }
    generator.Seed();
    std::printf("\n  seeded from the system, a number from 1 to 1000000: %ld\n",
                static_cast<long>(generator.GetNumber(1, 1000000)));
}

void TourTimeout()
{
    std::printf("\n4. Timeout clock\n");
    const auto start = std::chrono::steady_clock::now();
    const Util::TimeoutClock clock(300);
    std::printf("  a 300 ms clock; safe first sleep: %llu ms\n",
                static_cast<unsigned long long>(clock.GetSafeWaitDuration(
                    Util::AbstractTimeoutClock::sc_MaximumSafeWaitDuration)));
    clock.Wait();
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::printf("  Wait() returned after %lld ms; %llu ms remain\n",
                static_cast<long long>(waited.count()),
                static_cast<unsigned long long>(clock.GetRemainingMilliseconds()));
}

void TourSystem()
{
    std::printf("\n5. This system\n");
    const std::optional<unsigned> ansi = IdentifyCodePage("ANSI");
    std::printf("  Windows NT: %s; XP or later: %s; ANSI code page: %s\n",
                Util::IsWindowsNtPlatform() ? "yes" : "no",
                Util::IsWindowsXpOrHigher() ? "yes" : "no",
                ansi ? std::to_string(*ansi).c_str() : "unknown");
    std::printf("  hexadecimal digit 'c' is %d; '7' is a decimal digit: %s\n",
                Util::DecodeHexadecimalDigit('c'), Util::IsDecimalDigit('7') ? "yes" : "no");
}

int RunTour()
{
    std::printf("TolvaneUtil %s: a tour\n\n", TOLVANE_VERSION);
    try
    {
        TourConversions();
        TourLibraries();
        TourRandom();
        TourTimeout();
        TourSystem();
    }
    catch (const std::exception& e)
    {
        std::fflush(stdout);
        Fail(ExitFailure, std::string("tolvane tour: unexpected failure: ") + e.what());
    }
    return ExitSuccess;
}

} // namespace

void AddTourCommand(CLI::App& app)
{
    CLI::App* command =
        app.add_subcommand("tour", "A short guided run through every service on this machine");
    command->callback([] { throw CLI::RuntimeError(RunTour()); });
}

} // namespace Tolvane::Tool
