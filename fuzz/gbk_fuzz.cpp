// GBK conversion on any bytes: decoding either fails with GbkError or gives
// UTF-8 that encodes back to the same bytes; cutting never splits a
// character and never exceeds its limit.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/gbk.h"

using namespace zorbix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        const std::string utf8 = base::FromGbk(bytes);
        if (base::ToGbk(utf8) != bytes) __builtin_trap();
        const std::size_t limit = size / 2;
        const std::string cut = base::CutToGbkBytes(utf8, limit);
        if (base::GbkLength(cut) > limit) __builtin_trap();
        if (utf8.compare(0, cut.size(), cut) != 0) __builtin_trap();
    } catch (const base::GbkError&) {
    }
    try {
        base::ToGbk(bytes);
    } catch (const base::GbkError&) {
    }
    return 0;
}
