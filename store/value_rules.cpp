#include "store/value_rules.h"

#include <cstdio>

#include "base/gbk.h"
#include "base/utf8.h"

namespace zorbix::store {
namespace {

bool IsControl(char32_t code) { return code < 0x20 || (code >= 0x7F && code <= 0x9F); }

bool IsLineEndAt(std::string_view text, std::size_t at) { return text.compare(at, 2, "\r\n") == 0; }

std::string ControlName(char32_t code) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(code));
    std::string name = hex;
    if (code == '\t') name += "，制表符";
    if (code == '\n') name += "，换行符";
    if (code == '\r') name += "，回车符";
    return name;
}

// The first character GBK cannot hold, or nullopt.
std::optional<std::string> FirstOutsideGbk(std::string_view value) {
    try {
        base::ToGbk(value);
        return std::nullopt;
    } catch (const base::GbkError& error) {
        const base::Utf8Character c = base::DecodeUtf8At(value, error.offset());
        return std::string(value.substr(error.offset(), c.bytes ? c.bytes : 1));
    }
}

// A control character of the rule in well-formed UTF-8: a C0 byte, DEL, or
// the two bytes of a C1 control (C2 80 to C2 9F).
bool HasControlByte(std::string_view value) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto byte = static_cast<unsigned char>(value[i]);
        if (byte < 0x20 || byte == 0x7F) return true;
        if (byte == 0xC2 && i + 1 < value.size() && static_cast<unsigned char>(value[i + 1]) < 0xA0)
            return true;
    }
    return false;
}

bool HasNonAscii(std::string_view value) {
    for (unsigned char c : value)
        if (c >= 0x80) return true;
    return false;
}

}  // namespace

std::optional<std::string> ValueFault(const Column& column, std::string_view value) {
    const bool multi_line = column.kind == Kind::MultiLineText;
    for (std::size_t at = 0; at < value.size();) {
        const base::Utf8Character c = base::DecodeUtf8At(value, at);
        if (c.bytes == 0) return "含有不是UTF-8编码的字节（第" + std::to_string(at + 1) + "字节）";
        if (multi_line && IsLineEndAt(value, at)) {
            at += 2;
            continue;
        }
        if (IsControl(c.code)) {
            std::string fault = "含有控制字符（" + ControlName(c.code) + "）";
            if (multi_line && (c.code == '\r' || c.code == '\n'))
                fault += "：换行必须是回车加换行（CR LF）";
            return fault;
        }
        at += c.bytes;
    }
    if (HasNonAscii(value))
        if (const auto outside = FirstOutsideGbk(value))
            return "含有GBK编码中没有的字符“" + *outside + "”，交换数据文件无法保存它";
    if (const std::size_t n = base::CharacterCount(value); n > kMaxValueCharacters)
        return "有" + std::to_string(n) + "个字符，超过了一个单元格能容纳的" +
               std::to_string(kMaxValueCharacters) + "个字符";
    return std::nullopt;
}

std::optional<std::string> GbkTextFault(const Column& column, std::string_view value) {
    if (value.size() <= kMaxValueCharacters && !HasControlByte(value)) return std::nullopt;
    return ValueFault(column, value);
}

std::string ValuePlace(std::string_view project, const Column& column) {
    std::string place = "项目“" + std::string(project) + "”的" + column.name;
    if (!column.caption.empty()) place += "（" + column.caption + "）";
    return place;
}

namespace {

void Note(std::string& what, std::string_view done) {
    if (what.find(done) != std::string::npos) return;
    if (!what.empty()) what += "，";
    what += done;
}

// Appends the character unless GBK cannot hold it.
void AppendHeld(std::string& out, std::string_view character, std::string& what) {
    if (character.size() > 1 && FirstOutsideGbk(character)) {
        out += '?';
        Note(what, "GBK编码中没有的字符改为“?”");
        return;
    }
    out += character;
}

std::string CutToCharacters(std::string value, std::size_t most, std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < value.size(); ++at) {
        if ((static_cast<unsigned char>(value[at]) & 0xC0) == 0x80) continue;
        if (++count > most) {
            value.resize(at);
            Note(what, "超过" + std::to_string(most) + "个字符的部分截去");
            break;
        }
    }
    return value;
}

}  // namespace

MendedValue MendValue(const Column& column, std::string_view value) {
    if (!ValueFault(column, value)) return {std::string(value), {}};
    const bool multi_line = column.kind == Kind::MultiLineText;
    MendedValue mended;
    for (std::size_t at = 0; at < value.size();) {
        const base::Utf8Character c = base::DecodeUtf8At(value, at);
        if (c.bytes == 0) {
            mended.value += '?';
            Note(mended.what, "不是UTF-8编码的字节改为“?”");
            ++at;
        } else if (multi_line && IsLineEndAt(value, at)) {
            mended.value += "\r\n";
            at += 2;
        } else if (multi_line && (c.code == '\r' || c.code == '\n')) {
            mended.value += "\r\n";
            Note(mended.what, "单独的回车或换行改为回车加换行");
            ++at;
        } else if (IsControl(c.code)) {
            mended.value += ' ';
            Note(mended.what, "控制字符改为空格");
            at += c.bytes;
        } else {
            AppendHeld(mended.value, value.substr(at, c.bytes), mended.what);
            at += c.bytes;
        }
    }
    mended.value = CutToCharacters(std::move(mended.value), kMaxValueCharacters, mended.what);
    return mended;
}

}  // namespace zorbix::store
