// The test-only module's one extra export: seeds a generator, so that a test sees which
// provider the module's Seed() uses.
#include <Tolvane/Util/RandomNumberGenerator.h>

#if defined(_WIN32)
#define TOLVANE_FAKE_MODULE_API __declspec(dllexport)
#else
#define TOLVANE_FAKE_MODULE_API __attribute__((visibility("default")))
#endif

extern "C" TOLVANE_FAKE_MODULE_API void TolvaneFakeModuleSeed();

extern "C" TOLVANE_FAKE_MODULE_API void TolvaneFakeModuleSeed()
{
    Tolvane::Util::RandomNumberGenerator generator;
    static_cast<void>(generator.GetNumber(0, 9));
}
