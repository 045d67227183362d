// The message of the exception that an action throws, for tests that compare it with a table.
#pragma once

#include <string>

namespace Tolvane::Testing {

// The what() of the `Caught` that `action` throws; "(nothing thrown)" when it returns, and
// "(another exception)" when it throws something that a handler for `Caught` does not take.
template <typename Caught, typename Action>
std::string MessageOf(Action&& action)
{
    try
    {
        static_cast<void>(action());
    }
    catch (const Caught& e)
    {
        return e.what();
    }
    catch (...)
    {
        return "(another exception)";
    }
    return "(nothing thrown)";
}

// The same for the wide message of a Tolvane::Exception (its GetWideMessage()).
template <typename Caught, typename Action>
std::wstring WideMessageOf(Action&& action)
{
    try
    {
        static_cast<void>(action());
    }
    catch (const Caught& e)
    {
        return e.GetWideMessage();
    }
    catch (...)
    {
        return L"(another exception)";
    }
    return L"(nothing thrown)";
}

} // namespace Tolvane::Testing
