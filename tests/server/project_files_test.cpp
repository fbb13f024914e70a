// The files a project is handed out as: its report (.docx) and its
// exchange file (.kj), under a file name that no project number can turn
// into a header or a path of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "exchange/exchange_operations.h"
#include "report/report_files.h"
#include "store/catalogue.h"
#include "tests/server/server_fixture.h"
#include "tests/support/recording_prompter.h"

namespace zorbix::testing {
namespace {

using accounts::Role;

constexpr const char* kProject = "201300000001";
constexpr const char* kDocxType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document";

std::string FileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ProjectFiles : public ServerFixture {
protected:
    ProjectFiles() {
        std::filesystem::copy_file(std::filesystem::u8path(ZORBIX_REPORT_TEMPLATE),
                                   report::TemplatePath(dir_.path()));
        AddAccount("clerk", Role::Clerk, "", "clerk-password");
        AddAccount("unit", Role::Unit, "甲单位", "unit-password");
        AddDemoProject(kProject, "甲单位");
        clerk_ = Login("clerk", "clerk-password");
        unit_ = Login("unit", "unit-password");
    }

    // What `zorbix-cli submit FILE --project NUMBER` writes: the window's
    // "项目上报" of the located project.
    std::string ExportedByTheBatchTool(const std::string& number) {
        const TempDir out;
        const auto file = out.path() / "out.kj";
        store_.With([&](server::StoreParts& parts) {
            auto& records = parts.records();
            const auto numbers = records.ColumnValues(store::kNumberColumn);
            const auto at = std::find(numbers.begin(), numbers.end(), number);
            records.MoveTo(static_cast<int>(at - numbers.begin()) + 1);
            RecordingPrompter prompter;
            prompter.files.push_back(file);
            EXPECT_EQ(exchange::SubmitCurrentProject(records, prompter, dir_.path()),
                      base::Outcome::Done);
        });
        return FileBytes(file);
    }

    BrowserSession clerk_, unit_;
};

TEST_F(ProjectFiles, TheReportIsAWordDocumentNamedAfterTheProject) {
    for (const BrowserSession* who : {&unit_, &clerk_}) {
        const Reply reply = Call("GET", std::string("/api/projects/") + kProject + "/report", who);
        ASSERT_EQ(reply.status, 200) << reply.body;
        EXPECT_EQ(reply.Header("Content-Type"), kDocxType);
        EXPECT_EQ(reply.body.substr(0, 4), std::string("PK\x03\x04")) << "a zip";
        EXPECT_EQ(reply.Header("Content-Disposition"),
                  "attachment; filename=\"201300000001.docx\"; "
                  "filename*=UTF-8''201300000001.docx");
    }
    EXPECT_FALSE(std::filesystem::exists(dir_ / "201300000001.docx"))
        << "nothing is left in the program directory";
}

TEST_F(ProjectFiles, WithoutItsTemplateTheReportIsRefusedWithAMessage) {
    std::filesystem::remove(report::TemplatePath(dir_.path()));
    const Reply reply = Call("GET", std::string("/api/projects/") + kProject + "/report", &unit_);
    EXPECT_EQ(reply.status, 503);
    EXPECT_NE(reply.Json()["error"].get<std::string>().find("报表模板"), std::string::npos)
        << reply.body;
}

TEST_F(ProjectFiles, TheExchangeFileHasTheBytesTheBatchToolWrites) {
    ASSERT_EQ(SaveFresh(unit_, kProject, {{"JB03", "承担单位“甲”"}}).status, 200);
    const Reply reply = Call("GET", std::string("/api/projects/") + kProject + "/exchange", &unit_);
    ASSERT_EQ(reply.status, 200) << reply.body;
    EXPECT_EQ(reply.Header("Content-Type"), "application/octet-stream");
    EXPECT_EQ(reply.Header("Content-Disposition"),
              "attachment; filename=\"201300000001.kj\"; filename*=UTF-8''201300000001.kj");
    const std::string exported = ExportedByTheBatchTool(kProject);
    ASSERT_FALSE(exported.empty());
    EXPECT_EQ(reply.body, exported);
}

TEST_F(ProjectFiles, AHostileNumberMakesNoHeaderAndNoPathOfItsOwn) {
    const std::string number = "a\"b/..\\c;d";
    AddDemoProject(number, "");
    const std::string path = "/api/projects/a%22b%2F..%5Cc%3Bd";
    const Reply report = Call("GET", path + "/report", &clerk_);
    ASSERT_EQ(report.status, 200) << report.body;
    // cpp-httplib's client decodes the percent-encoding of the header it
    // receives; the encoding itself is download_name_test's.
    const std::string disposition = report.Header("Content-Disposition");
    EXPECT_TRUE(disposition.starts_with(
        "attachment; filename=\"a_b_.._c_d.docx\"; filename*=UTF-8''a_b_.._c"))
        << disposition;
    EXPECT_EQ(disposition.find_first_of("/\\\r\n"), std::string::npos) << disposition;
    const Reply exchange = Call("GET", path + "/exchange", &clerk_);
    ASSERT_EQ(exchange.status, 200) << exchange.body;
    EXPECT_EQ(exchange.body, ExportedByTheBatchTool(number));
}

TEST_F(ProjectFiles, AValueTheExchangeLayoutCannotCarryIsRefused) {
    store_.With([](server::StoreParts& parts) {
        auto& records = parts.records();
        records.MoveTo(1);
        records.SetValue("JB03", "\x01");
        records.WriteBack();
    });
    const Reply reply = Call("GET", std::string("/api/projects/") + kProject + "/exchange", &unit_);
    EXPECT_EQ(reply.status, 422) << reply.body;
    EXPECT_NE(reply.Json()["error"].get<std::string>().find("交换文件"), std::string::npos);
}

}  // namespace
}  // namespace zorbix::testing
