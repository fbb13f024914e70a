// zorbix: the desktop program. Opens the store of the program directory
// (or of --dir DIR) and shows the main window; with --screenshots OUTDIR it
// saves pictures of the screens and ends.
#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <iostream>
#include <memory>
#include <optional>
#include <string_view>

#include "app/program_files.h"
#include "app/program_location.h"
#include "app/version.h"
#include "base/error.h"
#include "screen/damaged_store_dialog.h"
#include "screen/main_window.h"
#include "screen/qt_prompter.h"
#include "screen/screenshots.h"
#include "store/store.h"
#include "store/titles.h"

namespace {

// --version and --help answer before Qt starts, so they work without a
// display, as zorbix-cli's do.
std::optional<int> AnswerWithoutWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version" || arg == "-v") {
            std::cout << zorbix::app::VersionText() << '\n';
            return 0;
        }
        if (arg == "--help" || arg == "-h" || arg == "-?") {
            std::cout
                << "用法: zorbix [--dir DIR] [--database URL] [--screenshots OUTDIR]\n"
                   "选项:\n"
                   "  --dir DIR                 使用目录 DIR 中的数据库和模板。\n"
                   "  --database URL            使用数据库服务器上的数据（postgresql://…）。\n"
                   "  --screenshots OUTDIR      把各页面的截图保存到 OUTDIR 后退出。\n"
                   "  --version                 显示版本\n"
                   "  --help                    显示本说明\n"
                   "没有图形界面时请用 zorbix-cli，或在虚拟显示中启动：xvfb-run -a zorbix\n";
            return 0;
        }
        if (arg == "--dir" || arg == "--database" || arg == "--screenshots")
            ++i;  // their value is no option
    }
    return std::nullopt;
}

struct Options {
    std::optional<std::filesystem::path> directory;  // --dir; else found
    std::string database;                            // --database; "" for the directory's file
    QString screenshots;
};

Options ParseOptions(const QApplication& app) {
    QCommandLineParser parser;
    parser.addHelpOption();
    QCoreApplication::setApplicationVersion(QString::fromStdString(zorbix::app::Version()));
    parser.addVersionOption();
    parser.addOption({"dir", "使用目录 DIR 中的数据库和模板。", "DIR"});
    parser.addOption({"database", "使用数据库服务器上的数据（postgresql://…）。", "URL"});
    parser.addOption({"screenshots", "把各页面的截图保存到 OUTDIR 后退出。", "OUTDIR"});
    parser.process(app);
    Options options;
    if (parser.isSet("database")) options.database = parser.value("database").toStdString();
    if (parser.isSet("dir")) options.directory = parser.value("dir").toStdString();
    if (parser.isSet("screenshots"))
        options.screenshots = QString::fromStdString(
            std::filesystem::absolute(parser.value("screenshots").toStdString()).string());
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zorbix;
    if (const auto answered = AnswerWithoutWindow(argc, argv)) return *answered;
    QApplication app(argc, argv);
    screen::PrepareApplication(app);
    const Options options = ParseOptions(app);
    screen::QtPrompter prompter;
    std::unique_ptr<store::Store> store;
    try {
        const auto directory =
            app::ResolveProgramDirectory(options.directory, app::CurrentSurroundings());
        store = screen::OpenStoreOrRestore(directory, prompter, options.database);
        if (!store) return 1;
        app::ProtectProgramFiles(directory);
        // Files named after a project number ("项目下发") go to the working
        // directory: the program directory, as when started from its icon.
        std::filesystem::current_path(directory);
    } catch (const std::exception& e) {
        prompter.Show(
            {std::string(store::kProgramTitle), e.what(), base::Icon::Critical, base::Buttons::Ok});
        return 1;
    }
    int status = 0;
    {
        screen::MainWindow window(*store, prompter);
        prompter.SetParent(&window);
        // "关于ZORBIX": the version and the program directory in use.
        QObject::connect(window.Action("MenuAbout"), &QAction::triggered, &window, [&] {
            prompter.Show({std::string(store::kProgramTitle),
                           app::VersionText() + "\n程序目录：" + store->directory().string(),
                           base::Icon::Information, base::Buttons::Ok});
        });
        window.show();
        if (!options.screenshots.isEmpty())
            status = screen::SaveScreenshots(window, options.screenshots) ? 0 : 1;
        else
            status = app.exec();
        prompter.SetParent(nullptr);
    }
    // The store closes after the window: a pending change is written now.
    store.reset();
    return status;
}
