// The process's one AES-128 cipher and the CMAC bound to it. They carry no key of their own:
// every secured transaction and every session opening re-keys the cipher with the device's
// key first. One user-interface thread runs all transactions, so no locking.
#pragma once
#include "comm/aes.h"
#include "comm/cmac.h"

namespace orvu {

AES128& SharedCipher();
Cmac& SharedCmac();

}  // namespace orvu
