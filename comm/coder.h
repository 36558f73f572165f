// A block cipher that works in place on one block.
#pragma once
#include <cstdint>

namespace orvu {

class Coder {
 public:
  explicit Coder(int blockSize) : blockSize(blockSize) {}
  virtual ~Coder() = default;
  Coder(const Coder&) = delete;
  Coder& operator=(const Coder&) = delete;

  virtual void Encrypt(uint8_t* block) = 0;
  virtual void Decrypt(uint8_t* block) = 0;

  const int blockSize;
};

}  // namespace orvu
