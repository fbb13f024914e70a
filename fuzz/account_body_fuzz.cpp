// The body of a new account (POST /api/accounts) as the server reads it:
// what it lets through is an account the accounts' own rules accept.
#include <cstddef>
#include <cstdint>

#include "fuzz/api_refusal.h"
#include "server/account_routes.h"

using namespace zorbix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    fuzzing::RefusedOnlyAsBadInput([&] {
        const accounts::NewAccount account = server::NewAccountOf(server::ParseObject(text));
        if (accounts::AccountProblem(account)) std::abort();
        if (fuzzing::HoldsNul(account.name) || fuzzing::HoldsNul(account.unit)) std::abort();
    });
    return 0;
}
