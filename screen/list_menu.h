// The project lists in the window: the menu "工具(&G)" (made here when no one
// else has made it) gets "导出项目表" and "导入项目表"; after an import the
// findings of the imported projects fill the check result panel.
#pragma once

#include "screen/window_context.h"

namespace zorbix::screen {

class MainWindow;

void WireListOperations(MainWindow& window, WindowContext& context);

}  // namespace zorbix::screen
