// Fake backend: a scripted cursor position, or a failing query.
#pragma once

#include "os/Cursor.h"

#include <cstddef>

namespace Tolvane::Util::Os::Fake {

struct CursorScript
{
    bool succeeds = true;
    Point position{0, 0};
    // What a failing query leaves in the caller's point (the real one leaves it unspecified).
    Point garbageOnFailure{0x5A5A5A5A, -0x5A5A5A5B};
};

CursorScript& Cursor();
std::size_t CursorQueries();
void ResetCursor();

} // namespace Tolvane::Util::Os::Fake
