// Fake backend: DisableThreadLibraryCalls records its module and answers from the script.
#include "FakeProcess.h"

namespace Tolvane {
namespace Util {
namespace Os {
namespace Fake {

namespace {

struct State
{
    ProcessScript script;
    std::vector<ModuleHandle> calls;
};

State& TheState()
{
    static State state;
    return state;
}

} // namespace

ProcessScript& Process()
{
    return TheState().script;
}

const std::vector<ModuleHandle>& DisableThreadLibraryCallsCalls()
{
    return TheState().calls;
}

void ResetProcess()
{
    TheState() = State{};
}

} // namespace Fake

bool DisableThreadLibraryCalls(ModuleHandle module)
{
    Fake::TheState().calls.push_back(module);
    return Fake::TheState().script.disableThreadLibraryCallsSucceeds;
}

} // namespace Os
} // namespace Util
} // namespace Tolvane
