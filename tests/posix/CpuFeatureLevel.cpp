// Runs the tests with the processor's features capped at the level that
// TOLVANE_TEST_CPU_FEATURES names ("sse41": no AVX2 paths; "baseline": no SIMD paths), so that
// one machine tests every path that the engine chooses between. Never more than the processor
// has: the cap only takes features away.
#include "os/posix/CpuFeatures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string_view>

namespace {

using namespace Tolvane::Util::Os::Posix;

unsigned char AllowedFeatures(std::string_view level)
{
    if (level.empty() || level == "all")
    {
        return 0xFF;
    }
    if (level == "sse41")
    {
        return CpuFeatureBits::Known | CpuFeatureBits::Sse41;
    }
    if (level == "baseline")
    {
        return CpuFeatureBits::Known;
    }
    throw std::invalid_argument("TOLVANE_TEST_CPU_FEATURES: all, sse41 or baseline");
}

class CpuFeatureLevel : public testing::Environment
{
public:
    void SetUp() override
    {
        const char* const level = std::getenv("TOLVANE_TEST_CPU_FEATURES");
        const unsigned char allowed = AllowedFeatures(level == nullptr ? "" : level);
        KnownCpuFeatures.store(AskCpuFeatures() & allowed);
    }
};

const testing::Environment* const Level = testing::AddGlobalTestEnvironment(new CpuFeatureLevel);

} // namespace
