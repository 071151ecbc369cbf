#include "robot/secrets.h"

#include <sodium.h>

#include <stdexcept>
#include <vector>

namespace velmora::robot {

void InitSecrets() {
  if (sodium_init() < 0) throw std::runtime_error("libsodium cannot be initialised");
}

std::string Sha256Hex(std::string_view bytes) {
  unsigned char hash[crypto_hash_sha256_BYTES];
  crypto_hash_sha256(hash, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  char hex[2 * sizeof hash + 1];
  sodium_bin2hex(hex, sizeof hex, hash, sizeof hash);
  return hex;
}

std::string RandomHex(std::size_t bytes) {
  std::vector<unsigned char> random(bytes);
  randombytes_buf(random.data(), random.size());
  std::string hex(2 * bytes + 1, '\0');
  sodium_bin2hex(hex.data(), hex.size(), random.data(), random.size());
  hex.pop_back();
  return hex;
}

std::string RandomPassword() {
  static constexpr char kAlphabet[] = "abcdefghijkmnpqrstuvwxyzACDEFGHJKLMNPQRTUVWXY346789";
  std::string password;
  for (int i = 0; i < 16; ++i)
    password += kAlphabet[randombytes_uniform(sizeof kAlphabet - 1)];
  return password;
}

std::string HashPassword(std::string_view password) {
  char hash[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str_alg(hash, password.data(), password.size(),
                            crypto_pwhash_OPSLIMIT_INTERACTIVE,
                            crypto_pwhash_MEMLIMIT_INTERACTIVE, crypto_pwhash_ALG_ARGON2ID13) != 0)
    throw std::runtime_error("out of memory while hashing the password");
  return hash;
}

bool PasswordMatches(const std::string& hash, std::string_view password) {
  return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

}  // namespace velmora::robot
