// zorbix-cli: the window's operations without a window, for collecting
// offices, scripts and end-to-end tests.
#include <array>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/command.h"
#include "app/program_files.h"
#include "app/program_location.h"
#include "app/version.h"
#include "base/error.h"
#include "store/backup_operations.h"
#include "store/damaged_store.h"
#include "store/postgres_db.h"
#include "store/store_migration.h"
#include "store/titles.h"

namespace zorbix::cli {
namespace {

constexpr std::array<Command, 22> kCommands = {{
    {"list", ListCommand, "list"},
    {"get", GetCommand, "get NUMBER [COLUMN…]"},
    {"set", SetCommand, "set NUMBER COLUMN=VALUE…"},
    {"add", AddCommand, "add NUMBER"},
    {"delete", DeleteCommand, "delete --project NUMBER"},
    {"init", InitCommand, "init"},
    {"check", CheckCommand, "check [--project NUMBER] [--save FILE|FILE.xlsx]"},
    {"append", AppendCommand, "append [--diff | --replace] FILE…"},
    {"submit", SubmitCommand, "submit FILE [--project NUMBER]"},
    {"distribute", DistributeCommand, "distribute [OUTDIR]"},
    {"report", ReportCommand, "report [--project NUMBER]"},
    {"print", PrintCommand, "print --project NUMBER"},
    {"summarize", SummarizeCommand, "summarize"},
    {"reconcile", ReconcileCommand, "reconcile [--save FILE]"},
    {"demo", DemoCommand, "demo COUNT [--seed N]"},
    {"backups", BackupsCommand, "backups"},
    {"backup", BackupCommand, "backup"},
    {"restore", RestoreCommand, "restore NAME"},
    {"history", HistoryCommand, "history NUMBER"},
    {"export", ExportCommand, "export FILE.xlsx|FILE.csv"},
    {"import", ImportCommand, "import FILE.xlsx|FILE.csv"},
    {"account", AccountCommand,
     "account add NAME --role admin|clerk|unit [--unit 单位名称] | account list | "
     "account remove NAME"},
}};

void PrintUsage(std::ostream& out) {
    out << "用法: zorbix-cli [--dir DIR] [--database URL] [--yes] COMMAND [ARGUMENTS]\n命令:\n";
    for (const Command& c : kCommands) out << "  " << c.usage << '\n';
    out << "  migrate up|down           在程序目录的数据库文件和 --database 的数据库之间迁移数据\n"
           "  where                     显示所用的程序目录\n"
           "  --version                 显示版本\n"
           "  --help                    显示本说明\n";
}

// The words that answer without a store.
enum class Info { None, Help, Version, Where, Migrate };

Info InfoOf(const std::string& word) {
    if (word == "--help" || word == "-h" || word == "help") return Info::Help;
    if (word == "--version") return Info::Version;
    if (word == "where") return Info::Where;
    if (word == "migrate") return Info::Migrate;
    return Info::None;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& c : kCommands)
        if (name == c.name) return &c;
    return nullptr;
}

struct Invocation {
    std::optional<std::filesystem::path> dir;  // --dir; else found (program_location.h)
    std::string database;                      // --database; "" for the directory's file
    Info info = Info::None;
    bool yes = false;
    const Command* command = nullptr;
    std::vector<std::string> args;
};

Invocation Parse(int argc, char** argv) {
    Invocation inv;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--yes") {
            inv.yes = true;
        } else if (arg == "--dir") {
            if (++i == argc) throw UsageError("--dir 后面缺少目录。");
            inv.dir = argv[i];
        } else if (arg == "--database") {
            if (++i == argc) throw UsageError("--database 后面缺少数据库地址。");
            inv.database = argv[i];
            if (!store::LooksLikeDatabaseUrl(inv.database))
                throw UsageError("“" + inv.database +
                                 "”不是数据库地址。请写成 postgresql://用户@服务器/数据库 "
                                 "或 \"dbname=数据库 host=服务器\" 的形式。");
        } else {
            break;
        }
    }
    if (i == argc) throw UsageError("缺少命令。");
    inv.info = InfoOf(argv[i]);
    if (inv.info == Info::Migrate) {
        inv.args.assign(argv + i + 1, argv + argc);
        if (inv.args.size() != 1 || (inv.args[0] != "up" && inv.args[0] != "down"))
            throw UsageError("migrate 后面要写 up 或 down。");
        if (inv.database.empty()) throw UsageError("migrate 需要用 --database 指定数据库。");
    }
    if (inv.info != Info::None) return inv;
    inv.command = FindCommand(argv[i]);
    if (!inv.command) throw UsageError(std::string("未知命令：") + argv[i]);
    inv.args.assign(argv + i + 1, argv + argc);
    return inv;
}

int Run(int argc, char** argv) {
    Invocation inv;
    try {
        inv = Parse(argc, argv);
    } catch (const UsageError& e) {
        std::cerr << e.what() << '\n';
        PrintUsage(std::cerr);
        return kBadUsage;
    }
    if (inv.info == Info::Help) {
        PrintUsage(std::cout);
        return 0;
    }
    if (inv.info == Info::Version) {
        std::cout << app::VersionText() << '\n';
        return 0;
    }
    CliPrompter prompter(std::cerr, inv.yes);
    try {
        const auto dir = app::ResolveProgramDirectory(inv.dir, app::CurrentSurroundings());
        if (inv.info == Info::Where) {
            std::cout << dir.string() << '\n';
            return 0;
        }
        if (inv.info == Info::Migrate)
            return ExitStatus(inv.args[0] == "up"
                                  ? store::MigrateUp(dir, inv.database, prompter)
                                  : store::MigrateDown(dir, inv.database, prompter));
        std::optional<store::Store> opened;
        try {
            opened.emplace(dir, inv.database);
        } catch (const store::StoreDamaged&) {
            // The way back from a damaged store needs no store.
            if (inv.command->run == RestoreCommand || inv.command->run == BackupsCommand)
                return RunWithoutStore(*inv.command, dir, prompter, inv.args);
            throw;
        }
        store::Store& store = *opened;
        app::ProtectProgramFiles(dir);
        Context ctx{store, prompter, std::move(inv.args), std::cout};
        // One command is one run: it makes at most one automatic backup.
        store::OneBackupPerRun run(store.records());
        const int status = inv.command->run(ctx);
        std::cout.flush();
        return status;
    } catch (const UsageError& e) {
        std::cerr << e.what() << "\n用法: zorbix-cli " << inv.command->usage << '\n';
        return kBadUsage;
    } catch (const NeedsYes& e) {
        std::cerr << e.what() << '\n';
        return kBadUsage;
    } catch (const base::Failure& e) {
        std::cerr << store::kProgramTitle << ": " << e.what() << '\n';
        return ExitStatus(base::Outcome::Failed);
    } catch (const std::exception& e) {
        std::cerr << store::kProgramTitle << ": 操作失败：" << e.what() << '\n';
        return ExitStatus(base::Outcome::Failed);
    }
}

}  // namespace
}  // namespace zorbix::cli

int main(int argc, char** argv) { return zorbix::cli::Run(argc, argv); }
