// The OS seam's version query (GetVersionExA).
#pragma once

#include <cstdint>

namespace Tolvane::Util::Os {

constexpr std::uint32_t PlatformWin32Windows = 1; // VER_PLATFORM_WIN32_WINDOWS
constexpr std::uint32_t PlatformWin32Nt = 2;      // VER_PLATFORM_WIN32_NT

// The basic OSVERSIONINFOA record, byte for byte.
struct VersionInfoA
{
    std::uint32_t dwOSVersionInfoSize;
    std::uint32_t dwMajorVersion;
    std::uint32_t dwMinorVersion;
    std::uint32_t dwBuildNumber;
    std::uint32_t dwPlatformId;
    char szCSDVersion[128];
};

static_assert(sizeof(VersionInfoA) == 148, "OSVERSIONINFOA is 148 bytes");

// Fills `info`, whose size field the caller has set; false when the query fails.
bool GetVersionExA(VersionInfoA& info);

} // namespace Tolvane::Util::Os
