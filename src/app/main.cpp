// tbmapedit: the map editor. Creates the long-lived windows, main window first, and runs
// until the main window closes.
//
//   tbmapedit [--settings FILE]   FILE: an INI file used instead of the user's settings

#include "app/editor/StartupWindows.h"
#ifdef TB_HAVE_SHARE
#include "app/share/SharedMapCommands.h"
#endif
#include "app/shell/Settings.h"
#include "app/shell/StandardPrompts.h"
#include "shell/ApplicationDir.h"
#include "shell/TemporaryFiles.h"

#include <QApplication>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStringList>

#include <cstdio>
#include <filesystem>
#include <random>

namespace {

// The folder of the catalogues, with a trailing "/": beside the program for a portable copy,
// the user's data folder for an installed one (seeded from the defaults on its first start).
QString applicationDirectory() {
    const tb::ApplicationDirChoice choice = tb::chooseApplicationDir(
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdU16String()),
        std::filesystem::path(
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdU16String()));
    const QString dir = QString::fromStdString(choice.dir.string());
    if (!choice.problems.empty()) {
        QStringList lines;
        for (const std::string& problem : choice.problems)
            lines << QString::fromStdString(problem);
        QMessageBox::warning(nullptr, QApplication::applicationName(),
                             "Some default catalogues could not be copied to " + dir + ":\n" +
                                 lines.join('\n'));
    }
    return dir + "/";
}

} // namespace

int main(int argc, char* argv[]) {
    // A save past a file size limit is reported like any failed save, not the end.
    tb::ignoreFileSizeLimitSignal();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tolvane Brimholt");

    QString iniFile;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--settings" && i + 1 < args.size()) {
            iniFile = args[++i];
        } else {
            std::fprintf(stderr, "usage: tbmapedit [--settings FILE]\n");
            return 2;
        }
    }

    const std::unique_ptr<QSettings> settings = tbapp::openSettingsStore(iniFile);
    const QString applicationDir = applicationDirectory();
    std::mt19937 random;

    tbapp::StandardPrompts prompts;
    tbapp::StartupWindows windows(*settings, applicationDir, random, prompts);
    tbapp::MapEditorWindow& mainForm = windows.mainForm;
#ifdef TB_HAVE_SHARE
    tbapp::SharedMapCommands sharedMaps(mainForm);
#endif

    // The program ends with the main window, whatever other windows are open.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&mainForm, &tbapp::MapEditorWindow::formClosed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    mainForm.show();
    return QApplication::exec();
}
