// Fake backend: operations on the library's own module, recorded.
#pragma once

#include "os/Process.h"

#include <vector>

namespace Tolvane::Util::Os::Fake {

struct ProcessScript
{
    bool disableThreadLibraryCallsSucceeds = true;
};

ProcessScript& Process();
// The module handle of each DisableThreadLibraryCalls call.
const std::vector<ModuleHandle>& DisableThreadLibraryCallsCalls();
void ResetProcess();

} // namespace Tolvane::Util::Os::Fake
