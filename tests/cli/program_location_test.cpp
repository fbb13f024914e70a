// Which program directory a start uses: --dir, the portable folder, or the
// per-user data folder seeded from the installed data folder.
#include "app/program_location.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/version.h"
#include "base/error.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// An installed layout under a temporary root: usr/bin and usr/share/zorbix.
struct Installed {
    TempDir root;
    fs::path bin = root / "usr" / "bin";
    fs::path data = root / "usr" / "share" / "zorbix";
    fs::path home = root / "home" / "clerk";
    Installed() {
        fs::create_directories(bin);
        Write(data / "2013模板.docx", "template");
        Write(data / "Qorvath省科技计划项目执行情况年度调查系统帮助文件.docx", "help");
    }
    app::Surroundings Around(std::string xdg = "") const { return {bin, xdg, home.string()}; }
};

TEST(ProgramLocation, DirOptionWinsOverEverything) {
    Installed in;
    EXPECT_EQ(app::ResolveProgramDirectory(in.root / "x", in.Around()), in.root / "x");
    EXPECT_FALSE(fs::exists(in.home));
}

TEST(ProgramLocation, APortableFolderIsUsedAsItIs) {
    for (const char* file : {"zorbix2013.db", "2013模板.docx", "人才培养情况.xlsx"}) {
        Installed in;
        Write(in.bin / file, "");
        EXPECT_EQ(app::ResolveProgramDirectory(std::nullopt, in.Around()), in.bin) << file;
        EXPECT_FALSE(fs::exists(in.home)) << file;
    }
}

TEST(ProgramLocation, AnInstalledProgramUsesTheSeededUserFolder) {
    Installed in;
    const fs::path dir = app::ResolveProgramDirectory(std::nullopt, in.Around());
    EXPECT_EQ(dir, in.home / ".local" / "share" / "zorbix");
    EXPECT_EQ(Slurp(dir / "2013模板.docx"), "template");
    EXPECT_EQ(Slurp(dir / "Qorvath省科技计划项目执行情况年度调查系统帮助文件.docx"), "help");
    // Without the collecting-office package no summary template is there, so
    // the summary buttons stay hidden as at a reporting unit.
    EXPECT_FALSE(fs::exists(dir / "人才培养情况.xlsx"));
    // A seed never overwrites what the user has.
    Write(dir / "2013模板.docx", "mine");
    Write(in.data / "office" / "人才培养情况.xlsx", "summary");
    app::ResolveProgramDirectory(std::nullopt, in.Around());
    EXPECT_EQ(Slurp(dir / "2013模板.docx"), "mine");
    EXPECT_EQ(Slurp(dir / "人才培养情况.xlsx"), "summary");
}

TEST(ProgramLocation, XdgDataHomeWhenAbsolute) {
    Installed in;
    EXPECT_EQ(app::ResolveProgramDirectory(std::nullopt, in.Around((in.root / "xdg").string())),
              in.root / "xdg" / "zorbix");
    EXPECT_EQ(app::ResolveProgramDirectory(std::nullopt, in.Around("relative/xdg")),
              in.home / ".local" / "share" / "zorbix");
}

TEST(ProgramLocation, AFolderThatCannotBeMadeIsNamed) {
    Installed in;
    Write(in.root / "file", "");
    try {
        app::ResolveProgramDirectory(std::nullopt, in.Around((in.root / "file").string()));
        FAIL() << "no failure";
    } catch (const base::Failure& e) {
        EXPECT_NE(std::string(e.what()).find((in.root / "file" / "zorbix").string()),
                  std::string::npos);
    }
    EXPECT_THROW(app::ResolveProgramDirectory(std::nullopt, {in.bin, "", ""}), base::Failure);
}

// The batch tool copied into an installed layout, run without --dir.
TEST(ProgramLocation, TheBatchToolFindsAndSaysItsDirectory) {
    Installed in;
    const char* cli = std::getenv("ZORBIX_CLI");
    ASSERT_NE(cli, nullptr);
    fs::copy_file(cli, in.bin / "zorbix-cli");
    const auto run = [&](const std::string& args) {
        const fs::path out = in.root / "out";
        const std::string command = "env -u XDG_DATA_HOME HOME=" + ShellQuote(in.home.string()) +
                                    " " + ShellQuote((in.bin / "zorbix-cli").string()) + " " +
                                    args + " >" + ShellQuote(out.string()) + " 2>&1";
        const int status = std::system(command.c_str());
        return std::make_pair(WEXITSTATUS(status), Slurp(out));
    };
    const fs::path user = in.home / ".local" / "share" / "zorbix";
    EXPECT_EQ(run("where"), std::make_pair(0, user.string() + "\n"));
    EXPECT_EQ(run("demo 3").first, 0);
    EXPECT_TRUE(fs::exists(user / "zorbix2013.db"));
    EXPECT_EQ(Lines(run("list").second).size(), 3u);
    EXPECT_FALSE(fs::exists(in.bin / "zorbix2013.db"));
    EXPECT_EQ(run("--version"), std::make_pair(0, app::VersionText() + "\n"));
    const auto help = run("--help");
    EXPECT_EQ(help.first, 0);
    EXPECT_NE(help.second.find("where"), std::string::npos);
    EXPECT_NE(help.second.find("summarize"), std::string::npos);
}

}  // namespace
}  // namespace zorbix::testing
