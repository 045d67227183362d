// A small library that the loader's native tests load, look up and unload.
// No C++ runtime state lives here (no statics with constructors, no inline variables), so
// nothing pins it in memory and the tests can watch it unload.

#if defined(_WIN32)
// TestLibrary.def lists the exports with fixed ordinals.
#define TOLVANE_TEST_EXPORT
#else
#define TOLVANE_TEST_EXPORT __attribute__((visibility("default")))
#endif

#include <cstring>

extern "C" TOLVANE_TEST_EXPORT int TolvaneTestAdd(int a, int b)
{
    return a + b;
}

// Calls into the C library, so that the C library is one of this library's dependencies.
extern "C" TOLVANE_TEST_EXPORT int TolvaneTestLength(const char* text)
{
    return static_cast<int>(std::strlen(text));
}

// Exported by ordinal only on Windows.
extern "C" TOLVANE_TEST_EXPORT int TolvaneTestSecret()
{
    return 42;
}
