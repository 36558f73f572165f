// CMAC, NIST SP 800-38B (RFC 4493 for AES-128), over any Coder with blocks of up to 16 bytes.
// Trade-off: straightforward and allocation-free; only as constant-time as the coder beneath.
#include "comm/cmac.h"

#include <stdexcept>

#include "comm/wipe.h"

namespace orvu {
namespace {

void XorInto(uint8_t* dst, const uint8_t* src, size_t n) {
  for (size_t i = 0; i < n; ++i) dst[i] ^= src[i];
}

}  // namespace

// Doubling in GF(2^(8b)): multiply by x, i.e. shift the big-endian block left one bit; when the
// bit shifted out was set, reduce by the field polynomial, which for the low byte means XOR Rb:
// x^128 + x^7 + x^2 + x + 1 gives 0x87 (16-byte blocks), x^64 + x^4 + x^3 + x + 1 gives 0x1B.
void CmacDouble(const uint8_t* in, uint8_t* out, int b) {
  const uint8_t rb = (b == 16) ? 0x87 : 0x1B;
  const bool carry = in[0] & 0x80;
  for (int i = 0; i < b - 1; ++i) out[i] = static_cast<uint8_t>((in[i] << 1) | (in[i + 1] >> 7));
  out[b - 1] = static_cast<uint8_t>(in[b - 1] << 1);
  if (carry) out[b - 1] ^= rb;
}

Cmac::~Cmac() {
  SecureWipe(block_, sizeof block_);
  SecureWipe(chain_, sizeof chain_);
  pending_ = 0;
}

void Cmac::Init() {
  if (coder_.blockSize < 1 || coder_.blockSize > static_cast<int>(sizeof block_))
    throw std::invalid_argument("CMAC needs a coder with blocks of 1 to 16 bytes");
  SecureWipe(chain_, sizeof chain_);
  pending_ = 0;
}

void Cmac::Update(const uint8_t* data, size_t len) {
  const size_t b = static_cast<size_t>(coder_.blockSize);
  // A complete last block is held back in block_ so that Final can treat it as the last one.
  if (pending_ > 0 && len > b - pending_) {
    const size_t room = b - pending_;
    for (size_t i = 0; i < room; ++i) block_[pending_ + i] = data[i];
    XorInto(chain_, block_, b);
    coder_.Encrypt(chain_);
    pending_ = 0;
    data += room;
    len -= room;
  }
  while (len > b) {
    XorInto(chain_, data, b);
    coder_.Encrypt(chain_);
    data += b;
    len -= b;
  }
  for (size_t i = 0; i < len; ++i) block_[pending_ + i] = data[i];
  pending_ += static_cast<uint32_t>(len);
}

void Cmac::Final(uint8_t* tag) {
  const int b = coder_.blockSize;
  uint8_t l[16] = {};
  uint8_t k[16];
  coder_.Encrypt(l);          // L = E(0^b)
  CmacDouble(l, k, b);      // K1 = dbl(L)
  if (pending_ == static_cast<uint32_t>(b)) {
    // tag = E(C ^ M_last ^ K1)
    XorInto(chain_, block_, b);
  } else {
    // tag = E(C ^ (M_last || 10..0) ^ K2), K2 = dbl(K1)
    CmacDouble(k, l, b);
    for (int i = 0; i < b; ++i) k[i] = l[i];
    block_[pending_] = 0x80;
    for (int i = static_cast<int>(pending_) + 1; i < b; ++i) block_[i] = 0;
    XorInto(chain_, block_, b);
  }
  XorInto(chain_, k, b);
  coder_.Encrypt(chain_);
  for (int i = 0; i < b; ++i) tag[i] = chain_[i];
  SecureWipe(l, sizeof l);
  SecureWipe(k, sizeof k);
  SecureWipe(block_, sizeof block_);
}

}  // namespace orvu
