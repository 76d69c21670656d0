#pragma once
// The editor window with a loaded Ilshenar test map, an application folder holding a
// texture list, tile groups and brushes, a temporary settings file and a random engine
// seeded with a fixed value after the first show. Messages are recorded, never shown.

#include "TestWorld.h"

#include "editor/BHMapEditForm.h"

#include "shell/DrawGrid.h"
#include "shell/ErrorReport.h"

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

struct PaintFixture {
    TempDir dir;
    std::filesystem::path appDir = dir / "app";
    std::filesystem::path mapPath = dir / "maps" / "map2.mul";
    std::filesystem::path gameDir = dir / "game";
    std::filesystem::path iniPath = dir / "settings.ini";
    std::mt19937 random;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<TBHMapEditForm> form;
    QStringList messages;
    tbapp::MessageSink previousSink;

    PaintFixture() {
        std::filesystem::create_directories(appDir);
        writeGameDir(gameDir);
        std::filesystem::create_directories(mapPath.parent_path());
        writeBytes(mapPath, makeTestMap().bytes());
        writeText(appDir / "textures" / "tileids.lst",
                  "textureid=$0002\r\ntextureid=$0010\r\ntextureid=$0003\r\n");
        writeText(iniPath, "[General]\nMAPx.mul=" + mapPath.string() +
                               "\nUOPath=" + gameDir.string() + "\n");
        previousSink = tbapp::setMessageSink(
            [this](QWidget*, tbapp::MessageKind, const QString& text) { messages << text; });
    }
    ~PaintFixture() {
        form.reset();
        tbapp::setMessageSink(previousSink);
    }

    // Creates and shows the window; with `load` the map and art are loaded too.
    TBHMapEditForm& open(bool load = true) {
        settings = std::make_unique<QSettings>(qpath(iniPath), QSettings::IniFormat);
        form = std::make_unique<TBHMapEditForm>(*settings, qpath(appDir) + "/", random);
        form->show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        random.seed(1234); // the first show seeded it from the clock
        if (load)
            form->btnLoadClick();
        return *form;
    }

    tb::MapImage& map() { return *form->loadedMap(); }
    tb::MapCell cell(int x, int y) { return form->loadedMap()->cell(x, y); }
    // A left click on map cell (x, y): the grid's selection event.
    void click(int x, int y) { form->MainDrawGrid->selectCell(x, y); }
};

} // namespace tbtest
