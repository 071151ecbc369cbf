#pragma once

#include <string>
#include <string_view>

namespace velmora::robot {

// The robot's uses of libsodium: hashes of what is stored, random tokens and
// ids, and the organisers' password. InitSecrets() before any of them.
void InitSecrets();

// SHA-256 of `bytes` as 64 lower-case hex digits.
std::string Sha256Hex(std::string_view bytes);
// `bytes` random bytes as hex: receipt ids, tokens, session ids.
std::string RandomHex(std::size_t bytes);
// A password a person can type: 16 letters and digits without look-alikes.
std::string RandomPassword();

// argon2id, with its salt and parameters in the one text it returns.
std::string HashPassword(std::string_view password);
bool PasswordMatches(const std::string& hash, std::string_view password);

}  // namespace velmora::robot
