// Password hashes, tokens and the password rules.
#include "accounts/secrets.h"

#include <gtest/gtest.h>

#include <set>

#include "accounts/password_rules.h"

namespace zorbix::testing {
namespace {

using namespace accounts;

TEST(Secrets, AHashIsArgon2idAndMatchesOnlyItsPassword) {
    const std::string hash = HashPassword("正确的密码123");
    EXPECT_EQ(hash.rfind("$argon2id$", 0), 0u) << hash;
    EXPECT_TRUE(PasswordMatches(hash, "正确的密码123"));
    EXPECT_FALSE(PasswordMatches(hash, "正确的密码124"));
    EXPECT_FALSE(PasswordMatches(hash, ""));
    EXPECT_FALSE(PasswordMatches("not a hash", "正确的密码123"));
}

TEST(Secrets, TheSamePasswordHashesDifferentlyEachTime) {
    EXPECT_NE(HashPassword("abcdefgh"), HashPassword("abcdefgh"));
}

TEST(Secrets, TokensAre256RandomBitsAndTheirDigestIsStable) {
    std::set<std::string> tokens;
    for (int i = 0; i < 100; ++i) {
        const std::string token = RandomToken();
        EXPECT_EQ(token.size(), 64u);
        EXPECT_EQ(token.find_first_not_of("0123456789abcdef"), std::string::npos);
        tokens.insert(token);
    }
    EXPECT_EQ(tokens.size(), 100u);
    const std::string token = *tokens.begin();
    EXPECT_EQ(TokenDigest(token), TokenDigest(token));
    EXPECT_NE(TokenDigest(token), token);
    EXPECT_EQ(TokenDigest(token).size(), 64u);
}

TEST(Secrets, SameSecretComparesWholeTexts) {
    EXPECT_TRUE(SameSecret("abc", "abc"));
    EXPECT_TRUE(SameSecret("", ""));
    EXPECT_FALSE(SameSecret("abc", "abd"));
    EXPECT_FALSE(SameSecret("abc", "abcd"));
    EXPECT_FALSE(SameSecret("", "a"));
}

TEST(PasswordRules, AtLeastEightCharactersCountingChineseAsOne) {
    EXPECT_EQ(PasswordProblem("1234567"), "密码至少需要8个字符。");
    EXPECT_EQ(PasswordProblem(""), "密码至少需要8个字符。");
    EXPECT_EQ(PasswordProblem("12345678"), std::nullopt);
    EXPECT_EQ(PasswordProblem("科技计划项目调查"), std::nullopt);
    EXPECT_EQ(PasswordProblem("科技计划项目调"), "密码至少需要8个字符。");
    EXPECT_EQ(PasswordProblem("\xff\xfe\xfd\xfc\xfb\xfa\xf9\xf8"), "密码含有无效的字符。");
}

TEST(PasswordRules, OneTimePasswordsAreReadableAndPassTheRules) {
    const std::string password = MakeOneTimePassword();
    EXPECT_EQ(password.size(), 14u);
    EXPECT_EQ(password[4], '-');
    EXPECT_EQ(password[9], '-');
    EXPECT_EQ(password.find_first_of("0O1lI"), std::string::npos) << password;
    EXPECT_EQ(PasswordProblem(password), std::nullopt);
    EXPECT_NE(MakeOneTimePassword(), password);
}

}  // namespace
}  // namespace zorbix::testing
