// Exchange speed on 32767 demo projects: submitting all of them to one file,
// distributing them to one file each (all synced together by one sync of
// the file system, then renamed into place, the folder synced once),
// appending that file into an empty store, and appending it again
// when every record is a duplicate (the messages silenced, as the user can).
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "base/durable_batch.h"
#include "bench/bench_store.h"
#include "bench/bench_support.h"
#include "bench/quiet_prompter.h"
#include "exchange/exchange_operations.h"
#include "store/demo_projects.h"
#include "store/store.h"

using namespace zorbix;

namespace {

// Processor time of this process, for reading figures on a busy machine.
double CpuMilliseconds() { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// The file system alone: as many files of the same size created under a
// hidden name, written, closed and renamed by a bare loop, then one sync.
// How fast a file system creates files depends on its state (an ext4
// without a journal skips recently freed inodes, for minutes after a run
// that freed tens of thousands), so this is measured beside the run it
// explains.
double BareFilesMilliseconds(const std::filesystem::path& folder, int count, std::size_t bytes) {
    std::filesystem::create_directories(folder);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::string data(bytes, 'x');
    bench::Stopwatch clock;
    for (int i = 0; i < count && dir >= 0; ++i) {
        const std::string name = std::to_string(201300000000LL + i) + ".kj";
        const std::string hidden = "." + name + ".tmp";
        const int fd =
            ::openat(dir, hidden.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) break;
        const bool written = ::write(fd, data.data(), data.size()) == static_cast<ssize_t>(bytes);
        ::close(fd);
        if (!written || ::renameat(dir, hidden.c_str(), dir, name.c_str()) != 0) break;
    }
    if (dir >= 0) {
        ::syncfs(dir);
        ::close(dir);
    }
    return clock.Milliseconds();
}

}  // namespace

int main() {
    const auto root = std::filesystem::temp_directory_path() / "zorbix-exchange-bench";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "from");
    std::filesystem::create_directories(root / "into");
    std::filesystem::create_directories(root / "out");
    const auto file = root / "all.kj";
    bench::QuietPrompter prompter(file);
    bool ok = true;
    {
        store::Store from(root / "from", bench::FreshDatabaseFor(root / "from"));
        store::AddDemoProjects(from.records(), 32767, 2013);
        from.records().Reopen();
        bench::Stopwatch submit;
        double cpu = CpuMilliseconds();
        ok &=
            exchange::SubmitAllProjects(from.records(), prompter, root) == exchange::Outcome::Done;
        ok &= bench::Report("submit 32767 projects to one file", submit.Milliseconds(),
                            bench::Target(1000, 2000), "ms");
        std::printf("(processor time %.0f ms)\n", CpuMilliseconds() - cpu);
        const std::size_t syncs = base::FolderSyncCount();
        bench::Stopwatch distribute;
        cpu = CpuMilliseconds();
        const auto spread = exchange::DistributeProjects(from.records(), prompter, root / "out");
        ok &= spread.written == 32767;
        ok &= bench::Report("distribute 32767 projects, one file each", distribute.Milliseconds(),
                            bench::Target(2000, 5000), "ms");
        std::printf("(processor time %.0f ms, folder syncs %zu)\n", CpuMilliseconds() - cpu,
                    base::FolderSyncCount() - syncs);
        std::printf(
            "%-58s %10.1f ms\n", "  the file system alone: a bare loop, as many files",
            BareFilesMilliseconds(root / "bare", 32767, std::filesystem::file_size(file) / 32767));
    }
    std::printf("(file of %.1f MB)\n", std::filesystem::file_size(file) / 1048576.0);
    store::Store into(root / "into", bench::FreshDatabaseFor(root / "into"));
    double cpu = CpuMilliseconds();
    bench::Stopwatch append;
    const auto first = exchange::AppendProjects(into.records(), prompter, root);
    ok &= first.added == 32767;
    ok &= bench::Report("append that file into an empty store", append.Milliseconds(),
                        bench::Target(2000, 5000), "ms");
    std::printf("(processor time %.0f ms)\n", CpuMilliseconds() - cpu);
    cpu = CpuMilliseconds();
    bench::Stopwatch again;
    const auto second = exchange::AppendProjects(into.records(), prompter, root);
    ok &= second.added == 0 && second.skipped == 32767 && prompter.repeated == 1;
    ok &= bench::Report("append it again (all duplicates, messages silenced)", again.Milliseconds(),
                        bench::Target(1000, 5000), "ms");
    std::printf("(processor time %.0f ms)\n", CpuMilliseconds() - cpu);
    std::printf("(added %d, then %d duplicates skipped)\n", first.added, second.skipped);
    std::filesystem::remove_all(root);
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
