// The disk under the server's program directory (and its temporary
// folder) full: saves still go to the database, the summaries and a
// project's report are refused with the message that the disk is full, so
// is a workbook of unit accounts (none made, whose passwords nobody would
// get), nothing made part-way is left on the disk, and once there is room
// again the report is made. The disk is a small tmpfs filled up, mounted for the
// server alone in a mount namespace of its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "report/report_files.h"
#include "summary/summary_catalogue.h"
#include "tests/server/api_client.h"
#include "tests/server/faults_store.h"
#include "tests/server/server_child.h"
#include "tests/server/workbook_bytes.h"

namespace zorbix::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr const char* kDiskSize = "size=16m";

// Mounts a tmpfs on $1, puts the program directory ($1/zorbix, the files
// of $2) and the temporary folder ($1/tmp) on it, fills what is left, and
// runs the rest. A user namespace of its own lets an ordinary user mount.
const std::vector<std::string> kOnAFullDisk = {
    "unshare",
    "-rm",
    "sh",
    "-c",
    std::string("mount -t tmpfs -o ") + kDiskSize +
        " none \"$1\" && mkdir \"$1/zorbix\" \"$1/tmp\" && cp \"$2\"/* \"$1/zorbix/\" && "
        "{ cat /dev/zero > \"$1/filler\" 2>/dev/null; shift 2 && exec \"$@\"; }",
    "sh"};

// The templates the program directory must hold for reports and summaries.
void CopyTemplates(const fs::path& to) {
    const fs::path program(ZORBIX_PROGRAM_DIR);
    fs::copy_file(program / fs::u8path(std::string(report::kTemplateFileName)),
                  to / fs::u8path(std::string(report::kTemplateFileName)));
    for (const summary::SummaryDefinition& s : summary::Summaries())
        fs::copy_file(program / fs::u8path(summary::TemplateFileName(s)),
                      to / fs::u8path(summary::TemplateFileName(s)));
}

// Every path under `root` with its size.
std::set<std::pair<std::string, std::uintmax_t>> Listing(const fs::path& root) {
    std::set<std::pair<std::string, std::uintmax_t>> listing;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error))
        listing.emplace(it->path().lexically_relative(root).string(),
                        it->is_regular_file() ? it->file_size() : 0);
    return listing;
}

bool SaysTheDiskIsFull(const Reply& reply) {
    const std::string message = reply.Json().value("error", "");
    return reply.status == 503 && message.find("磁盘空间已满") != std::string::npos;
}

class FullDisk : public ::testing::Test {
protected:
    // Whether this machine lets the test mount a tmpfs of its own.
    bool CanMount() {
        const std::string probe = "unshare -rm sh -c 'mount -t tmpfs -o size=1m none \"" +
                                  disk_.path().string() + "\"' >/dev/null 2>&1";
        return std::system(probe.c_str()) == 0;
    }

    TempDir stage_;  // the program directory's files before the mount
    TempDir disk_;   // where the tmpfs is mounted
};

TEST_F(FullDisk, SavesGoOnDownloadsSayTheDiskIsFullAndLeaveNothing) {
    if (!OnPostgres()) GTEST_SKIP() << "an SQLite store lives on the full disk itself";
    if (!CanMount()) GTEST_SKIP() << "no tmpfs can be mounted here (unshare -rm refused)";
    CopyTemplates(stage_.path());
    MakeFaultsStore(stage_.path(), 1, 2);
    std::vector<std::string> wrapper = kOnAFullDisk;
    wrapper.push_back(disk_.path().string());
    wrapper.push_back(stage_.path().string());
    ServerChild server(disk_ / "zorbix", TestDatabaseFor(stage_.path()), wrapper,
                       {{"TMPDIR", (disk_ / "tmp").string()}});
    ASSERT_TRUE(server.Start()) << server.Log();
    // The disk as the server sees it, through its own mount namespace.
    const fs::path seen =
        fs::path("/proc") / std::to_string(server.pid()) / "root" / disk_.path().relative_path();
    const auto before = Listing(seen);
    ASSERT_TRUE(before.count({"filler", fs::file_size(seen / "filler")}));

    const ApiClient api(server.port());
    const auto unit = api.Login(FaultsAccountName(0), kFaultsPassword);
    const auto clerk = api.Login(kFaultsClerk, kFaultsPassword);
    const auto admin = api.Login(kFaultsAdmin, kFaultsPassword);
    ASSERT_TRUE(unit && clerk && admin) << server.Log();
    const std::string project = "/api/projects/" + FaultsProjectNumber(0, 0);
    const auto version = api.Call("GET", project, &*unit).Json().value("version", 0);
    const Reply saved =
        api.Call("PUT", project, &*unit,
                 json{{"version", version}, {"values", {{"JB01", "满盘时保存"}}}}.dump());
    EXPECT_EQ(saved.status, 200) << saved.body;
    EXPECT_EQ(api.Call("GET", project, &*unit).Json()["values"]["JB01"], "满盘时保存");

    const Reply summaries = api.Call("GET", "/api/summaries", &*clerk);
    EXPECT_TRUE(SaysTheDiskIsFull(summaries)) << summaries.status << " " << summaries.body;
    const Reply report = api.Call("GET", project + "/report", &*unit);
    EXPECT_TRUE(SaysTheDiskIsFull(report)) << report.status << " " << report.body;
    const Reply units =
        api.Call("POST", "/api/units", &*admin,
                 WorkbookBytes(stage_.path(), {{"单位名称", "登录名"}, {"新单位", "newunit"}}),
                 "application/octet-stream");
    EXPECT_TRUE(SaysTheDiskIsFull(units)) << units.status << " " << units.body;
    EXPECT_EQ(api.Call("GET", "/api/accounts", &*admin).body.find("newunit"), std::string::npos);
    EXPECT_EQ(Listing(seen), before);

    fs::remove(seen / "filler");
    EXPECT_EQ(api.Call("GET", project + "/report", &*unit).status, 200);
}

}  // namespace
}  // namespace zorbix::testing
