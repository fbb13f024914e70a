// What a password must be, and the one-time passwords the office hands on.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zorbix::accounts {

// The fewest characters (not bytes) of a password.
inline constexpr std::size_t kMinPasswordCharacters = 8;

// What is wrong with a new password, as the user's message; nullopt when
// it may be used.
std::optional<std::string> PasswordProblem(std::string_view password);

// A random password that is easy to read out and type ("k7Fp-x3Qa-mN4t"),
// which its account must change at the first login.
std::string MakeOneTimePassword();

}  // namespace zorbix::accounts
