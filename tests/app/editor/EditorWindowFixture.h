#pragma once
// The editor window against a temporary application folder, settings file, Ilshenar map
// and game folder (TestWorld.h), with messages recorded instead of shown and the question
// about unsaved changes answered by `questions`.

#include "testsupport/RecordingPrompts.h"
#include "testsupport/TestWorld.h"
#include "testsupport/WaitForJobs.h"

#include "WindowControls.h"
#include "app/editor/MapEditorWindow.h"

#include <QAction>
#include <QPushButton>

#include <QCoreApplication>
#include <QSettings>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace tbtest {

inline QString qpath(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

inline void writeText(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
}

struct EditorWindowFixture {
    TempDir dir;
    std::filesystem::path appDir = dir / "app";
    std::filesystem::path mapPath = dir / "maps" / "map2.mul";
    std::filesystem::path gameDir = dir / "game";
    std::filesystem::path iniPath = dir / "settings.ini";
    std::mt19937 random;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<tbapp::MapEditorWindow> form;
    RecordingPrompts questions;
    QStringList& messages = questions.shown;
    // Answers the window's prompts instead of `questions` when set before the window is made.
    tbapp::Prompts* windowPrompts = nullptr;

    // `textureList`: the palette's list (textures/tileids.lst), read when the window is made.
    explicit EditorWindowFixture(const std::string& textureList) {
        std::filesystem::create_directories(appDir);
        writeText(appDir / "textures" / "tileids.lst", textureList);
        writeGameDir(gameDir);
        std::filesystem::create_directories(mapPath.parent_path());
        writeBytes(mapPath, makeTestMap().bytes());
        writeText(iniPath, "[General]\nMAPx.mul=" + mapPath.string() +
                               "\nUOPath=" + gameDir.string() + "\n");
    }
    ~EditorWindowFixture() { form.reset(); }
    EditorWindowFixture(const EditorWindowFixture&) = delete;
    EditorWindowFixture& operator=(const EditorWindowFixture&) = delete;

    // Creates the window; `show` also runs the first-show steps, which identify the
    // 2304 x 1600 map.
    tbapp::MapEditorWindow& create(bool show = true) {
        settings = std::make_unique<QSettings>(qpath(iniPath), QSettings::IniFormat);
        form = std::make_unique<tbapp::MapEditorWindow>(*settings, qpath(appDir) + "/", random,
                                                        windowPrompts ? *windowPrompts : questions);
        if (show) {
            form->show();
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        }
        return *form;
    }
    // Loads the map and the art (the Load job ended).
    void load() { loadMap(*form); }
};

} // namespace tbtest
