// The OS seam's mouse-cursor position (user32's GetCursorPos).
#pragma once

#include <cstdint>

namespace Tolvane::Util::Os {

// A POINT in screen coordinates.
struct Point
{
    std::int32_t x;
    std::int32_t y;
};

// Writes the cursor position to `point`; false when there is none to read (no interactive
// desktop), in which case `point` is unspecified.
bool GetCursorPos(Point& point);

} // namespace Tolvane::Util::Os
