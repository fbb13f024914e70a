// Pictures of the window for documentation and layout review: the start
// screen, the list page and the five form pages, saved as PNG files.
#pragma once

#include <QString>

class QApplication;

namespace zorbix::screen {

class MainWindow;

// The program's look on every desktop: the pinned CJK font (Noto Sans CJK
// SC, else WenQuanYi Micro Hei) at 9 point, the Fusion style and Qt's own
// texts in Chinese (InstallQtChinese).
void PrepareApplication(QApplication& app);

// Saves start.png, list.png, cover.png and table1.png..table4.png into
// `directory` (created if missing), then findings.png (the result panel of
// a check of every project, its first finding gone to) and filtered.png (the
// list filtered by the first project's unit), then review.png, backups.png
// and history.png (SaveDialogScreenshots). False when a file could not be
// written.
bool SaveScreenshots(MainWindow& window, const QString& directory);

}  // namespace zorbix::screen
