// The name a downloaded file goes out under: whatever a project number
// holds, the header stays one header and the name stays one file name.
#include "server/download_name.h"

#include <gtest/gtest.h>

#include "tests/support/param_names.h"

namespace zorbix::testing {
namespace {

struct NameCase {
    std::string name;
    std::string number;
    std::string disposition;  // with the extension ".kj"
};

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.name; }

const NameCase kCases[] = {
    {"PlainNumber", "201300000001",
     "attachment; filename=\"201300000001.kj\"; filename*=UTF-8''201300000001.kj"},
    {"Quote", "2013\"01", "attachment; filename=\"2013_01.kj\"; filename*=UTF-8''2013_01.kj"},
    {"LineEnds", "2013\r\nSet-Cookie: x",
     "attachment; filename=\"2013__Set-Cookie__x.kj\"; "
     "filename*=UTF-8''2013__Set-Cookie_%20x.kj"},
    {"Slashes", "../etc/passwd",
     "attachment; filename=\"___etc_passwd.kj\"; filename*=UTF-8''___etc_passwd.kj"},
    {"Backslash", "a\\b", "attachment; filename=\"a_b.kj\"; filename*=UTF-8''a_b.kj"},
    {"ControlCharacters", std::string("a\x01\tb\x7f", 5),
     "attachment; filename=\"a__b_.kj\"; filename*=UTF-8''a__b_.kj"},
    {"WindowsReserved", "a:b*c?d<e>f|g",
     "attachment; filename=\"a_b_c_d_e_f_g.kj\"; filename*=UTF-8''a_b_c_d_e_f_g.kj"},
    {"Chinese", "科技01",
     "attachment; filename=\"______01.kj\"; filename*=UTF-8''%E7%A7%91%E6%8A%8001.kj"},
    {"SemicolonAndSpace", "a; b", "attachment; filename=\"a__b.kj\"; filename*=UTF-8''a%3B%20b.kj"},
    {"PercentSign", "100%", "attachment; filename=\"100_.kj\"; filename*=UTF-8''100%25.kj"},
    {"LeadingDots", "..", "attachment; filename=\"__.kj\"; filename*=UTF-8''__.kj"},
    {"Empty", "", "attachment; filename=\"______.kj\"; filename*=UTF-8''%E9%A1%B9%E7%9B%AE.kj"},
    // GBK bytes of 科技, as an old store may hold them.
    {"NotUtf8",
     "\xBF\xC6\xBC\xBC"
     "01",
     "attachment; filename=\"____01.kj\"; filename*=UTF-8''____01.kj"},
};

class DownloadName : public ::testing::TestWithParam<NameCase> {};

TEST_P(DownloadName, StaysOneHeaderAndOneFileName) {
    const NameCase& c = GetParam();
    const std::string disposition = server::AttachmentDisposition(c.number, ".kj");
    EXPECT_EQ(disposition, c.disposition);
    for (const char ch : disposition) {
        const auto byte = static_cast<unsigned char>(ch);
        EXPECT_TRUE(byte >= 0x20 && byte < 0x7F) << "only printable ASCII in the header";
    }
    const std::string stem = server::SafeFileStem(c.number);
    EXPECT_EQ(stem.find_first_of("\"/\\\r\n"), std::string::npos);
    EXPECT_NE(stem.front(), '.');
}

INSTANTIATE_TEST_SUITE_P(Numbers, DownloadName, ::testing::ValuesIn(kCases), NameMember());

}  // namespace
}  // namespace zorbix::testing
