// A quick screen before the store's value rule (store/value_rules.h) for
// text that is already known to be GBK: decoded from an exchange file, or
// about to be converted to one (which finds a character GBK lacks anyway).
// Such a value can have a fault only with a control byte (C0, DEL, or the
// lead of a C1 control) or past the character limit; the rest skip the full
// rule, which would convert every value to GBK once more.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/value_rules.h"

namespace zorbix::exchange {

inline bool MayHaveFault(std::string_view value) {
    if (value.size() > store::kMaxValueCharacters) return true;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto byte = static_cast<unsigned char>(value[i]);
        if (byte < 0x20 || byte == 0x7F) return true;
        if (byte == 0xC2 && i + 1 < value.size() && static_cast<unsigned char>(value[i + 1]) < 0xA0)
            return true;
    }
    return false;
}

// The store's value rule for such text.
inline std::optional<std::string> GbkValueFault(const store::Column& column,
                                                std::string_view value) {
    if (!MayHaveFault(value)) return std::nullopt;
    return store::ValueFault(column, value);
}

}  // namespace zorbix::exchange
