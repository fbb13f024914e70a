// Printing through a real CUPS scheduler of the test's own, with a cups-pdf
// queue as the default printer: a report goes through LibreOffice and lp.
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "report/project_report.h"
#include "report/report_printing.h"
#include "tests/report/report_fixture.h"
#include "tests/support/cli_runner.h"

namespace zorbix::report {
namespace {

namespace fs = std::filesystem;

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

// A scheduler on a private socket; CUPS_SERVER points the clients at it.
class PrivateCups {
public:
    explicit PrivateCups(const fs::path& root) : root_(root) {
        for (const char* sub : {"etc/ppd", "spool/tmp", "cache", "state", "log"})
            fs::create_directories(root / sub);
        std::ofstream(root / "etc/cups-files.conf")
            << "ServerRoot " << (root / "etc").string() << "\nRequestRoot "
            << (root / "spool").string() << "\nTempDir " << (root / "spool/tmp").string()
            << "\nCacheDir " << (root / "cache").string() << "\nStateDir "
            << (root / "state").string() << "\nErrorLog " << (root / "log/error_log").string()
            << "\nAccessLog " << (root / "log/access_log").string() << "\nPageLog "
            << (root / "log/page_log").string() << "\nServerBin /usr/lib/cups\n";
        std::ofstream(root / "etc/cupsd.conf")
            << "Listen " << Socket().string()
            << "\nLogLevel warn\nBrowsing Off\nDefaultAuthType None\n"
            << "<Location />\n Order allow,deny\n Allow all\n</Location>\n"
            << "<Location /admin>\n Order allow,deny\n Allow all\n</Location>\n";
        pid_ = ::fork();
        if (pid_ == 0) {
            ::execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", (root / "etc/cupsd.conf").c_str(), "-s",
                    (root / "etc/cups-files.conf").c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::setenv("CUPS_SERVER", Socket().c_str(), 1);
        for (int i = 0; i < 100 && !fs::exists(Socket()); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~PrivateCups() {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        ::unsetenv("CUPS_SERVER");
    }
    fs::path Socket() const { return root_ / "cups.sock"; }
    bool Running() const { return pid_ > 0 && fs::exists(Socket()); }

private:
    fs::path root_;
    pid_t pid_ = -1;
};

bool CanRunCups() {
    return ::geteuid() == 0 && fs::exists("/usr/sbin/cupsd") &&
           fs::exists("/usr/lib/cups/backend/cups-pdf") &&
           fs::exists("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd") &&
           std::system("command -v soffice lp >/dev/null") == 0;
}

class CupsPrint : public ReportFixture {};

TEST_F(CupsPrint, WithoutADefaultPrinterSaysToSetOneUp) {
    if (!CanRunCups()) GTEST_SKIP() << "no cupsd with cups-pdf here";
    PrivateCups cups(dir / "cups");
    ASSERT_TRUE(cups.Running());
    AddDemo("201300000007");
    ASSERT_TRUE(MakeProjectReport(records(), prompter, dir.path()));
    EXPECT_FALSE(CommandPrint(records(), prompter, dir.path()));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text.rfind("没有设置默认打印机", 0), 0u)
        << prompter.messages[0].text;
}

TEST_F(CupsPrint, APdfPrinterReceivesTheReportAndTheReportStaysAsItWas) {
    if (!CanRunCups()) GTEST_SKIP() << "no cupsd with cups-pdf here";
    PrivateCups cups(dir / "cups");
    ASSERT_TRUE(cups.Running());
    ASSERT_TRUE(Shell(
        "lpadmin -p ZorbixTestPDF -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -E "
        "2>/dev/null && lpadmin -d ZorbixTestPDF"));
    AddDemo("201300000007");
    ASSERT_TRUE(MakeProjectReport(records(), prompter, dir.path()));
    const std::string before = testing::Slurp(dir / "201300000007.docx");
    ASSERT_TRUE(CommandPrint(records(), prompter, dir.path())) << prompter.messages.back().text;
    EXPECT_EQ(prompter.messages.back().text, "报表已送往打印机“ZorbixTestPDF”打印。");
    EXPECT_EQ(testing::Slurp(dir / "201300000007.docx"), before);

    // cups-pdf writes into the PDF folder of the job's user.
    const fs::path out = fs::path(::getpwuid(::getuid())->pw_dir) / "PDF";
    fs::path printed;
    for (int i = 0; i < 300 && printed.empty(); ++i) {
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(out, ec))
            if (e.path().filename().string().find("201300000007") != std::string::npos &&
                e.file_size() > 1000)
                printed = e.path();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_FALSE(printed.empty()) << "no PDF from the printer in " << out;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(testing::Slurp(printed).rfind("%PDF", 0), 0u);
    fs::remove(printed);
}

}  // namespace
}  // namespace zorbix::report
