// DllLoader's export lookup by name and by ordinal, throwing or not.
#include <Tolvane/Util/DllLoader.h>

#include "loader/ModuleHandle.h"
#include "os/Modules.h"

#include <boost/lexical_cast.hpp>

#include <stdexcept>
#include <string>

namespace Tolvane::Util {

void* DllLoader::GetProcAddress(const char* name) const
{
    // The message quotes the name, so it must be a string: an ordinal in disguise would be read
    // as one and crash.
    if (Os::IsOrdinalName(name))
    {
        throw std::invalid_argument("DllLoader::GetProcAddress: invalid export name.");
    }
    void* const address = Os::GetProcAddress(m_Module->Get(), name);
    if (address == nullptr)
    {
        throw DllExportNotFoundException(std::string("Cannot find DLL export with name '") + name +
                                         "'.");
    }
    return address;
}

void* DllLoader::GetProcAddress(unsigned short ordinal) const
{
    void* const address = Os::GetProcAddress(m_Module->Get(), std::uint16_t{ordinal});
    if (address == nullptr)
    {
        throw DllExportNotFoundException("Cannot find DLL export with ordinal " +
                                         boost::lexical_cast<std::string>(ordinal) + ".");
    }
    return address;
}

void* DllLoader::GetProcAddressNoThrow(const char* name) const noexcept
{
    return Os::GetProcAddress(m_Module->Get(), name);
}

void* DllLoader::GetProcAddressNoThrow(unsigned short ordinal) const noexcept
{
    return Os::GetProcAddress(m_Module->Get(), std::uint16_t{ordinal});
}

} // namespace Tolvane::Util
