// GBK conversion through glibc's iconv(3). This is the one file a port to
// another platform replaces.
#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "base/gbk.h"

namespace zorbix::base {
namespace {

// One conversion direction; iconv descriptors are costly to open, so each
// thread keeps its own pair for the life of the program.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw Failure(std::string("系统不支持") + from + "到" + to + "的编码转换。");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of input; on failure reports errno and the offset reached.
    bool Convert(std::string_view input, std::string& out, int& error, std::size_t& offset) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.assign(input.size() * 2 + 16, '\0');
        char* in = const_cast<char*>(input.data());
        std::size_t in_left = input.size();
        char* dst = out.data();
        std::size_t out_left = out.size();
        while (in_left > 0) {
            if (iconv(cd_, &in, &in_left, &dst, &out_left) != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) {
                const std::size_t used = dst - out.data();
                out.resize(out.size() * 2);
                dst = out.data() + used;
                out_left = out.size() - used;
                continue;
            }
            error = errno;
            offset = input.size() - in_left;
            out.resize(dst - out.data());
            return false;
        }
        out.resize(dst - out.data());
        return true;
    }

private:
    iconv_t cd_;
};

Converter& ToGbkConverter() {
    thread_local Converter converter("GBK", "UTF-8");
    return converter;
}

Converter& FromGbkConverter() {
    thread_local Converter converter("UTF-8", "GBK");
    return converter;
}

std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

}  // namespace

std::string ToGbk(std::string_view utf8) {
    std::string out;
    int error = 0;
    std::size_t offset = 0;
    if (ToGbkConverter().Convert(utf8, out, error, offset)) return out;
    if (error == EILSEQ) {
        const std::size_t n = Utf8SequenceLength(static_cast<unsigned char>(utf8[offset]));
        const std::string character(utf8.substr(offset, n));
        throw GbkError("文本中的字符“" + character + "”无法用GBK编码保存。", offset);
    }
    throw GbkError("文本不是完整的UTF-8文本。", offset);
}

std::string FromGbk(std::string_view gbk) {
    std::string out;
    int error = 0;
    std::size_t offset = 0;
    if (FromGbkConverter().Convert(gbk, out, error, offset)) return out;
    if (error == EINVAL)
        throw GbkError("文本在末尾处有不完整的汉字（第" + std::to_string(offset + 1) + "字节）。",
                       offset);
    throw GbkError("第" + std::to_string(offset + 1) + "字节起的内容不是GBK编码的文本。", offset);
}

std::size_t GbkLength(std::string_view utf8) {
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n =
            std::min(Utf8SequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        if (n == 1) {
            bytes += 1;
        } else {
            std::string out;
            int error = 0;
            std::size_t offset = 0;
            bytes +=
                ToGbkConverter().Convert(utf8.substr(i, n), out, error, offset) ? out.size() : 2;
        }
        i += n;
    }
    return bytes;
}

std::string CutToGbkBytes(std::string_view utf8, std::size_t max_bytes) {
    std::size_t bytes = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t n =
            std::min(Utf8SequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        const std::size_t width = n == 1 ? 1 : GbkLength(utf8.substr(i, n));
        if (bytes + width > max_bytes) break;
        bytes += width;
        i += n;
    }
    return std::string(utf8.substr(0, i));
}

}  // namespace zorbix::base
