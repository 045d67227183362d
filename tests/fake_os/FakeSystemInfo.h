// Fake backend: a scripted version query.
#pragma once

#include "os/SystemInfo.h"

#include <optional>
#include <vector>

namespace Tolvane::Util::Os::Fake {

struct SystemInfoScript
{
    // The record GetVersionExA hands out (its size field aside), or none for a failing call.
    std::optional<VersionInfoA> version;
};

SystemInfoScript& SystemInfo();
// The size field of each query as the library passed it.
const std::vector<std::uint32_t>& VersionQuerySizes();
void ResetSystemInfo();

// A record for platform `platformId` at version major.minor.
VersionInfoA MakeVersion(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor);

} // namespace Tolvane::Util::Os::Fake
