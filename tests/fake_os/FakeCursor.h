// Fake backend: a scripted cursor position, or a failing query that leaves garbage behind.
#pragma once

#include "Recorder.h"
#include "os/Cursor.h"

namespace Tolvane::Util::Os::Fake {

struct CursorScript
{
    bool succeeds = true;
    Point position{0, 0};
};

// Each query records the point it wrote.
using CursorRecorder = Recorder<CursorScript, Point>;
inline constexpr auto Cursor = CursorRecorder::Script;
inline constexpr auto ResetCursor = CursorRecorder::Reset;

} // namespace Tolvane::Util::Os::Fake
