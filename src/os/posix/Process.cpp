// posix backend: a shared object gets no thread notifications, so there is nothing to stop.
#include "os/Process.h"

namespace Tolvane::Util::Os {

bool DisableThreadLibraryCalls(ModuleHandle /*module*/)
{
    return true;
}

} // namespace Tolvane::Util::Os
