// Fake backend: GetCursorPos answers from the script and is recorded.
#include "FakeCursor.h"

namespace Tolvane::Util::Os {

bool GetCursorPos(Point& point)
{
    // The real query leaves the point unspecified when it fails.
    point = Fake::Cursor().succeeds ? Fake::Cursor().position : Point{-1, 77};
    Fake::CursorRecorder::Calls().push_back(point);
    return Fake::Cursor().succeeds;
}

} // namespace Tolvane::Util::Os
