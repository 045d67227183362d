// The message of the exception that an action throws, for tests that compare it with a table.
#pragma once

#include <string>
#include <type_traits>

namespace Tolvane::Testing {

// The what() of the `Caught` that `action` throws, or with `Text` std::wstring its
// GetWideMessage(); "(nothing thrown)" when it returns. Any other exception goes on to the test.
template <typename Caught, typename Text = std::string, typename Action>
Text MessageOf(Action&& action)
{
    // Nothing is allocated outside the handlers: the action may be made to run out of memory.
    const char* const outcome = "(nothing thrown)";
    try
    {
        static_cast<void>(action());
    }
    catch (const Caught& e)
    {
        if constexpr (std::is_same_v<Text, std::wstring>)
        {
            return e.GetWideMessage();
        }
        else
        {
            return e.what();
        }
    }
    return Text(outcome, outcome + std::char_traits<char>::length(outcome));
}

} // namespace Tolvane::Testing
