// The body of a save (PUT /api/projects/{n}) as the server reads it: parsed
// as every JSON body is, then its values read and checked. Whatever it
// lets through must be a column other than the number, with a value the
// store accepts.
#include <cstddef>
#include <cstdint>

#include "fuzz/api_refusal.h"
#include "server/project_save.h"
#include "store/catalogue.h"
#include "store/value_rules.h"

using namespace zorbix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    fuzzing::RefusedOnlyAsBadInput([&] {
        const server::Json body = server::ParseObject(text);
        for (const auto& [column, value] : server::ValuesToSave(body, "201300000001")) {
            if (column == store::kNumberColumn || fuzzing::HoldsNul(value)) std::abort();
            if (store::ValueFault(store::Columns()[column], value)) std::abort();
        }
    });
    return 0;
}
