// The exchange-file reader on any bytes: reading either refuses the file with
// its message or gives text that the field splitter walks to its end, every
// field a view inside the text and every step moving forward.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/gbk.h"
#include "exchange/exchange_file.h"
#include "exchange/field_reader.h"
#include "fuzz/fuzz_file.h"

using namespace zorbix;

namespace {

void WalkFields(std::string_view text) {
    exchange::FieldReader reader(text);
    std::size_t before = reader.offset();
    while (const auto field = reader.Next()) {
        const char* begin = field->text.data();
        if (begin < text.data() || begin + field->text.size() > text.data() + text.size())
            __builtin_trap();
        if (reader.offset() <= before || reader.offset() > text.size()) __builtin_trap();
        before = reader.offset();
    }
    if (!reader.AtEnd()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The splitter on the raw bytes, as if they were decoded text.
    WalkFields(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto file = fuzzing::WriteInput("input.kj", data, size);
    try {
        const std::string text = exchange::ReadExchangeText(file);
        exchange::CheckLooksLikeRecords(text, file);
        WalkFields(text);
    } catch (const base::GbkError&) {
    } catch (const base::Failure&) {
    }
    return 0;
}
