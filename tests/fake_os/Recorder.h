// The state every fake keeps: the answers a test scripts and the calls the library made.
#pragma once

#include <vector>

namespace Tolvane::Util::Os::Fake {

template <typename ScriptType, typename Call, typename CallList = std::vector<Call>>
struct Recorder
{
    ScriptType script;
    CallList calls;

    // A function-local static: usable from the library's static initialisers, before main.
    static Recorder& Get()
    {
        static Recorder recorder;
        return recorder;
    }
    static ScriptType& Script() { return Get().script; }
    static CallList& Calls() { return Get().calls; }
    static void Reset() { Get() = Recorder{}; }
};

} // namespace Tolvane::Util::Os::Fake
