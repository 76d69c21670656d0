#pragma once
// The main window as the patch windows see it (MapEditorLink), and file helpers; their
// prompts are the shared recording double.

#include "app/shell/MapEditorLink.h"
#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "editor/MapDocument.h"
#include "testsupport/RecordingPrompts.h"

#include <QList>
#include <QStringList>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using tbtest::RecordingPrompts;

class FakeLink : public tbapp::MapEditorLink {
public:
    void setJumpTexts(const QString& x, const QString& y) override {
        jumpX = x;
        jumpY = y;
    }
    void jumpToBoxes() override { jumps.append({jumpX, jumpY}); }
    int currentX() const override { return curX; }
    int currentY() const override { return curY; }
    const tb::MapImage* loadedMap() override { return map ? &map->image() : nullptr; }
    tb::MapDocument* mapDocument() override { return map.get(); }
    void repaintMap() override { ++repaints; }
    // The patch windows neither save the map nor write its file.
    void saveMap(std::function<void()>) override {}
    void mapFileWritten(const std::filesystem::path&) override {}

    // A 1448 x 1448 map (map4.mul), every cell tile 3 at altitude 0.
    void loadTokuno() {
        const tb::MapVariant v = *tb::identifyMapVariant("map4.mul", 6'421'156);
        std::vector<unsigned char> bytes(std::size_t(v.fileSize), 0);
        for (std::size_t block = 0; block < std::size_t(v.widthBlocks() * v.heightBlocks());
             ++block)
            for (std::size_t c = 0; c < 64; ++c)
                bytes[block * tb::kBlockSize + 4 + c * 3] = 3;
        map = std::make_unique<tb::MapDocument>(tb::MapImage(std::move(bytes), v), "map4.mul");
        listening = map->connect(&heard);
    }

    // Counts the document's notifications (each one repaints the main window's view).
    struct Notifications : tb::DocumentListener {
        int count = 0;
        void cellsChanged(const tb::CellChange&) override { ++count; }
    };

    QString jumpX, jumpY;
    QList<QStringList> jumps;
    int curX = 0, curY = 0;
    int repaints = 0; // explicit repaints of the whole view
    Notifications heard;
    std::unique_ptr<tb::MapDocument> map;
    tb::ListenerConnection listening;
};

inline std::string fileText(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFileText(const QString& path, const std::string& text) {
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out << text;
}
