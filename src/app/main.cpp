// tbmapedit: the map editor. Creates the long-lived windows, main window first, and runs
// until the main window closes.
//
//   tbmapedit [--settings FILE] [MAP | URI --facet N]
//       FILE: an INI file used instead of the user's settings
//       MAP:  a map file to load at start (with the game folder of the settings)
//       URI:  a shared map's server (postgresql://...) whose facet N is opened at start

#include "app/editor/StartupWindows.h"
#ifdef TB_HAVE_SHARE
#include "app/share/SharedMapCommands.h"
#endif
#include "app/shell/JobRunner.h"
#include "app/shell/Settings.h"
#include "app/shell/StandardPrompts.h"
#include "shell/ApplicationDir.h"
#include "shell/TemporaryFiles.h"

#include <QApplication>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <optional>
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
    QString opened;
    std::optional<int> facet;
    const QStringList args = QCoreApplication::arguments();
    auto usage = [] {
        std::fprintf(stderr, "usage: tbmapedit [--settings FILE] [MAP | URI --facet N]\n");
        return 2;
    };
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--settings" && i + 1 < args.size()) {
            iniFile = args[++i];
        } else if (args[i] == "--facet" && i + 1 < args.size()) {
            bool ok = false;
            facet = args[++i].toInt(&ok);
            if (!ok || *facet < 0 || *facet > 5)
                return usage();
        } else if (opened.isEmpty() && !args[i].startsWith("--")) {
            opened = args[i];
        } else {
            return usage();
        }
    }
    const bool sharedUri = opened.startsWith("postgresql://") || opened.startsWith("postgres://");
    if (facet && !sharedUri)
        return usage();

    const std::unique_ptr<QSettings> settings = tbapp::openSettingsStore(iniFile);
    const QString applicationDir = applicationDirectory();
    std::mt19937 random;

    tbapp::StandardPrompts prompts;
    tbapp::StartupWindows windows(*settings, applicationDir, random, prompts);
    tbapp::MapEditorWindow& mainForm = windows.mainForm;
#ifdef TB_HAVE_SHARE
    tbapp::SharedMapCommands sharedMaps(mainForm);
    if (sharedUri)
        QTimer::singleShot(0, &sharedMaps, [&sharedMaps, opened, facet] {
            sharedMaps.open(opened, facet.value_or(0));
        });
#endif
    if (!opened.isEmpty() && !sharedUri)
        mainForm.loadAtStart(opened);

    // The program ends with the main window, whatever other windows are open.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&mainForm, &tbapp::MapEditorWindow::formClosed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    mainForm.show();
    const int code = QApplication::exec();
    // The jobs' threads end here, while the libraries they used (libpq's TLS) can still free
    // what they keep for each thread.
    tbapp::jobThreads()->waitForDone();
    return code;
}
