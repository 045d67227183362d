// Byte-exact reading and writing of the program's data streams.
#include "BinaryStreams.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace Tolvane
{
namespace Tool
{

namespace
{

void MakeBinary(std::FILE* stream)
{
#if defined(_WIN32)
    _setmode(_fileno(stream), _O_BINARY);
#else
    static_cast<void>(stream);
#endif
}

} // namespace

std::string ReadAllBytes(const std::string& path)
{
    if (path.empty())
    {
        MakeBinary(stdin);
        std::string bytes;
        char buffer[65536];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof(buffer), stdin)) > 0)
        {
            bytes.append(buffer, got);
        }
        if (std::ferror(stdin))
        {
            throw std::runtime_error("cannot read standard input");
        }
        return bytes;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        throw std::runtime_error("cannot open '" + path + "'");
    }
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
    {
        throw std::runtime_error("cannot read '" + path + "'");
    }
    return bytes;
}

bool WriteAllBytes(const std::string& bytes)
{
    MakeBinary(stdout);
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
           std::fflush(stdout) == 0;
}

} // namespace Tool
} // namespace Tolvane
