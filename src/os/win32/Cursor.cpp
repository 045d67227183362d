// win32 backend: user32's cursor position.
#include "os/Cursor.h"

#include "os/win32/WindowsApi.h"

namespace Tolvane::Util::Os {

bool GetCursorPos(Point& point)
{
    POINT native{};
    if (!::GetCursorPos(&native))
    {
        return false;
    }
    point = Point{static_cast<std::int32_t>(native.x), static_cast<std::int32_t>(native.y)};
    return true;
}

} // namespace Tolvane::Util::Os
