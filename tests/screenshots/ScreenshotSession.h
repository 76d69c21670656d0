#pragma once
// The world the pictures are taken in: a temporary folder holding the demo data set, a
// program folder with the default catalogues, a settings file naming the demo map and game
// folder, and the windows the editor creates at start-up, built on them. Every message a
// window shows is recorded, never shown.
//
// While the session lives, the temporary folder is the current folder: the windows show
// the short paths "demo/map0.mul" and "original/map0.mul", the same in every run.

#include "testsupport/RecordingPrompts.h"

#include <QSettings>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <random>

namespace tbapp {
struct StartupWindows;
class MapEditorWindow;
} // namespace tbapp

namespace shots {

class ScreenshotSession {
public:
    // Writes the demo world (the same one `tbmap demo` writes) and builds the windows.
    // Throws ScreenshotError or the library's errors when a file cannot be written.
    ScreenshotSession();
    ~ScreenshotSession();
    ScreenshotSession(const ScreenshotSession&) = delete;
    ScreenshotSession& operator=(const ScreenshotSession&) = delete;

    tbapp::MapEditorWindow& mainWindow();
    tbtest::RecordingPrompts& prompts() { return m_prompts; }

    // The folder of the demo map (map0.mul with empty statics), which the editor edits.
    QString demoDir() const { return "demo"; }
    // A copy of the demo map as written, with the same empty statics: the original set of
    // a diff patch, where the demo folder after saving is the modified one.
    QString originalDir() const { return "original"; }

    // Throws ScreenshotError naming `step` and the texts when a window showed a message or
    // an error since the last call.
    void requireNoMessages(const QString& step);

private:
    QString m_previousDir;
    QTemporaryDir m_work;
    std::unique_ptr<QSettings> m_settings;
    std::mt19937 m_random;
    tbtest::RecordingPrompts m_prompts;
    std::unique_ptr<tbapp::StartupWindows> m_windows;
};

} // namespace shots
