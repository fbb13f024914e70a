// The safety nets in the window: the menu "工具(&G)" (made here when no one
// else has made it) gets "备份与恢复" and "修改记录", and an append that
// skipped projects with other data opens their review.
#pragma once

#include <vector>

#include "exchange/resent_projects.h"
#include "screen/window_context.h"

namespace zorbix::screen {

class MainWindow;

void WireSafetyOperations(MainWindow& window, WindowContext& context);

// Opens the review of re-sent projects (not waiting for it) when there are
// any.
void ReviewResentProjects(MainWindow& window, WindowContext& context,
                          std::vector<exchange::ResentProject> differing);

}  // namespace zorbix::screen
