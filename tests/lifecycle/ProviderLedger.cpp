// The provider ledger: fixed storage, so that recording never allocates during a module's
// static initialisation or exit list.
#include "lifecycle/ProviderLedger.h"

namespace Tolvane::Testing::Ledger {

namespace {

constexpr std::size_t Capacity = 64;

bool g_AcquisitionSucceeds = true;
std::uintptr_t g_NextHandle = 0x1000;
ProviderCall g_Calls[Capacity];
std::size_t g_Count = 0;

} // namespace

void SetAcquisitionSucceeds(bool succeeds)
{
    g_AcquisitionSucceeds = succeeds;
}

bool AcquisitionSucceeds()
{
    return g_AcquisitionSucceeds;
}

std::uintptr_t NextProviderHandle()
{
    return g_NextHandle++;
}

void Record(ProviderEvent event, std::uintptr_t provider)
{
    if (g_Count < Capacity)
    {
        g_Calls[g_Count] = ProviderCall{event, provider};
    }
    ++g_Count;
}

std::size_t CallCount()
{
    return g_Count;
}

ProviderCall CallAt(std::size_t index)
{
    return index < Capacity ? g_Calls[index] : ProviderCall{ProviderEvent::AcquireFailed, 0};
}

void Clear()
{
    g_Count = 0;
    g_NextHandle = 0x1000;
}

} // namespace Tolvane::Testing::Ledger
