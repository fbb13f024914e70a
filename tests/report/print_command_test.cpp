// Printing the saved report: the messages before and instead of a print.
#include <gtest/gtest.h>

#include <cstdlib>

#include "report/project_report.h"
#include "report/report_printing.h"
#include "tests/report/report_fixture.h"
#include "tests/support/cli_runner.h"

namespace zorbix::report {
namespace {

// Sets an environment variable for one test and puts it back afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class PrintCommand : public ReportFixture {};

TEST_F(PrintCommand, AReportNeverGeneratedAsksToGenerateIt) {
    AddDemo("201300000007");
    EXPECT_FALSE(CommandPrint(records(), prompter, dir.path()));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].title, "Qorvath省科技统计");
    EXPECT_EQ(prompter.messages[0].text, "报表文件没有找到，请重新生成报表文件。");
}

TEST_F(PrintCommand, AnUnsafeProjectNumberIsRefused) {
    AddDemo("201300000007");
    records().SetValue("JB02", "../201300000007");
    EXPECT_FALSE(CommandPrint(records(), prompter, dir.path()));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find("文件名"), std::string::npos)
        << prompter.messages[0].text;
}

TEST_F(PrintCommand, WithoutLibreOfficeSaysWhatToInstallAndLeavesTheReport) {
    AddDemo("201300000007");
    ASSERT_TRUE(MakeProjectReport(records(), prompter, dir.path()));
    const std::string before = testing::Slurp(dir / "201300000007.docx");
    ScopedEnv path("PATH", dir.path().string());
    EXPECT_FALSE(CommandPrint(records(), prompter, dir.path()));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::None);
    EXPECT_EQ(prompter.messages[0].text.rfind("未找到LibreOffice", 0), 0u)
        << prompter.messages[0].text;
    EXPECT_NE(prompter.messages[0].text.find("安装"), std::string::npos);
    EXPECT_EQ(testing::Slurp(dir / "201300000007.docx"), before);
}

TEST_F(PrintCommand, WithoutARunningPrintServiceSaysToStartIt) {
    AddDemo("201300000007");
    ASSERT_TRUE(MakeProjectReport(records(), prompter, dir.path()));
    ScopedEnv server("CUPS_SERVER", (dir / "no-such-cups.sock").string());
    ScopedEnv lpdest("LPDEST", "");
    ScopedEnv printer("PRINTER", "");
    EXPECT_FALSE(CommandPrint(records(), prompter, dir.path()));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text.rfind("打印服务CUPS没有运行", 0), 0u)
        << prompter.messages[0].text;
    EXPECT_EQ(prompter.busy_begun, prompter.busy_ended);
}

}  // namespace
}  // namespace zorbix::report
