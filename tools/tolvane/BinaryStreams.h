// Byte-exact standard input and output (Windows would translate line ends otherwise).
#pragma once

#include <string>

namespace Tolvane
{
namespace Tool
{

// Reads all of standard input, or of the file at `path` when it is not empty. Throws
// std::runtime_error with a message naming the file when it cannot be read.
std::string ReadAllBytes(const std::string& path);

// Writes `bytes` to standard output unchanged; false when the write failed.
bool WriteAllBytes(const std::string& bytes);

} // namespace Tool
} // namespace Tolvane
