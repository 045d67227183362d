// posix backend: there is no desktop cursor to read, so the query always fails.
#include "os/Cursor.h"

namespace Tolvane
{
namespace Util
{
namespace Os
{

bool GetCursorPos(Point& point)
{
    point = Point{0, 0};
    return false;
}

} // namespace Os
} // namespace Util
} // namespace Tolvane
