// The streaming XML reader on any bytes, fed whole and in small blocks:
// both must accept or refuse alike and hand on the same elements and text,
// wherever the blocks end; every text it hands on is UTF-8.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "office/xml_stream.h"

using namespace zorbix;

namespace {

class Transcript : public office::XmlHandler {
public:
    std::string out;

    void Start(std::string_view name, office::XmlAttributes attributes) override {
        out += '<';
        out += name;
        for (const auto& a : attributes) {
            out += ' ';
            out += a.name;
            out += '=';
            out += a.value;
        }
        out += '>';
    }
    void End(std::string_view name) override {
        out += "</";
        out += name;
        out += '>';
    }
    void Text(std::string_view text) override { out += text; }
};

// The transcript, or nullopt when the reader refused the bytes.
std::optional<std::string> Read(std::string_view xml, std::size_t block) {
    Transcript transcript;
    office::XmlStream stream(transcript);
    try {
        for (std::size_t at = 0; at < xml.size(); at += block) stream.Feed(xml.substr(at, block));
        stream.Finish();
    } catch (const office::XmlStreamError&) {
        return std::nullopt;
    }
    return transcript.out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view xml(reinterpret_cast<const char*>(data), size);
    const auto whole = Read(xml, size == 0 ? 1 : size);
    const auto pieces = Read(xml, 7);
    if (whole.has_value() != pieces.has_value()) __builtin_trap();
    if (whole && *whole != *pieces) __builtin_trap();
    return 0;
}
