// The one way the core talks to the user. Operations never show a dialog of
// their own: they tell a Prompter, which the window implements with message
// boxes and dialogs and the batch tool with standard error and arguments.
// Titles, texts and icons are decided by the operations, so tests can read
// them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zorbix::base {

enum class Icon { None, Information, Question, Exclamation, Critical };
enum class Buttons { Ok, OkCancel, YesNo };

struct Message {
    std::string title;
    std::string text;
    Icon icon = Icon::Information;
    Buttons buttons = Buttons::Ok;
};

struct FileDialog {
    std::string title;                  // "提交数据"
    std::string filter;                 // "kj|*.kj": description and pattern
    std::filesystem::path initial_dir;  // where the dialog opens
};

class Prompter {
public:
    virtual ~Prompter() = default;

    // Shows a message; true when the user answered OK or Yes.
    virtual bool Show(const Message& message) = 0;

    // A message that one run may show once per record. Returns true when the
    // user asked not to see it again during this run.
    virtual bool ShowRepeated(const Message& message) {
        Show(message);
        return false;
    }

    // Asks for a text; nullopt on Cancel.
    virtual std::optional<std::string> AskText(std::string_view title, std::string_view prompt) = 0;

    // Choose a file; nullopt when the dialog was cancelled.
    virtual std::optional<std::filesystem::path> ChooseSaveFile(const FileDialog& dialog) = 0;
    virtual std::optional<std::filesystem::path> ChooseOpenFile(const FileDialog& dialog) = 0;

    // A long run: the busy pointer, and progress where the count is known.
    virtual void BeginBusy(std::string_view what) { (void)what; }
    virtual void Progress(long done, long total) { (void)done, (void)total; }
    virtual void EndBusy() {}
    // True when the user asked to stop the long run under way; a run asks
    // between two records and ends as cancelled.
    virtual bool CancelRequested() { return false; }
};

// Shows an information notice with OK.
inline void Inform(Prompter& p, std::string_view title, std::string_view text,
                   Icon icon = Icon::Information) {
    p.Show({std::string(title), std::string(text), icon, Buttons::Ok});
}

// Asks a question with OK and Cancel; true for OK.
inline bool Confirm(Prompter& p, std::string_view title, std::string_view text) {
    return p.Show({std::string(title), std::string(text), Icon::Question, Buttons::OkCancel});
}

// The busy state of a long run, ended however the run ends.
class BusyScope {
public:
    BusyScope(Prompter& p, std::string_view what) : p_(p) { p_.BeginBusy(what); }
    ~BusyScope() { p_.EndBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
    void Progress(long done, long total) { p_.Progress(done, total); }
    bool CancelRequested() { return p_.CancelRequested(); }

private:
    Prompter& p_;
};

}  // namespace zorbix::base
