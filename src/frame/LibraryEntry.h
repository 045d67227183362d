// What the library does when the system attaches it to a process or detaches it.
#pragma once

#include "os/Handles.h"

#include <cstdint>

namespace Tolvane::Util::Frame {

constexpr std::uint32_t ReasonProcessDetach = 0; // DLL_PROCESS_DETACH
constexpr std::uint32_t ReasonProcessAttach = 1; // DLL_PROCESS_ATTACH
constexpr std::uint32_t ReasonThreadAttach = 2;  // DLL_THREAD_ATTACH
constexpr std::uint32_t ReasonThreadDetach = 3;  // DLL_THREAD_DETACH

// The body of the entry function. At process attach it turns off thread notifications, and
// ignores whether that worked (MinGW DLLs carry a TLS directory, for which the system refuses);
// every other reason does nothing. It never fails a load: the result is always true.
bool OnLibraryEntry(Os::ModuleHandle module, std::uint32_t reason);

} // namespace Tolvane::Util::Frame
