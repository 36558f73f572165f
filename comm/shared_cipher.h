// The process's one AES-128 cipher and the CMAC bound to it. They carry no key of their own:
// every secured transaction and every session opening re-keys the cipher with the device's
// key first. No locking: one thread runs all transactions (the window's communication worker,
// orvuq46-cli's main thread).
#pragma once
#include <cstdint>

#include "comm/aes.h"
#include "comm/cmac.h"

namespace orvu {

AES128& SharedCipher();
Cmac& SharedCmac();

// Keys the shared cipher for one use; afterwards it holds no session key, so nothing secret
// stays in the schedule between transactions.
class CipherKeyed {
 public:
  explicit CipherKeyed(const uint8_t* key) { SharedCipher().SetKey(key); }
  ~CipherKeyed() {
    static const uint8_t kNoKey[16] = {};
    SharedCipher().SetKey(kNoKey);
  }
  CipherKeyed(const CipherKeyed&) = delete;
  CipherKeyed& operator=(const CipherKeyed&) = delete;
};

}  // namespace orvu
