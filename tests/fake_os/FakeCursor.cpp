// Fake backend: GetCursorPos answers from the script and counts its calls.
#include "FakeCursor.h"

namespace Tolvane {
namespace Util {
namespace Os {
namespace Fake {

namespace {

struct State
{
    CursorScript script;
    std::size_t queries = 0;
};

State& TheState()
{
    static State state;
    return state;
}

} // namespace

CursorScript& Cursor()
{
    return TheState().script;
}

std::size_t CursorQueries()
{
    return TheState().queries;
}

void ResetCursor()
{
    TheState() = State{};
}

} // namespace Fake

bool GetCursorPos(Point& point)
{
    Fake::State& state = Fake::TheState();
    ++state.queries;
    point = state.script.succeeds ? state.script.position : state.script.garbageOnFailure;
    return state.script.succeeds;
}

} // namespace Os
} // namespace Util
} // namespace Tolvane
