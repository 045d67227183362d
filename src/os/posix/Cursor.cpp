// posix backend: there is no desktop cursor to read, so the query always fails.
#include "os/Cursor.h"

namespace Tolvane::Util::Os {

bool GetCursorPos(Point& point)
{
    point = Point{0, 0};
    return false;
}

} // namespace Tolvane::Util::Os
