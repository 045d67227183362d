// Dynamic libraries: a class that wraps one library and binds its exports once.
#include <Tolvane/Util/DllLoader.h>

#include <cstdio>
#include <string>

namespace {

#if defined(_WIN32)
const char* const kLibrary = "KERNEL32.DLL";
const char* const kExport = "lstrlenA";
using LengthFunction = int(__stdcall*)(const char*);
#else
const char* const kLibrary = "libc.so.6";
const char* const kExport = "strlen";
using LengthFunction = std::size_t (*)(const char*);
#endif

class TextLibrary : public Tolvane::Util::DllLoader
{
public:
    TextLibrary() : DllLoader(std::string(kLibrary), 0), m_Length(GetThis(), kExport) {}

    // Throws std::logic_error when the library lacks the export.
    long Length(const char* text) const { return static_cast<long>(m_Length.Get()(text)); }

private:
    FunctionPointer<LengthFunction> m_Length;
};

} // namespace

int main()
{
    const TextLibrary library;        // throws Tolvane::Util::LoadDllException if it does not load
    const TextLibrary copy = library; // shares the library: it is freed once, by the last copy
    std::printf("%s says \"hello\" has %ld characters\n", kExport, copy.Length("hello"));
    return copy.Length("hello") == 5 ? 0 : 1;
}
