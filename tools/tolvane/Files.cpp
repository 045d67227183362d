// The files of `convert`: inputs read in blocks, and an output that appears only when complete.
#include "Files.h"

#include <Tolvane/Util/StringConversion.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Tolvane::Tool {

namespace {

std::string Describe(const std::string& what, const std::string& name, int error)
{
    return what + " '" + name + "': " + std::strerror(error);
}

#if defined(_WIN32)
std::wstring WidePath(const std::string& path)
{
    std::wstring wide;
    Util::StringConversion::Detail::ConvertStringToWString(path, wide, "UTF-8", "");
    return wide;
}
#endif

void RemoveFile(const std::string& path)
{
#if defined(_WIN32)
    _wremove(WidePath(path).c_str());
#else
    std::remove(path.c_str());
#endif
}

// The files that the program opens get large buffers: a 50 MB conversion then makes a few
// hundred read and write calls rather than thousands.
constexpr std::size_t FileBufferBytes = 256 * 1024;

std::unique_ptr<char[]> GiveBuffer(std::FILE* file)
{
    std::unique_ptr<char[]> buffer(new char[FileBufferBytes]);
    std::setvbuf(file, buffer.get(), _IOFBF, FileBufferBytes);
    return buffer;
}

} // namespace

std::FILE* OpenFile(const std::string& path, const char* mode)
{
#if defined(_WIN32)
    const std::string narrowMode(mode);
    return _wfopen(WidePath(path).c_str(),
                   std::wstring(narrowMode.begin(), narrowMode.end()).c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

InputFile::InputFile(const std::string& path)
    : m_Name(path == "-" ? "standard input" : path), m_File(nullptr), m_Owned(path != "-")
{
    if (!m_Owned)
    {
#if defined(_WIN32)
        _setmode(_fileno(stdin), _O_BINARY);
#endif
        m_File = stdin;
        return;
    }
    errno = 0;
    m_File = OpenFile(path, "rb");
    if (m_File == nullptr)
    {
        throw std::runtime_error(Describe("cannot open", m_Name, errno));
    }
    m_Buffer = GiveBuffer(m_File);
}

InputFile::~InputFile()
{
    if (m_Owned)
    {
        std::fclose(m_File);
    }
}

std::size_t InputFile::Read(char* buffer, std::size_t size)
{
    errno = 0;
    const std::size_t got = std::fread(buffer, 1, size, m_File);
    if (got == 0 && std::ferror(m_File))
    {
        throw std::runtime_error(Describe("cannot read", m_Name, errno));
    }
    return got;
}

OutputFile::OutputFile(const std::string& path) : m_Path(path), m_File(stdout)
{
    if (path.empty())
    {
#if defined(_WIN32)
        _setmode(_fileno(stdout), _O_BINARY);
#endif
        return;
    }
    errno = 0;
#if defined(_WIN32)
    // "x": never reuse a file that happens to exist.
    for (int attempt = 0; attempt < 100 && m_TemporaryPath.empty(); ++attempt)
    {
        const std::string candidate =
            path + ".tmp-" + std::to_string(_getpid()) + "-" + std::to_string(attempt);
        m_File = OpenFile(candidate, "wbx");
        if (m_File != nullptr)
        {
            m_TemporaryPath = candidate;
        }
        else if (errno != EEXIST)
        {
            break;
        }
    }
#else
    std::string name = path + ".tmp-XXXXXX";
    const int descriptor = mkstemp(&name[0]);
    if (descriptor >= 0)
    {
        // mkstemp creates the file for its owner only; the result gets the mode of the file it
        // replaces, or the one a new file would get.
        struct stat existing;
        mode_t mode = 0;
        if (stat(path.c_str(), &existing) == 0)
        {
            mode = existing.st_mode & 07777;
        }
        else
        {
            const mode_t mask = umask(0);
            umask(mask);
            mode = 0666 & ~mask;
        }
        fchmod(descriptor, mode);
        m_File = fdopen(descriptor, "wb");
        m_TemporaryPath = name;
    }
#endif
    if (m_File == nullptr || m_TemporaryPath.empty())
    {
        throw std::runtime_error(Describe("cannot create a file beside", path, errno));
    }
    m_Buffer = GiveBuffer(m_File);
}

OutputFile::~OutputFile()
{
    if (!m_TemporaryPath.empty())
    {
        std::fclose(m_File);
        RemoveFile(m_TemporaryPath);
    }
}

void OutputFile::ThrowError(const std::string& what, int error) const
{
    throw std::runtime_error(m_Path.empty() ? what + " standard output: " + std::strerror(error)
                                            : Describe(what, m_Path, error));
}

void OutputFile::Write(const char* data, std::size_t size)
{
    errno = 0;
    if (size != 0 && std::fwrite(data, 1, size, m_File) != size)
    {
        ThrowError("cannot write to", errno);
    }
}

void OutputFile::Commit()
{
    errno = 0;
    if (m_TemporaryPath.empty())
    {
        if (std::fflush(stdout) != 0)
        {
            ThrowError("cannot write to", errno);
        }
        return;
    }
    const int closed = std::fclose(m_File);
    m_File = nullptr;
    const std::string temporary = m_TemporaryPath;
    if (closed != 0)
    {
        const int error = errno;
        RemoveFile(temporary);
        m_TemporaryPath.clear();
        ThrowError("cannot write to", error);
    }
#if defined(_WIN32)
    const bool renamed = MoveFileExW(WidePath(temporary).c_str(), WidePath(m_Path).c_str(),
                                     MOVEFILE_REPLACE_EXISTING) != 0;
    const int error = renamed ? 0 : EACCES;
#else
    const bool renamed = std::rename(temporary.c_str(), m_Path.c_str()) == 0;
    const int error = errno;
#endif
    if (!renamed)
    {
        RemoveFile(temporary);
    }
    m_TemporaryPath.clear();
    if (!renamed)
    {
        ThrowError("cannot replace", error);
    }
}

} // namespace Tolvane::Tool
