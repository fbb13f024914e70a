#include "office/xml_stream.h"

#include <cstring>

#include "base/message_text.h"
#include "base/utf8.h"

namespace zorbix::office {
namespace {

// A tag, comment or processing instruction longer than this is no part of
// a workbook, and must not make the reader keep the whole part in memory.
constexpr std::size_t kMaxMarkup = std::size_t{1} << 20;
// Character data longer than this is handed on in pieces.
constexpr std::size_t kTextPiece = std::size_t{1} << 16;
constexpr std::size_t kMaxDepth = 256;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool AllSpace(std::string_view s) {
    for (const char c : s)
        if (!IsSpace(c)) return false;
    return true;
}

std::string_view LocalPart(std::string_view name) {
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// 1 when the buffer at `at` begins with `prefix`, 0 when it does not, -1
// when it holds too few bytes to tell.
int StartsWith(std::string_view buffer, std::size_t at, std::string_view prefix) {
    const std::size_t n = std::min(prefix.size(), buffer.size() - at);
    if (buffer.compare(at, n, prefix, 0, n) != 0) return 0;
    return n == prefix.size() ? 1 : -1;
}

// UTF-8 without the control characters XML does not allow (tab, line feed
// and carriage return are allowed).
bool ValidText(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
            return false;
    return base::IsUtf8(text);
}

// The character of a reference's name ("lt", "#233", "#xE9"); -1 when it
// names none.
long long EntityCode(std::string_view name) {
    if (name == "lt") return '<';
    if (name == "gt") return '>';
    if (name == "amp") return '&';
    if (name == "quot") return '"';
    if (name == "apos") return '\'';
    if (name.size() < 2 || name[0] != '#') return -1;
    const bool hex = name[1] == 'x';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) return -1;
    long long code = 0;
    for (const char c : digits) {
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0) return -1;
        code = code * (hex ? 16 : 10) + d;
    }
    const bool allowed = code == 0x9 || code == 0xA || code == 0xD ||
                         (code >= 0x20 && code <= 0xD7FF) || (code >= 0xE000 && code <= 0xFFFD) ||
                         (code >= 0x10000 && code <= 0x10FFFF);
    return allowed ? code : -1;
}

// Where a piece of character data may end in a buffer without any '<':
// not inside a character, a reference or a CR LF pair.
std::size_t SafeCut(std::string_view text) {
    std::size_t cut = text.size() - 8;
    while (cut > 0 && base::IsContinuationByte(static_cast<unsigned char>(text[cut]))) --cut;
    const auto amp = text.rfind('&', cut);
    if (amp != std::string_view::npos && cut - amp < 16 && text.find(';', amp) >= cut) cut = amp;
    if (cut > 0 && text[cut - 1] == '\r') --cut;
    return cut;
}

}  // namespace

const std::string_view* FindAttribute(XmlAttributes attributes, std::string_view name) {
    for (const XmlAttribute& a : attributes)
        if (a.name == name) return &a.value;
    return nullptr;
}

void XmlStream::Damaged(const std::string& why, std::size_t at) const {
    throw XmlStreamError(
        base::MessageText("第{1}字节附近：{2}", {std::to_string(consumed_ + at + 1), why}), false);
}

void XmlStream::Feed(std::string_view bytes) {
    if (pos_ > 0) {
        buffer_.erase(0, pos_);
        consumed_ += pos_;
        pos_ = 0;
    }
    buffer_.append(bytes);
    while (pos_ < buffer_.size() && Step(false)) {
    }
    if (buffer_.size() - pos_ > kMaxMarkup) Damaged("标记过长，或者没有结束", pos_);
}

void XmlStream::Finish() {
    while (pos_ < buffer_.size() && Step(true)) {
    }
    if (pos_ < buffer_.size()) Damaged("内容不完整（标记没有结束）", pos_);
    if (!root_seen_) Damaged("没有任何元素", pos_);
    if (depth_ > 0)
        Damaged(base::MessageText("内容不完整（缺少</{1}>）", {open_[depth_ - 1]}), pos_);
}

bool XmlStream::Step(bool last) {
    if (!started_) {
        const int bom = StartsWith(buffer_, pos_, "\xEF\xBB\xBF");
        if (bom < 0 && !last) return false;
        if (bom > 0) pos_ += 3;
        started_ = true;
        if (pos_ == buffer_.size()) return false;
    }
    return buffer_[pos_] == '<' ? Markup() : Characters(last);
}

bool XmlStream::Characters(bool last) {
    const std::string_view rest = std::string_view(buffer_).substr(pos_);
    const void* lt = std::memchr(rest.data(), '<', rest.size());
    std::size_t end = rest.size();
    if (lt) {
        end = static_cast<std::size_t>(static_cast<const char*>(lt) - rest.data());
    } else if (!last) {
        if (rest.size() < kTextPiece) return false;
        end = SafeCut(rest);
    }
    const std::string_view raw = rest.substr(0, end);
    if (depth_ == 0) {
        if (!AllSpace(raw)) Damaged("根元素之外有文字", pos_);
    } else {
        DeliverText(raw, true);
    }
    pos_ += end;
    return true;
}

bool XmlStream::Markup() {
    if (buffer_.size() - pos_ < 2) return false;
    switch (buffer_[pos_ + 1]) {
        case '/': return EndTag();
        case '?': return Skipped("?>");
        case '!': break;
        default: {
            const std::size_t end = TagEnd();
            return end != std::string::npos && StartTag(end);
        }
    }
    const int comment = StartsWith(buffer_, pos_, "<!--");
    if (comment > 0) return Skipped("-->");
    const int cdata = StartsWith(buffer_, pos_, "<![CDATA[");
    if (cdata > 0) return Cdata();
    const int doctype = StartsWith(buffer_, pos_, "<!DOCTYPE");
    if (doctype > 0) throw XmlStreamError("", true);
    if (comment < 0 || cdata < 0 || doctype < 0) return false;
    Damaged("无法识别的标记", pos_);
}

bool XmlStream::Skipped(std::string_view close) {
    const auto end = buffer_.find(close, pos_ + 2);
    if (end == std::string::npos) return false;
    pos_ = end + close.size();
    return true;
}

bool XmlStream::Cdata() {
    constexpr std::size_t kOpen = 9;  // "<![CDATA["
    const auto end = buffer_.find("]]>", pos_ + kOpen);
    if (end == std::string::npos) return false;
    if (depth_ == 0) Damaged("根元素之外有CDATA", pos_);
    DeliverText(std::string_view(buffer_).substr(pos_ + kOpen, end - pos_ - kOpen), false);
    pos_ = end + 3;
    return true;
}

std::size_t XmlStream::TagEnd() const {
    char quote = 0;
    for (std::size_t i = pos_ + 1; i < buffer_.size(); ++i) {
        const char c = buffer_[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i;
        } else if (c == '<') {
            Damaged("标记中有“<”", i);
        }
    }
    return std::string::npos;
}

bool XmlStream::StartTag(std::size_t end) {
    std::string_view inside = std::string_view(buffer_).substr(pos_ + 1, end - pos_ - 1);
    const bool empty = !inside.empty() && inside.back() == '/';
    if (empty) inside.remove_suffix(1);
    std::size_t n = 0;
    while (n < inside.size() && !IsSpace(inside[n])) ++n;
    const std::string_view name = inside.substr(0, n);
    if (name.empty() || name.find_first_of("=\"'/&") != std::string_view::npos)
        Damaged("元素名无效", pos_);
    if (depth_ == 0 && root_seen_) Damaged("根元素之后还有元素", pos_);
    if (depth_ >= kMaxDepth) Damaged("元素嵌套过深", pos_);
    ParseAttributes(inside.substr(n), pos_ + 1 + n);
    if (open_.size() <= depth_) open_.emplace_back();
    open_[depth_++].assign(name);
    root_seen_ = true;
    const std::string_view local = LocalPart(name);
    handler_.Start(local, attributes_);
    if (empty) {
        --depth_;
        handler_.End(local);
    }
    pos_ = end + 1;
    return true;
}

bool XmlStream::EndTag() {
    const auto end = buffer_.find('>', pos_ + 2);
    if (end == std::string::npos) return false;
    std::string_view name = std::string_view(buffer_).substr(pos_ + 2, end - pos_ - 2);
    while (!name.empty() && IsSpace(name.back())) name.remove_suffix(1);
    if (depth_ == 0) Damaged(base::MessageText("结束标记</{1}>没有对应的开始标记", {name}), pos_);
    if (name != open_[depth_ - 1])
        Damaged(base::MessageText("结束标记</{1}>与开始标记<{2}>不对应", {name, open_[depth_ - 1]}),
                pos_);
    --depth_;
    handler_.End(LocalPart(name));
    pos_ = end + 1;
    return true;
}

void XmlStream::ParseAttributes(std::string_view s, std::size_t offset) {
    attributes_.clear();
    std::size_t i = 0;
    bool decode = false;
    while (true) {
        const std::size_t before = i;
        while (i < s.size() && IsSpace(s[i])) ++i;
        if (i == s.size()) break;
        if (i == before) Damaged("属性之间缺少空格", offset + i);
        const std::size_t start = i;
        while (i < s.size() && s[i] != '=' && !IsSpace(s[i])) ++i;
        const std::string_view name = s.substr(start, i - start);
        while (i < s.size() && IsSpace(s[i])) ++i;
        if (name.empty() || i + 1 >= s.size() || s[i] != '=') Damaged("属性无效", offset + start);
        ++i;
        while (i < s.size() && IsSpace(s[i])) ++i;
        const char quote = i < s.size() ? s[i] : 0;
        const auto close = quote == '"' || quote == '\'' ? s.find(quote, i + 1) : s.npos;
        if (close == s.npos) Damaged("属性值没有用引号括起", offset + start);
        const std::string_view value = s.substr(i + 1, close - i - 1);
        if (value.find('<') != std::string_view::npos) Damaged("属性值中有“<”", offset + start);
        decode |= value.find_first_of("&\t\n\r") != std::string_view::npos;
        attributes_.push_back({LocalPart(name), value});
        i = close + 1;
    }
    if (!decode) {
        for (const XmlAttribute& a : attributes_)
            if (!ValidText(a.value)) Damaged("属性值不是有效的UTF-8编码", offset);
        return;
    }
    // Reserved whole first, so the views into it stay valid.
    values_.clear();
    values_.reserve(s.size());
    for (XmlAttribute& a : attributes_) {
        const std::size_t at = values_.size();
        for (std::size_t k = 0; k < a.value.size(); ++k) {
            const char c = a.value[k];
            if (c == '\r' && k + 1 < a.value.size() && a.value[k + 1] == '\n') continue;
            if (c == '\t' || c == '\n' || c == '\r') {
                values_ += ' ';
            } else if (c != '&') {
                values_ += c;
            } else {
                const auto semi = a.value.find(';', k);
                const long long code =
                    semi == a.value.npos ? -1 : EntityCode(a.value.substr(k + 1, semi - k - 1));
                if (code < 0) Damaged("属性值中的实体引用无效", offset);
                base::AppendUtf8(values_, static_cast<char32_t>(code));
                k = semi;
            }
        }
        a.value = std::string_view(values_).substr(at);
        if (!ValidText(a.value)) Damaged("属性值不是有效的UTF-8编码", offset);
    }
}

std::string_view XmlStream::Decoded(std::string_view raw, std::string& out, std::size_t offset) {
    out.clear();
    for (std::size_t k = 0; k < raw.size(); ++k) {
        const char c = raw[k];
        if (c == '\r') {
            // Line ends read as line feeds, as in every XML reader.
            out += '\n';
            if (k + 1 < raw.size() && raw[k + 1] == '\n') ++k;
        } else if (c != '&' || offset == std::string::npos) {
            out += c;
        } else {
            const auto semi = raw.find(';', k);
            const long long code = semi == raw.npos || semi - k > 12
                                       ? -1
                                       : EntityCode(raw.substr(k + 1, semi - k - 1));
            if (code < 0) Damaged("实体引用无效", offset + k);
            base::AppendUtf8(out, static_cast<char32_t>(code));
            k = semi;
        }
    }
    return out;
}

void XmlStream::DeliverText(std::string_view raw, bool references) {
    std::string_view text = raw;
    const char* special = references ? "&\r" : "\r";
    if (raw.find_first_of(special) != std::string_view::npos)
        text = Decoded(raw, text_, references ? pos_ : std::string::npos);
    if (!ValidText(text)) Damaged("文字不是有效的UTF-8编码，或含有XML中不允许的控制字符", pos_);
    handler_.Text(text);
}

}  // namespace zorbix::office
