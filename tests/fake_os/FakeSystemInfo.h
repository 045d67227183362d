// Fake backend: a scripted version query.
#pragma once

#include "Recorder.h"
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

} // namespace Tolvane::Util::Os::Fake
