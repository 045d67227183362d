// posix backend: a shared object gets no thread notifications, so there is nothing to stop.
#include "os/Process.h"

namespace Tolvane
{
namespace Util
{
namespace Os
{

bool DisableThreadLibraryCalls(ModuleHandle /*module*/)
{
    return true;
}

} // namespace Os
} // namespace Util
} // namespace Tolvane
