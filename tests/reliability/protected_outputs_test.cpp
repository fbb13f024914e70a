// Outputs named after the program's own files: the saved check result, the
// exchange files and the reports are refused with a message naming the file,
// and the database, its journals, the templates, the help document, the plan
// workbook, the backups and the executables stay byte for byte as they were.
// Leftover temporaries of a killed run go with the next write.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kProgramDir = ZORBIX_TEMPLATE_DIR;
const std::string kReportTemplate = "2013模板.docx";
const std::string kHelp = "Qorvath省科技计划项目执行情况年度调查系统帮助文件.docx";

class ProtectedOutputs : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& entry : fs::directory_iterator(kProgramDir))
            if (entry.path().extension() == ".xlsx" || entry.path().extension() == ".docx")
                fs::copy_file(entry.path(), dir_ / entry.path().filename().string());
        fs::copy_file(kProgramDir / "人才培养情况.xlsx", dir_ / "2013计划.xlsx");
        fs::create_directories(dir_ / "backup");
        std::ofstream(dir_ / "backup" / "zorbix2013-20131201.db") << "a backup";
        std::ofstream(dir_ / "zorbix-tool") << "#!/bin/sh\necho tool\n";
        fs::permissions(dir_ / "zorbix-tool", fs::perms::owner_exec, fs::perm_options::add);
        ASSERT_EQ(Run({"demo", "3"}).status, 0);
        projects_ = RunCli(dir_.path(), {"list"}).out;
    }

    CliResult Run(const std::vector<std::string>& args) { return RunCli(dir_.path(), args); }

    // Runs an output command onto a protected file: refused, the file named,
    // the file and the store unchanged.
    void ExpectRefused(const std::vector<std::string>& args, const fs::path& file) {
        const std::string before = Slurp(file);
        const auto result = Run(args);
        EXPECT_EQ(result.status, 1) << args.front() << " onto " << file;
        EXPECT_NE(result.err.find("文件“" + file.string() + "”是本程序的"), std::string::npos)
            << result.err;
        EXPECT_EQ(Slurp(file), before) << file;
        EXPECT_EQ(Run({"list"}).out, projects_);
    }

    TempDir dir_;
    std::string projects_;
};

TEST_F(ProtectedOutputs, SaveAndSubmitRefuseEveryProgramFile) {
    const fs::path files[] = {dir_ / "zorbix2013.db",
                              dir_ / "zorbix2013.db-wal",
                              dir_ / "zorbix2013.db-journal",
                              dir_ / kReportTemplate,
                              dir_ / kHelp,
                              dir_ / "专利情况.xlsx",
                              dir_ / "2013计划.xlsx",
                              dir_ / "2013计划.xls",
                              dir_ / "backup" / "zorbix2013-20131201.db",
                              dir_ / "backup" / "new.kj",
                              dir_ / "zorbix-tool"};
    for (const auto& file : files) {
        ExpectRefused({"check", "--save", file.string()}, file);
        ExpectRefused({"submit", file.string()}, file);
        EXPECT_FALSE(file.filename() == "new.kj" && fs::exists(file));
    }
}

TEST_F(ProtectedOutputs, DistributeWritesNothingIntoTheBackups) {
    const auto result = Run({"distribute", (dir_ / "backup").string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("是本程序的备份文件夹中的文件"), std::string::npos) << result.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "backup"), fs::directory_iterator()), 1);
}

TEST_F(ProtectedOutputs, AnotherNameOfTheDatabaseIsRefused) {
    // A store on a server leaves the directory's file as it was before the
    // store moved up: it is guarded all the same.
    if (!fs::exists(dir_ / "zorbix2013.db")) std::ofstream(dir_ / "zorbix2013.db") << "a store";
    fs::create_hard_link(dir_ / "zorbix2013.db", dir_ / "hard.kj");
    fs::create_symlink(dir_ / "zorbix2013.db", dir_ / "soft.kj");
    fs::create_directories(dir_ / "sub");
    for (const fs::path& file : {dir_ / "hard.kj", dir_ / "soft.kj", dir_ / "sub/../zorbix2013.db"})
        ExpectRefused({"submit", file.string()}, file);
}

TEST_F(ProtectedOutputs, AReportNamedAfterAProgramFileIsRefused) {
    const std::string first = projects_.substr(0, projects_.find('\t'));
    ASSERT_EQ(Run({"set", first, "JB02=2013模板"}).status, 0);
    projects_ = Run({"list"}).out;
    ExpectRefused({"report", "--project", "2013模板"}, dir_ / kReportTemplate);
    const std::string help_number = kHelp.substr(0, kHelp.size() - 5);
    ASSERT_EQ(Run({"set", "2013模板", "JB02=" + help_number}).status, 0);
    projects_ = Run({"list"}).out;
    ExpectRefused({"report", "--project", help_number}, dir_ / kHelp);
}

TEST_F(ProtectedOutputs, OrdinaryOutputsStillWrite) {
    EXPECT_EQ(Run({"submit", (dir_ / "all.kj").string()}).status, 0);
    EXPECT_EQ(Run({"check", "--save", (dir_ / "result.txt").string()}).status, 0);
    EXPECT_TRUE(fs::exists(dir_ / "all.kj"));
    EXPECT_TRUE(fs::exists(dir_ / "result.txt"));
}

TEST_F(ProtectedOutputs, AProgramFileThatIsAFolderIsNamedAsOne) {
    const std::string first = projects_.substr(0, projects_.find('\t'));
    for (const std::string& name : {kReportTemplate, std::string("2013计划.xlsx")}) {
        fs::remove(dir_ / name);
        fs::create_directory(dir_ / name);
    }
    const auto report = Run({"report", "--project", first});
    const auto reconcile = Run({"reconcile"});
    for (const auto& [result, name] :
         {std::pair{report, kReportTemplate}, std::pair{reconcile, std::string("2013计划.xlsx")}}) {
        EXPECT_EQ(result.status, 1) << name;
        EXPECT_NE(result.err.find("文件“" + (dir_ / name).string() + "”是一个文件夹，不是文件。"),
                  std::string::npos)
            << result.err;
    }
}

// The process id of a process that has ended.
pid_t EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST_F(ProtectedOutputs, TemporariesOfAKilledRunGoWithTheNextWrite) {
    const std::string pid = std::to_string(EndedProcess());
    const fs::path leftovers[] = {dir_ / (".all.kj." + pid + ".0.tmp"),
                                  dir_ / (".专利情况_2013.xlsx." + pid + ".7.tmp")};
    for (const auto& file : leftovers) std::ofstream(file) << "half";
    const fs::path kept = dir_ / ".notes.tmp";
    std::ofstream(kept) << "someone else's";
    ASSERT_EQ(Run({"submit", (dir_ / "all.kj").string()}).status, 0);
    for (const auto& file : leftovers) EXPECT_FALSE(fs::exists(file)) << file;
    EXPECT_TRUE(fs::exists(kept));
}

}  // namespace
}  // namespace zorbix::testing
