// Exceptions: every library failure is a Tolvane::Exception with a narrow and a wide message.
#include <Tolvane/Exception.h>
#include <Tolvane/Util/DllLoader.h>

#include <cstdio>
#include <string>

int main()
{
    try
    {
        const Tolvane::Util::DllLoader loader(std::wstring(L"no-such-library"), 0);
    }
    catch (const Tolvane::Util::LoadDllException& e)
    {
        // what() is the narrow form (ANSI code page); GetWideMessage() the text as given.
        std::printf("%s\n", e.what());
        return e.GetWideMessage() == L"Cannot load DLL 'no-such-library'." ? 0 : 1;
    }
    return 1;
}
