// The fake provider's storage, in a shared library that outlives the modules recording in it.
#include "FakeCrypto.h"

namespace Tolvane::Util::Os::Fake {

CryptoState& Crypto()
{
    static CryptoState state;
    return state;
}

} // namespace Tolvane::Util::Os::Fake
