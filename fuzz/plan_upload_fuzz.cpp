// The plan workbook as POST /api/plan reads its body: a file the reader
// cannot take is refused as bad input, never a failure of the server.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/api_refusal.h"
#include "server/plan_load.h"

using namespace zorbix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzzing::RefusedOnlyAsBadInput([&] { server::ReadUploadedPlan(bytes); });
    return 0;
}
