// The units' workbook as POST /api/units reads its body: a file the reader
// cannot take is refused as bad input; every row it lets through names a
// unit and a login name, each login name once.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "fuzz/api_refusal.h"
#include "server/unit_accounts.h"

using namespace zorbix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzzing::RefusedOnlyAsBadInput([&] {
        std::set<std::string> logins;
        for (const auto& row : server::ReadUnitAccounts(bytes))
            if (row.unit.empty() || !logins.insert(row.login).second) std::abort();
    });
    return 0;
}
