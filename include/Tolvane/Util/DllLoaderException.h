// The exceptions of the DLL loader: a library that does not load, an export that is missing.
#pragma once

#include <Tolvane/Exception.h>

#include <string>

namespace Tolvane::Util {

// Common base of the loader's exceptions; catch it for any loader failure. It adds nothing to
// Exception but its type: the message alone says what failed. Like Exception, these classes are
// defined here and not exported; copies share their message and may live on different threads.
// The constructors throw std::bad_alloc when the message cannot be copied.
class DllLoaderException : public Exception
{
protected:
    // Only the loader's own failures are raised, never the common base by itself.
    explicit DllLoaderException(const std::string& message) : Exception(message) {}
    explicit DllLoaderException(const std::wstring& message) : Exception(message) {}
};

// A library that the operating system did not load: "Cannot load DLL '<name>'.". A load by
// wide name keeps its message wide, so GetWideMessage() gives the name exactly as it was passed.
class LoadDllException : public DllLoaderException
{
public:
    explicit LoadDllException(const std::string& message) : DllLoaderException(message) {}
    explicit LoadDllException(const std::wstring& message) : DllLoaderException(message) {}
};

// An export that the operating system did not find: "Cannot find DLL export with name
// '<name>'." or "Cannot find DLL export with ordinal <number>.".
class DllExportNotFoundException : public DllLoaderException
{
public:
    explicit DllExportNotFoundException(const std::string& message) : DllLoaderException(message) {}
};

} // namespace Tolvane::Util
