// The encoding names the program accepts, and the code pages the library supports here.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace Tolvane::Tool {

// The library's own name for what the user wrote: the library's names as they are, and
// case-insensitively common aliases ("windows-1252", "utf8", "latin1", "shift_jis") and the
// forms cp<n>, windows-<n>, ibm<n> and <n>. Nothing for an unknown name.
std::optional<std::string> ToLibraryEncodingName(const std::string& name);

// Whether the library can convert from and to `libraryName` on this system.
bool IsEncodingAvailable(const std::string& libraryName);

struct CodePageEntry
{
    unsigned number;
    std::string libraryName;
    std::string aliases; // blank-separated
    std::string description;
};

// Every code page the library converts on this system, found by asking it, in number order.
std::vector<CodePageEntry> ListAvailableCodePages();

} // namespace Tolvane::Tool
