// Fake backend: the small system queries (the version record, the cursor position, turning off
// thread notifications), each answered from a script and recorded.
#pragma once

#include "Recorder.h"
#include "os/Cursor.h"
#include "os/Process.h"
#include "os/SystemInfo.h"

#include <optional>

namespace Tolvane::Util::Os::Fake {

// A record for platform `platformId` at version major.minor.
inline VersionInfoA MakeVersion(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor)
{
    return VersionInfoA{sizeof(VersionInfoA), major, minor, 0, platformId, {}};
}

struct SystemInfoScript
{
    // The record GetVersionExA hands out (its size field aside), or none for a failing call.
    std::optional<VersionInfoA> version = MakeVersion(PlatformWin32Nt, 6, 1);
    // The cursor position, or a failing query that leaves garbage behind.
    bool cursorSucceeds = true;
    Point cursor{0, 0};
    bool disableThreadLibraryCallsSucceeds = true;
    // Not scripted but recorded: how often the cursor was asked for, and the module of each
    // DisableThreadLibraryCalls.
    int cursorQueries = 0;
    std::vector<ModuleHandle> disabledModules;
};

// Each version query records the size field the library passed.
using SystemInfoRecorder = Recorder<SystemInfoScript, std::uint32_t>;
inline constexpr auto SystemInfo = SystemInfoRecorder::Script;
inline constexpr auto VersionQuerySizes = SystemInfoRecorder::Calls;
inline constexpr auto ResetSystemInfo = SystemInfoRecorder::Reset;

} // namespace Tolvane::Util::Os::Fake
