#include "screen/qt_chinese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zorbix::screen {

bool InstallQtChinese(QCoreApplication& app) {
    if (app.findChild<QTranslator*>("QtChinese")) return true;
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    auto* translator = new QTranslator(&app);
    translator->setObjectName("QtChinese");
    // Qt's own folder first, then Debian's, should Qt have been built for
    // another prefix.
    for (const QString& folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                  QStringLiteral("/usr/share/qt6/translations")}) {
        if (translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            // Dates and sizes in the file dialogs in the Chinese form too.
            QLocale::setDefault(chinese);
            return true;
        }
    }
    delete translator;
    return false;
}

}  // namespace zorbix::screen
