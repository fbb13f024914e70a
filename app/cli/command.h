// What every batch command gets, and the exit statuses they return.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/cli_prompter.h"
#include "base/outcome.h"
#include "store/store.h"

namespace zorbix::cli {

inline constexpr int kDone = 0;      // the operation ran to its end
inline constexpr int kRefused = 1;   // it reported a failure or a refusal
inline constexpr int kBadUsage = 2;  // the arguments were wrong

// The exit status of an operation's outcome: 0 only when it ran to its end;
// a cancel, a refusal and a failure alike exit 1 (the message is on
// standard error already).
constexpr int ExitStatus(base::Outcome outcome) { return outcome.IsDone() ? kDone : kRefused; }

// Thrown by a command for wrong arguments; main prints it and exits 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Context {
    store::Store& store;
    CliPrompter& prompter;
    std::vector<std::string> args;  // the arguments after the command name
    std::ostream& out;

    // Removes "--name VALUE" from args and returns VALUE.
    std::optional<std::string> TakeOption(const std::string& name);
    // Removes a "--name" flag from args; true when it was there.
    bool TakeFlag(const std::string& name);
    // With --project NUMBER: locates it as the locate box does; not Done when
    // nothing matched (the message has been shown). Done without the option.
    base::Outcome LocateRequested(const std::optional<std::string>& number);
    // Fails with a usage error when arguments are left over.
    void NoMoreArguments() const;
};

using CommandFunction = int (*)(Context&);

struct Command {
    const char* name;
    CommandFunction run;
    const char* usage;
};

// Commands defined in the per-subsystem files.
int ListCommand(Context&);
int GetCommand(Context&);
int SetCommand(Context&);
int AddCommand(Context&);
int DeleteCommand(Context&);
int InitCommand(Context&);
int DemoCommand(Context&);
int CheckCommand(Context&);
int AppendCommand(Context&);
int SubmitCommand(Context&);
int DistributeCommand(Context&);
int ReportCommand(Context&);
int PrintCommand(Context&);
int SummarizeCommand(Context&);
int ReconcileCommand(Context&);
int BackupsCommand(Context&);
int BackupCommand(Context&);
int RestoreCommand(Context&);
int HistoryCommand(Context&);
int ExportCommand(Context&);
int ImportCommand(Context&);
int AccountCommand(Context&);

// backups and restore on a program directory whose store is too damaged to
// open: the way back needs no store.
int RunWithoutStore(const Command& command, const std::filesystem::path& directory,
                    CliPrompter& prompter, const std::vector<std::string>& args);

}  // namespace zorbix::cli
