// Everything secret the accounts need, from libsodium and nowhere else:
// password hashes (Argon2id with the interactive limits), random tokens,
// their digests and comparisons that take the same time whatever differs.
// Fails with base::Failure when libsodium cannot start or runs out of
// memory.
#pragma once

#include <string>
#include <string_view>

namespace zorbix::accounts {

// The Argon2id hash of a password, as libsodium writes it (salt and limits
// included), for the accounts table.
std::string HashPassword(std::string_view password);

// True when the password is the one the hash was made from.
bool PasswordMatches(std::string_view hash, std::string_view password);

// 256 random bits as 64 hexadecimal digits: session and CSRF tokens.
std::string RandomToken();

// The digest under which a token is stored (BLAKE2b, 64 hexadecimal digits).
std::string TokenDigest(std::string_view token);

// Equal texts, compared in a time that does not depend on where they differ.
bool SameSecret(std::string_view a, std::string_view b);

// `length` random characters from an alphabet without look-alikes (no 0/O,
// 1/l/I), for passwords handed on by hand.
std::string RandomReadable(int length);

}  // namespace zorbix::accounts
