// Fake backend: operations on the library's own module, recorded.
#pragma once

#include "Recorder.h"
#include "os/Process.h"

namespace Tolvane::Util::Os::Fake {

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
