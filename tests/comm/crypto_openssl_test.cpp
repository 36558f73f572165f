// Our AES and CMAC against OpenSSL's libcrypto as the reference, on random keys and data.
#include <openssl/core_names.h>
#include <openssl/evp.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "comm/aes.h"
#include "comm/cmac.h"

namespace orvu {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes RandomBytes(std::mt19937& rng, size_t n) {
  Bytes b(n);
  for (auto& x : b) x = static_cast<uint8_t>(rng());
  return b;
}

const EVP_CIPHER* EcbCipher(int nk) {
  return nk == 4 ? EVP_aes_128_ecb() : nk == 6 ? EVP_aes_192_ecb() : EVP_aes_256_ecb();
}

Bytes OpensslBlock(int nk, const Bytes& key, const Bytes& block, bool encrypt) {
  std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                      EVP_CIPHER_CTX_free);
  Bytes out(32);
  int len = 0, tail = 0;
  EXPECT_EQ(EVP_CipherInit_ex(ctx.get(), EcbCipher(nk), nullptr, key.data(), nullptr, encrypt), 1);
  EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
  EXPECT_EQ(EVP_CipherUpdate(ctx.get(), out.data(), &len, block.data(), 16), 1);
  EXPECT_EQ(EVP_CipherFinal_ex(ctx.get(), out.data() + len, &tail), 1);
  out.resize(len + tail);
  return out;
}

Bytes OpensslCmac(const Bytes& key, const Bytes& msg) {
  std::unique_ptr<EVP_MAC, decltype(&EVP_MAC_free)> mac(EVP_MAC_fetch(nullptr, "CMAC", nullptr),
                                                        EVP_MAC_free);
  std::unique_ptr<EVP_MAC_CTX, decltype(&EVP_MAC_CTX_free)> ctx(EVP_MAC_CTX_new(mac.get()),
                                                                EVP_MAC_CTX_free);
  char cipher[] = "AES-128-CBC";
  OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_CIPHER, cipher, 0),
                         OSSL_PARAM_construct_end()};
  Bytes tag(16);
  size_t len = 0;
  EXPECT_EQ(EVP_MAC_init(ctx.get(), key.data(), key.size(), params), 1);
  EXPECT_EQ(EVP_MAC_update(ctx.get(), msg.data(), msg.size()), 1);
  EXPECT_EQ(EVP_MAC_final(ctx.get(), tag.data(), &len, tag.size()), 1);
  tag.resize(len);
  return tag;
}

TEST(CryptoAgainstOpenssl, AesBlocksForEveryKeySize) {
  std::mt19937 rng(46);
  for (int nk : {4, 6, 8}) {
    AES aes(nk);
    for (int round = 0; round < 50; ++round) {
      const Bytes key = RandomBytes(rng, 4 * nk), plain = RandomBytes(rng, 16);
      aes.SetKey(key.data());
      Bytes block = plain;
      aes.Encrypt(block.data());
      ASSERT_EQ(block, OpensslBlock(nk, key, plain, true)) << "nk " << nk << " round " << round;
      ASSERT_EQ(OpensslBlock(nk, key, block, false), plain);
      aes.Decrypt(block.data());
      ASSERT_EQ(block, plain);
    }
  }
}

// Every length 0..100 crosses each boundary case (empty, partial, exact, one past a block);
// the long ones run the block loop many times. Each length is also fed in random pieces.
TEST(CryptoAgainstOpenssl, CmacForEveryLength) {
  std::mt19937 rng(4493);
  AES128 aes;
  Cmac cmac(aes);
  std::vector<size_t> lengths;
  for (size_t n = 0; n <= 100; ++n) lengths.push_back(n);
  for (size_t n : {255u, 256u, 257u, 1000u, 8192u}) lengths.push_back(n);
  for (size_t n : lengths) {
    const Bytes key = RandomBytes(rng, 16), msg = RandomBytes(rng, n);
    const Bytes expected = OpensslCmac(key, msg);
    aes.SetKey(key.data());
    Bytes tag(16);
    cmac.Init();
    cmac.Update(msg.data(), msg.size());
    cmac.Final(tag.data());
    ASSERT_EQ(tag, expected) << "length " << n;

    cmac.Init();
    for (size_t at = 0; at < n;) {
      const size_t piece = std::min<size_t>(n - at, rng() % 40);
      cmac.Update(msg.data() + at, piece);
      at += piece;
    }
    cmac.Final(tag.data());
    ASSERT_EQ(tag, expected) << "length " << n << " in pieces";
  }
}

}  // namespace
}  // namespace orvu
