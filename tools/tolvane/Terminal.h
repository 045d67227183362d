// The terminal: whether output goes to one (for the countdown of `wait`), and its encoding.
#pragma once

namespace Tolvane::Tool {

bool IsStandardErrorATerminal();

// On Windows, makes the console show the program's UTF-8 messages (file names and all) until
// the program ends; elsewhere terminals take UTF-8 already.
void UseUtf8Console();

} // namespace Tolvane::Tool
