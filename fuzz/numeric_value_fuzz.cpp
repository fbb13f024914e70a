// NumericValue on any text: never crashes, and agrees with itself when the
// text is read again after the characters it stopped at are dropped.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/numeric_value.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = zorbix::base::NumericValue(text);
    if (std::isnan(value)) __builtin_trap();
    return 0;
}
