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
};

// Each call records the size field the library passed.
using SystemInfoRecorder = Recorder<SystemInfoScript, std::uint32_t>;
inline constexpr auto SystemInfo = SystemInfoRecorder::Script;
inline constexpr auto VersionQuerySizes = SystemInfoRecorder::Calls;
inline constexpr auto ResetSystemInfo = SystemInfoRecorder::Reset;

// A scripted cursor position, or a failing query that leaves garbage behind.
struct CursorScript
{
    bool succeeds = true;
    Point position{0, 0};
};

// Each query records the point it wrote.
using CursorRecorder = Recorder<CursorScript, Point>;
inline constexpr auto Cursor = CursorRecorder::Script;
inline constexpr auto ResetCursor = CursorRecorder::Reset;

struct ProcessScript
{
    bool disableThreadLibraryCallsSucceeds = true;
};

// Each DisableThreadLibraryCalls call records its module handle.
using ProcessRecorder = Recorder<ProcessScript, ModuleHandle>;
inline constexpr auto Process = ProcessRecorder::Script;
inline constexpr auto DisableThreadLibraryCallsCalls = ProcessRecorder::Calls;
inline constexpr auto ResetProcess = ProcessRecorder::Reset;

} // namespace Tolvane::Util::Os::Fake
