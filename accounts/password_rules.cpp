#include "accounts/password_rules.h"

#include "accounts/secrets.h"
#include "base/utf8.h"

namespace zorbix::accounts {

std::optional<std::string> PasswordProblem(std::string_view password) {
    if (!base::IsUtf8(password)) return "密码含有无效的字符。";
    if (base::CharacterCount(password) < kMinPasswordCharacters)
        return "密码至少需要" + std::to_string(kMinPasswordCharacters) + "个字符。";
    return std::nullopt;
}

std::string MakeOneTimePassword() {
    // Three groups of four: about 67 bits, read out over the phone in one go.
    return RandomReadable(4) + "-" + RandomReadable(4) + "-" + RandomReadable(4);
}

}  // namespace zorbix::accounts
