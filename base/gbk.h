// Conversion between the program's UTF-8 text and GBK (code page 936), the
// encoding of exchange files and saved check results. Length limits of the
// fields count GBK bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/error.h"

namespace zorbix::base {

// Raised for text that cannot be converted; the message names the problem.
class GbkError : public Failure {
public:
    GbkError(const std::string& message, std::size_t offset) : Failure(message), offset_(offset) {}
    // Byte offset in the input where conversion stopped.
    std::size_t offset() const { return offset_; }

private:
    std::size_t offset_;
};

// UTF-8 to GBK. Throws GbkError for a character GBK cannot hold or for
// invalid UTF-8; nothing is ever dropped silently.
std::string ToGbk(std::string_view utf8);

// GBK to UTF-8. Throws GbkError for byte sequences that are not GBK,
// including a character cut off at the end.
std::string FromGbk(std::string_view gbk);

// Number of GBK bytes of a UTF-8 text; a character GBK cannot hold counts
// as two bytes (the width a replacement would take).
std::size_t GbkLength(std::string_view utf8);

// The longest start of a UTF-8 text whose GBK form fits in max_bytes bytes,
// never splitting a character.
std::string CutToGbkBytes(std::string_view utf8, std::size_t max_bytes);

}  // namespace zorbix::base
