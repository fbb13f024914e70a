// Downloads of projects whose numbers hold what a header or a file name
// must not: the answer keeps one Content-Disposition, injects no header,
// names no path, and still names the file after the project.
#include <gtest/gtest.h>

#include <filesystem>

#include "report/report_files.h"
#include "tests/server/raw_request.h"
#include "tests/server/server_fixture.h"
#include "tests/support/param_names.h"

namespace zorbix::testing {
namespace {

using accounts::Role;

struct HostileNumber {
    std::string name;
    std::string number;
    std::string stem;  // what the saved file's name must begin with
};

void PrintTo(const HostileNumber& h, std::ostream* out) { *out << h.name; }

const HostileNumber kNumbers[] = {
    {"Quotes", "2013\"0001\"", "2013_0001_"},
    {"HeaderInjection", "2013\r\nSet-Cookie: zorbix_session=x",
     "2013__Set-Cookie_ zorbix_session=x"},
    {"LoneLineFeed", "2013\nX-Injected: 1", "2013_X-Injected_ 1"},
    {"Semicolons", "2013; filename=evil.exe", "2013; filename=evil.exe"},
    {"Slashes", "../../etc/passwd", "___.._etc_passwd"},
    {"Backslashes", "..\\..\\windows\\win.ini", "___.._windows_win.ini"},
    {"AbsolutePath", "/tmp/x", "_tmp_x"},
    {"Chinese", "科技项目２０１３", "科技项目２０１３"},
    {"Nul", std::string("2013\0evil", 9), "2013_evil"},
};

std::string PercentEncodedAll(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        out += {'%', kHex[c >> 4], kHex[c & 0x0F]};
    }
    return out;
}

std::string PercentDecoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

class DownloadNames : public ServerFixture, public ::testing::WithParamInterface<HostileNumber> {
protected:
    DownloadNames() {
        AddAccount("clerk", Role::Clerk, "", "clerk-password");
        std::filesystem::copy_file(std::filesystem::u8path(ZORBIX_REPORT_TEMPLATE),
                                   report::TemplatePath(dir_.path()));
        clerk_ = Login("clerk", "clerk-password");
        AddProject(GetParam().number, "");
    }

    BrowserSession clerk_;
};

TEST_P(DownloadNames, KeepOneSafeHeaderThatStillNamesTheProject) {
    for (const std::string suffix : {"/report", "/exchange"}) {
        SCOPED_TRACE(suffix);
        const RawReply reply = SendRaw(
            port_, RawRequest()
                       .Target("/api/projects/" + PercentEncodedAll(GetParam().number) + suffix)
                       .Cookie(clerk_.cookie)
                       .WithoutCsrf());
        ASSERT_NE(reply.status, 0);
        EXPECT_EQ(reply.Header("set-cookie"), "") << reply.head;
        EXPECT_EQ(reply.Header("x-injected"), "") << reply.head;
        std::string lower = reply.head;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (reply.status != 200) {
            // Refused as a file name the survey's outputs cannot carry.
            EXPECT_EQ(Count(lower, "content-disposition"), 0u) << reply.head;
            EXPECT_EQ(reply.Header("content-type"), "application/json; charset=utf-8");
            continue;
        }
        EXPECT_EQ(Count(lower, "\r\ncontent-disposition:"), 1u) << reply.head;
        const std::string disposition = reply.Header("content-disposition");
        for (const char c : disposition)
            EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "a byte " << int(c) << " in " << disposition;
        const auto plain_at = disposition.find("filename=\"") + 10;
        const std::string plain =
            disposition.substr(plain_at, disposition.find('"', plain_at) - plain_at);
        EXPECT_EQ(plain.find_first_of("/\\;"), std::string::npos) << plain;
        const auto encoded_at = disposition.find("filename*=UTF-8''");
        ASSERT_NE(encoded_at, std::string::npos) << disposition;
        const std::string name = PercentDecoded(disposition.substr(encoded_at + 17));
        EXPECT_EQ(name.find_first_of("/\\\r\n\"", 0), std::string::npos) << name;
        EXPECT_EQ(name.find('\0'), std::string::npos);
        EXPECT_EQ(name.rfind(GetParam().stem, 0), 0u) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Numbers, DownloadNames, ::testing::ValuesIn(kNumbers), NameMember());

}  // namespace
}  // namespace zorbix::testing
