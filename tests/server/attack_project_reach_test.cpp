// A unit trying to reach another unit's project through every project call
// and every spelling of its number: it must get exactly what a number that
// does not exist gets (status, message, size), in about the same time, and
// the project must stay as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <vector>

#include "tests/server/raw_request.h"
#include "tests/server/server_fixture.h"
#include "tests/support/param_names.h"

namespace zorbix::testing {
namespace {

using accounts::Role;

const std::string kOwn = "201300000001";
const std::string kOthers = "201300000002";
// As long as kOthers, so that a message naming it is as long.
const std::string kMissing = "201300000009";

struct ProjectCall {
    std::string name;
    std::string method;
    std::string suffix;
    std::string body;
};

const ProjectCall kProjectCalls[] = {
    {"Read", "GET", "", ""},
    {"Save", "PUT", "", R"({"version":1,"values":{"JB01":"改了"}})"},
    {"Submit", "POST", "/submit", ""},
    {"Findings", "GET", "/findings", ""},
    {"History", "GET", "/history", ""},
    {"Report", "GET", "/report", ""},
    {"Exchange", "GET", "/exchange", ""},
    {"Return", "POST", "/return", R"({"comment":"请修改"})"},
    {"Approve", "POST", "/approve", ""},
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

// Each digit as its full-width form (U+FF10…U+FF19), percent-encoded UTF-8.
std::string FullWidth(const std::string& number) {
    std::string out;
    for (const char digit : number)
        out += PercentEncodedAll({'\xEF', '\xBC', char('\x90' + (digit - '0'))});
    return out;
}

struct Spelling {
    using Of = std::function<std::string(const std::string&)>;
    Spelling(std::string name_, Of of_, bool same_number_ = false)
        : name(std::move(name_)), of(std::move(of_)), same_number(same_number_) {}

    std::string name;
    Of of;
    bool same_number;  // decodes to exactly the number
};

void PrintTo(const Spelling& s, std::ostream* out) { *out << s.name; }

const std::vector<Spelling>& Spellings() {
    using N = const std::string&;
    static const std::vector<Spelling> spellings = {
        {"Plain", [](N n) { return n; }, true},
        {"EveryBytePercentEncoded", [](N n) { return PercentEncodedAll(n); }, true},
        {"DoubleEncoded", [](N n) { return "%25" + PercentEncodedAll(n).substr(1); }},
        {"DoubleEncodedEverywhere",
         [](N n) {
             std::string out;
             for (const char c : n) out += "%25" + PercentEncodedAll({c}).substr(1);
             return out;
         }},
        {"EncodedSlashBefore", [](N n) { return "x%2F" + n; }},
        {"EncodedSlashLowerCase", [](N n) { return "x%2f" + n; }},
        {"EncodedDotDotSlash", [](N n) { return "%2e%2e%2F" + n; }},
        {"EncodedDotDotMixedCase", [](N n) { return "%2E%2e%2f" + n; }},
        {"EncodedBackslash", [](N n) { return "..%5C" + n; }},
        {"LeadingZero", [](N n) { return "0" + n; }},
        {"LeadingZeros", [](N n) { return "000" + n; }},
        {"LeadingBlank", [](N n) { return "%20" + n; }},
        {"TrailingBlank", [](N n) { return n + "%20"; }},
        {"TrailingTab", [](N n) { return n + "%09"; }},
        {"PlusSign", [](N n) { return "+" + n; }},
        {"EncodedPlusSign", [](N n) { return "%2B" + n; }},
        {"MinusZero", [](N n) { return "-0" + n; }},
        {"FullWidthDigits", [](N n) { return FullWidth(n); }},
        {"Exponent", [](N n) { return n.substr(0, 1) + "." + n.substr(1) + "e11"; }},
        {"ExponentUpperCase", [](N n) { return n.substr(0, 1) + "." + n.substr(1) + "E11"; }},
        {"ExponentZero", [](N n) { return n + "e0"; }},
        {"DecimalPoint", [](N n) { return n + ".0"; }},
        {"Hexadecimal", [](N n) { return "0x" + n; }},
        {"Nul", [](N n) { return n + "%00"; }},
        {"NulBefore", [](N n) { return "%00" + n; }},
        {"NotUtf8", [](N n) { return n + "%FF"; }},
        {"OverlongDot", [](N n) { return "%C0%AE%C0%AE%C0%AF" + n; }},
        {"Quote", [](N n) { return n + "%27"; }},
        {"DotDotPath", [](N n) { return "../projects/" + n; }},
        {"DotPath", [](N n) { return "./" + n; }},
        {"DoubleSlash", [](N n) { return "/" + n; }},
        {"TrailingSlash", [](N n) { return n + "/"; }},
        {"TrailingDot", [](N n) { return n + "/."; }},
        {"OwnThenUp", [](N n) { return kOwn + "/../" + n; }},
        {"OwnThenEncodedUp", [](N n) { return kOwn + "%2F..%2F" + n; }},
        // A query or fragment is not part of the path: the number stands.
        {"QueryAfter", [](N n) { return n + "?number=" + kOwn; }, true},
        {"FragmentAfter", [](N n) { return n + "#" + kOwn; }, true},
        {"Semicolon", [](N n) { return n + ";" + kOwn; }},
    };
    return spellings;
}

std::string PercentDecoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool escape = text[i] == '%' && i + 2 < text.size() &&
                            std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
                            std::isxdigit(static_cast<unsigned char>(text[i + 2]));
        out += escape ? static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)) : text[i];
        if (escape) i += 2;
    }
    return out;
}

std::string Replaced(std::string text, const std::string& mark, const std::string& by) {
    for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark, at + by.size()))
        text.replace(at, mark.size(), by);
    return text;
}

class ProjectReach : public ServerFixture {
protected:
    ProjectReach() {
        AddAccount("unit", Role::Unit, "甲单位", "unit-password");
        AddAccount("clerk", Role::Clerk, "", "clerk-password");
        AddProject(kOwn, "甲单位");
        AddProject(kOthers, "乙单位");
        unit_ = Login("unit", "unit-password");
        clerk_ = Login("clerk", "clerk-password");
    }

    RawReply Send(const ProjectCall& call, const std::string& spelled_number) {
        RawRequest request;
        request.method = call.method;
        request.target = "/api/projects/" + spelled_number + call.suffix;
        request.cookie = unit_.cookie;
        request.csrf = unit_.csrf;
        request.body = call.body;
        return SendRaw(port_, request);
    }

    // What the office sees of the other unit's project: it must not change.
    std::string OthersProject() { return Call("GET", "/api/projects/" + kOthers, &clerk_).body; }

    BrowserSession unit_;
    BrowserSession clerk_;
};

class EverySpelling : public ProjectReach, public ::testing::WithParamInterface<Spelling> {};

TEST_P(EverySpelling, AnotherUnitsProjectAnswersAsAMissingOne) {
    const Spelling& spelling = GetParam();
    const std::string before = OthersProject();
    for (const ProjectCall& call : kProjectCalls) {
        SCOPED_TRACE(call.name);
        const RawReply others = Send(call, spelling.of(kOthers));
        const RawReply missing = Send(call, spelling.of(kMissing));
        ASSERT_NE(others.status, 0) << "no answer";
        EXPECT_EQ(others.status, missing.status);
        // 404 (403 for a call of the office's alone), never a failure.
        EXPECT_TRUE(others.status == 404 || others.status == 403) << others.body;
        EXPECT_EQ(others.body.size(), missing.body.size());
        // The message names the number as the server read it.
        const std::string named =
            Replaced(Replaced(others.body, PercentDecoded(spelling.of(kOthers)),
                              PercentDecoded(spelling.of(kMissing))),
                     kOthers, kMissing);
        EXPECT_EQ(named, missing.body);
        EXPECT_EQ(others.Header("content-length"), missing.Header("content-length"));
        EXPECT_EQ(others.Header("content-type"), missing.Header("content-type"));
        EXPECT_EQ(others.body.find("乙单位"), std::string::npos) << others.body;
    }
    EXPECT_EQ(OthersProject(), before) << "another unit's project changed";
}

TEST_P(EverySpelling, TheUnitsOwnProjectIsReachedOnlyByItsExactNumber) {
    const RawReply own = Send(kProjectCalls[0], GetParam().of(kOwn));
    if (GetParam().same_number)
        EXPECT_EQ(own.status, 200) << own.body;
    else
        EXPECT_EQ(own.status, 404) << own.body;
}

INSTANTIATE_TEST_SUITE_P(Numbers, EverySpelling, ::testing::ValuesIn(Spellings()), NameMember());

std::chrono::nanoseconds Median(std::vector<std::chrono::nanoseconds> times) {
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

// The medians of many tries, taken in turns so that a busy moment of the
// machine falls on both alike, lie within a wide factor of each other:
// only a clearly different path (a lookup more, a file made) would show.
TEST_F(ProjectReach, AnotherUnitsProjectTakesAsLongAsAMissingOne) {
    constexpr int kTries = 41;
    constexpr double kFactor = 3.0;
    for (const ProjectCall& call : kProjectCalls) {
        SCOPED_TRACE(call.name);
        std::vector<std::chrono::nanoseconds> others, missing;
        for (int i = 0; i < kTries; ++i) {
            others.push_back(Send(call, kOthers).took);
            missing.push_back(Send(call, kMissing).took);
        }
        const double other_median = static_cast<double>(Median(others).count());
        const double missing_median = static_cast<double>(Median(missing).count());
        EXPECT_LT(other_median, missing_median * kFactor);
        EXPECT_LT(missing_median, other_median * kFactor);
    }
}

}  // namespace
}  // namespace zorbix::testing
