// AES block cipher, FIPS-197.
#pragma once
#include <cstdint>

#include "comm/coder.h"

namespace orvu {

class AES : public Coder {
 public:
  // nk: key length in 32-bit words (4, 6 or 8).
  explicit AES(int nk);
  ~AES() override;  // wipes the key schedule

  // key: nk * 4 bytes.
  void SetKey(const uint8_t* key);
  void Encrypt(uint8_t* block) override;
  void Decrypt(uint8_t* block) override;

 protected:
  int nk_;
  int nr_;
  uint32_t w_[60] = {};  // expanded key, 4 * (nr + 1) words
};

class AES128 : public AES {
 public:
  AES128() : AES(4) {}
};

}  // namespace orvu
