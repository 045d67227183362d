// Fake backend: DisableThreadLibraryCalls records its module and answers from the script.
#include "FakeProcess.h"

namespace Tolvane::Util::Os {

bool DisableThreadLibraryCalls(ModuleHandle module)
{
    Fake::DisableThreadLibraryCallsCalls().push_back(module);
    return Fake::Process().disableThreadLibraryCallsSucceeds;
}

} // namespace Tolvane::Util::Os
