// The menu "工具(&G)" that holds the window's commands beyond the survey's
// buttons, and the guard every such command runs under.
#pragma once

#include <QMenu>
#include <exception>
#include <string>

#include "screen/window_context.h"
#include "store/store_messages.h"
#include "store/titles.h"

namespace zorbix::screen {

class MainWindow;

// The menu, made on first use and placed before "帮助(&H)".
QMenu* ToolsMenu(MainWindow& window);

// Runs an operation so that nothing escapes the event handler: whatever
// the operation did not turn into a message of its own becomes one here.
template <typename Operation>
void Guarded(WindowContext& context, Operation operation) {
    try {
        operation();
    } catch (const std::exception& e) {
        base::Inform(context.prompter, store::kProgramTitle,
                     std::string("操作失败：") + e.what() + "\n" + std::string(store::kRetryHint));
    }
}

}  // namespace zorbix::screen
