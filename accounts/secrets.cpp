#include "accounts/secrets.h"

#include <sodium.h>

#include <algorithm>
#include <array>
#include <semaphore>
#include <thread>

#include "base/error.h"

namespace zorbix::accounts {
namespace {

void EnsureSodium() {
    // sodium_init is safe to call from several threads and more than once.
    if (sodium_init() < 0) throw base::Failure("无法初始化加密库（libsodium）。");
}

std::string Hex(const unsigned char* bytes, std::size_t size) {
    std::string hex(size * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), bytes, size);
    hex.pop_back();
    return hex;
}

// An Argon2id hash with the interactive limits takes 64 MB and a core for
// tens of ms, on purpose. Half the machine's cores at most work on hashes
// at one time: when many log in at once, the logins wait their turn and
// every other request still finds a free core, and the memory they take
// stays bounded whatever the number of requests.
class HashTurn {
public:
    HashTurn() { Slots().acquire(); }
    ~HashTurn() { Slots().release(); }
    HashTurn(const HashTurn&) = delete;
    HashTurn& operator=(const HashTurn&) = delete;

private:
    static std::counting_semaphore<>& Slots() {
        static std::counting_semaphore<> slots(
            std::max<std::ptrdiff_t>(1, std::thread::hardware_concurrency() / 2));
        return slots;
    }
};

}  // namespace

std::string HashPassword(std::string_view password) {
    EnsureSodium();
    std::array<char, crypto_pwhash_STRBYTES> hash{};
    const HashTurn turn;
    if (crypto_pwhash_str(hash.data(), password.data(), password.size(),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw base::Failure("计算密码散列值时内存不足，请稍后重试。");
    return hash.data();
}

bool PasswordMatches(std::string_view hash, std::string_view password) {
    EnsureSodium();
    const std::string terminated(hash);  // libsodium reads it up to its NUL
    const HashTurn turn;
    return crypto_pwhash_str_verify(terminated.c_str(), password.data(), password.size()) == 0;
}

std::string RandomToken() {
    EnsureSodium();
    std::array<unsigned char, 32> bytes{};
    randombytes_buf(bytes.data(), bytes.size());
    return Hex(bytes.data(), bytes.size());
}

std::string TokenDigest(std::string_view token) {
    EnsureSodium();
    std::array<unsigned char, crypto_generichash_BYTES> digest{};
    crypto_generichash(digest.data(), digest.size(),
                       reinterpret_cast<const unsigned char*>(token.data()), token.size(), nullptr,
                       0);
    return Hex(digest.data(), digest.size());
}

bool SameSecret(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    return a.empty() || sodium_memcmp(a.data(), b.data(), a.size()) == 0;
}

std::string RandomReadable(int length) {
    EnsureSodium();
    static constexpr std::string_view kAlphabet =
        "abcdefghijkmnpqrstuvwxyzACDEFGHJKLMNPQRTUVWXY34679";
    std::string text;
    for (int i = 0; i < length; ++i)
        text += kAlphabet[randombytes_uniform(static_cast<std::uint32_t>(kAlphabet.size()))];
    return text;
}

}  // namespace zorbix::accounts
