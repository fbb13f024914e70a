// Qt's own texts in Chinese: the file dialogs' buttons and columns, the
// context menu of text fields, the standard buttons. Debian's
// qt6-translations-l10n ships them (qtbase_zh_CN.qm); the program speaks
// Chinese whatever the desktop's locale, so they are loaded always.
#pragma once

class QCoreApplication;

namespace zorbix::screen {

// Installs Qt's Chinese translations into `app` (once). False when no
// catalogue was found: Qt's texts then stay English.
bool InstallQtChinese(QCoreApplication& app);

}  // namespace zorbix::screen
