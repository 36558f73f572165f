// AES block cipher, FIPS-197: the cipher and the (plain, not equivalent) inverse cipher.
// Trade-off: small and table-driven with byte tables (S-box, inverse S-box, GF(2^8) products);
// not constant-time, as the lookups depend on key and data.
#include "comm/aes.h"

#include <array>
#include <stdexcept>

#include "comm/wipe.h"

namespace orvu {
namespace {

using ByteTable = std::array<uint8_t, 256>;

// Multiplication in GF(2^8) modulo the AES polynomial x^8 + x^4 + x^3 + x + 1 (0x11B).
constexpr uint8_t GfMul(uint8_t a, uint8_t b) {
  uint8_t p = 0;
  while (b) {
    if (b & 1) p ^= a;
    a = static_cast<uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1B : 0));
    b >>= 1;
  }
  return p;
}

constexpr uint8_t RotL8(uint8_t x, int n) {
  return static_cast<uint8_t>((x << n) | (x >> (8 - n)));
}

// x^254 by square-and-multiply: the multiplicative inverse, and 0 for 0.
constexpr uint8_t GfInverse(uint8_t x) {
  uint8_t result = 1;
  uint8_t power = x;
  for (unsigned e = 254; e; e >>= 1) {
    if (e & 1) result = GfMul(result, power);
    power = GfMul(power, power);
  }
  return result;
}

// S(x) = affine(x^-1), affine(b) = b ^ rotl(b,1) ^ rotl(b,2) ^ rotl(b,3) ^ rotl(b,4) ^ 0x63.
constexpr ByteTable MakeSbox() {
  ByteTable s{};
  for (int x = 0; x < 256; ++x) {
    const uint8_t inv = GfInverse(static_cast<uint8_t>(x));
    s[x] = inv ^ RotL8(inv, 1) ^ RotL8(inv, 2) ^ RotL8(inv, 3) ^ RotL8(inv, 4) ^ 0x63;
  }
  return s;
}

constexpr ByteTable MakeInverse(const ByteTable& s) {
  ByteTable inv{};
  for (int x = 0; x < 256; ++x) inv[s[x]] = static_cast<uint8_t>(x);
  return inv;
}

constexpr ByteTable MakeProduct(uint8_t factor) {
  ByteTable t{};
  for (int x = 0; x < 256; ++x) t[x] = GfMul(static_cast<uint8_t>(x), factor);
  return t;
}

constexpr ByteTable kSbox = MakeSbox();
constexpr ByteTable kInvSbox = MakeInverse(kSbox);
constexpr ByteTable kMul2 = MakeProduct(2);
constexpr ByteTable kMul3 = MakeProduct(3);
constexpr ByteTable kMul9 = MakeProduct(9);
constexpr ByteTable kMul11 = MakeProduct(11);
constexpr ByteTable kMul13 = MakeProduct(13);
constexpr ByteTable kMul14 = MakeProduct(14);

static_assert(kSbox[0x00] == 0x63 && kSbox[0x53] == 0xED && kSbox[0xFF] == 0x16);

constexpr uint8_t kRcon[10] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80, 0x1B, 0x36};

// Words hold their four bytes first byte in bits 24-31, as FIPS-197 writes them.
uint32_t SubWord(uint32_t w) {
  return uint32_t(kSbox[w >> 24]) << 24 | uint32_t(kSbox[(w >> 16) & 0xFF]) << 16 |
         uint32_t(kSbox[(w >> 8) & 0xFF]) << 8 | kSbox[w & 0xFF];
}

uint32_t RotWord(uint32_t w) { return (w << 8) | (w >> 24); }

// State byte i is row i mod 4 of column i div 4; column c takes round-key word 4 * round + c.
void AddRoundKey(uint8_t* s, const uint32_t* roundKey) {
  for (int c = 0; c < 4; ++c) {
    const uint32_t k = roundKey[c];
    s[4 * c + 0] ^= static_cast<uint8_t>(k >> 24);
    s[4 * c + 1] ^= static_cast<uint8_t>(k >> 16);
    s[4 * c + 2] ^= static_cast<uint8_t>(k >> 8);
    s[4 * c + 3] ^= static_cast<uint8_t>(k);
  }
}

// ShiftRows: output byte i is input byte 5i mod 16 (row r moves r columns left).
void SubShift(const uint8_t* in, uint8_t* out) {
  for (int i = 0; i < 16; ++i) out[i] = kSbox[in[(5 * i) % 16]];
}

// InvShiftRows: output byte i is input byte 13i mod 16.
void InvShiftSub(const uint8_t* in, uint8_t* out) {
  for (int i = 0; i < 16; ++i) out[i] = kInvSbox[in[(13 * i) % 16]];
}

// Each column (a0..a3) times the polynomial {03}x^3 + {01}x^2 + {01}x + {02}.
void MixColumns(const uint8_t* in, uint8_t* out) {
  for (int c = 0; c < 16; c += 4) {
    const uint8_t a0 = in[c], a1 = in[c + 1], a2 = in[c + 2], a3 = in[c + 3];
    out[c + 0] = kMul2[a0] ^ kMul3[a1] ^ a2 ^ a3;
    out[c + 1] = a0 ^ kMul2[a1] ^ kMul3[a2] ^ a3;
    out[c + 2] = a0 ^ a1 ^ kMul2[a2] ^ kMul3[a3];
    out[c + 3] = kMul3[a0] ^ a1 ^ a2 ^ kMul2[a3];
  }
}

// Each column times the inverse polynomial {0b}x^3 + {0d}x^2 + {09}x + {0e}.
void InvMixColumns(const uint8_t* in, uint8_t* out) {
  for (int c = 0; c < 16; c += 4) {
    const uint8_t a0 = in[c], a1 = in[c + 1], a2 = in[c + 2], a3 = in[c + 3];
    out[c + 0] = kMul14[a0] ^ kMul11[a1] ^ kMul13[a2] ^ kMul9[a3];
    out[c + 1] = kMul9[a0] ^ kMul14[a1] ^ kMul11[a2] ^ kMul13[a3];
    out[c + 2] = kMul13[a0] ^ kMul9[a1] ^ kMul14[a2] ^ kMul11[a3];
    out[c + 3] = kMul11[a0] ^ kMul13[a1] ^ kMul9[a2] ^ kMul14[a3];
  }
}

}  // namespace

AES::AES(int nk) : Coder(16), nk_(nk), nr_(nk + 6) {
  if (nk != 4 && nk != 6 && nk != 8) throw std::invalid_argument("AES key length must be 4, 6 or 8 words");
}

AES::~AES() { SecureWipe(w_, sizeof w_); }

void AES::SetKey(const uint8_t* key) {
  for (int i = 0; i < nk_; ++i) {
    w_[i] = uint32_t(key[4 * i]) << 24 | uint32_t(key[4 * i + 1]) << 16 |
            uint32_t(key[4 * i + 2]) << 8 | key[4 * i + 3];
  }
  const int words = 4 * (nr_ + 1);
  for (int i = nk_; i < words; ++i) {
    uint32_t temp = w_[i - 1];
    if (i % nk_ == 0) {
      temp = SubWord(RotWord(temp)) ^ (uint32_t(kRcon[i / nk_ - 1]) << 24);
    } else if (nk_ > 6 && i % nk_ == 4) {
      temp = SubWord(temp);
    }
    w_[i] = w_[i - nk_] ^ temp;
  }
}

void AES::Encrypt(uint8_t* block) {
  uint8_t t[16];
  AddRoundKey(block, w_);
  for (int round = 1; round < nr_; ++round) {
    SubShift(block, t);
    MixColumns(t, block);
    AddRoundKey(block, w_ + 4 * round);
  }
  SubShift(block, t);
  AddRoundKey(t, w_ + 4 * nr_);
  for (int i = 0; i < 16; ++i) block[i] = t[i];
  SecureWipe(t, sizeof t);
}

void AES::Decrypt(uint8_t* block) {
  uint8_t t[16];
  AddRoundKey(block, w_ + 4 * nr_);
  for (int round = nr_ - 1; round > 0; --round) {
    InvShiftSub(block, t);
    AddRoundKey(t, w_ + 4 * round);
    InvMixColumns(t, block);
  }
  InvShiftSub(block, t);
  AddRoundKey(t, w_);
  for (int i = 0; i < 16; ++i) block[i] = t[i];
  SecureWipe(t, sizeof t);
}

}  // namespace orvu
