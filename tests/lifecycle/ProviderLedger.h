// A record of provider calls that outlives the module making them: a test loads and unloads a
// copy of the library on the fake backend, and reads here what happened at load and unload.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#if defined(TOLVANE_LEDGER_BUILDING)
#define TOLVANE_LEDGER_API __declspec(dllexport)
#else
#define TOLVANE_LEDGER_API __declspec(dllimport)
#endif
#else
#define TOLVANE_LEDGER_API __attribute__((visibility("default")))
#endif

namespace Tolvane::Testing::Ledger {

enum class ProviderEvent
{
    AcquireSucceeded,
    AcquireFailed,
    GenRandom,
    Release
};

struct ProviderCall
{
    ProviderEvent event;
    std::uintptr_t provider; // the handle handed out or passed in; 0 for a failed acquisition
};

// Whether the next acquisitions succeed; true at first.
TOLVANE_LEDGER_API void SetAcquisitionSucceeds(bool succeeds);
TOLVANE_LEDGER_API bool AcquisitionSucceeds();

// A fresh handle for each successful acquisition: 0x1000, 0x1001, ...
TOLVANE_LEDGER_API std::uintptr_t NextProviderHandle();

// Calls in order; at most 64 are kept (more is a test fault and is counted, not stored).
TOLVANE_LEDGER_API void Record(ProviderEvent event, std::uintptr_t provider);
TOLVANE_LEDGER_API std::size_t CallCount();
TOLVANE_LEDGER_API ProviderCall CallAt(std::size_t index);
// Forgets the calls and starts the handles at 0x1000 again.
TOLVANE_LEDGER_API void Clear();

} // namespace Tolvane::Testing::Ledger
