// The test-only module's one extra export: builds a generator, which seeds from the provider
// the module acquired when it loaded.
#include <Tolvane/Util/RandomNumberGenerator.h>

#if defined(_WIN32)
#define TOLVANE_FAKE_MODULE_API __declspec(dllexport)
#else
#define TOLVANE_FAKE_MODULE_API __attribute__((visibility("default")))
#endif

extern "C" TOLVANE_FAKE_MODULE_API void TolvaneFakeModuleSeed();

extern "C" TOLVANE_FAKE_MODULE_API void TolvaneFakeModuleSeed()
{
    const Tolvane::Util::RandomNumberGenerator generator;
}
