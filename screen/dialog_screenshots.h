// Pictures of the safety nets' dialogs at their default size, for checking
// that no number, caption or time a clerk chooses by is cut off.
#pragma once

#include <QString>

namespace zorbix::screen {

class MainWindow;

// Saves review.png (已存在项目的新数据, made from the first stored projects
// with a few changed fields), backups.png (备份与恢复, the backups already
// in the program directory) and history.png (修改记录 of the first project)
// into `directory`. Changes nothing in the store. False when a file could
// not be written.
bool SaveDialogScreenshots(MainWindow& window, const QString& directory);

}  // namespace zorbix::screen
