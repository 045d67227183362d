// Refusal of library names with a NUL inside.
#include "loader/NameWithNul.h"

#include <Tolvane/Util/DllLoaderException.h>

namespace Tolvane::Util::Loader {

namespace {

template <typename Char>
void Reject(const std::basic_string<Char>& name, const Char* prefix, const Char* suffix,
            const Char* shownNul)
{
    if (name.find(Char()) == std::basic_string<Char>::npos)
    {
        return;
    }
    std::basic_string<Char> message(prefix);
    for (const Char c : name)
    {
        if (c == Char())
        {
            message += shownNul;
        }
        else
        {
            message += c;
        }
    }
    throw LoadDllException(message + suffix);
}

} // namespace

void RejectNameWithNul(const std::string& name)
{
    Reject(name, "Cannot load DLL '", "'.", "\\0");
}

void RejectNameWithNul(const std::wstring& name)
{
    Reject(name, L"Cannot load DLL '", L"'.", L"\\0");
}

} // namespace Tolvane::Util::Loader
