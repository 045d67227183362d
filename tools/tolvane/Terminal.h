// Whether the program's output goes to a terminal (for the live countdown of `wait`).
#pragma once

namespace Tolvane
{
namespace Tool
{

bool IsStandardErrorATerminal();

} // namespace Tool
} // namespace Tolvane
