// CMAC, NIST SP 800-38B (RFC 4493 for AES-128), over any Coder.
#pragma once
#include <cstddef>
#include <cstdint>

#include "comm/coder.h"

namespace orvu {

// Subkey doubling of SP 800-38B over a block of blockSize bytes (16 or 8): out = in << 1, with
// Rb XORed into the last byte when the top bit of in was set. K1 = dbl(E(0)), K2 = dbl(K1).
void CmacDouble(const uint8_t* in, uint8_t* out, int blockSize);

class Cmac {
 public:
  // The coder is borrowed, never owned and never keyed here.
  explicit Cmac(Coder& coder) : coder_(coder) {}
  ~Cmac();  // wipes the chaining state

  void Init();
  void Update(const uint8_t* data, size_t len);
  // Writes the full tag (the coder's block size, 16 bytes for AES) to tag.
  // The object must be Init()ed again before the next message.
  void Final(uint8_t* tag);

 private:
  Coder& coder_;
  uint32_t pending_ = 0;
  uint8_t block_[16] = {};
  uint8_t chain_[16] = {};
};

}  // namespace orvu
