// The files of `convert`: inputs read in blocks, and an output that appears only when complete.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace Tolvane::Tool {

// A file, or standard input for "-", read as bytes. Messages name it by `Name()`.
class InputFile
{
public:
    // Throws std::runtime_error naming the file and the OS's reason when it cannot be opened.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Up to `size` bytes, 0 at the end; throws std::runtime_error when reading fails.
    std::size_t Read(char* buffer, std::size_t size);
    const std::string& Name() const { return m_Name; }

private:
    std::string m_Name;
    std::FILE* m_File;
    bool m_Owned;
    std::unique_ptr<char[]> m_Buffer;
};

// Standard output (for an empty path), or a temporary file beside `path` that Commit renames
// to `path`; dropped uncommitted, it is removed, so a failed run leaves no partial file.
class OutputFile
{
public:
    explicit OutputFile(const std::string& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Throws std::runtime_error naming the file and the OS's reason when writing fails.
    void Write(const char* data, std::size_t size);
    void Commit();

private:
    [[noreturn]] void ThrowError(const std::string& what, int error) const;

    std::string m_Path;
    std::string m_TemporaryPath;
    std::FILE* m_File;
    std::unique_ptr<char[]> m_Buffer;
};

// Opens `path` (UTF-8 on Windows, where it is given to the wide file functions).
std::FILE* OpenFile(const std::string& path, const char* mode);

} // namespace Tolvane::Tool
