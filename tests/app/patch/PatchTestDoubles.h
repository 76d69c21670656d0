#pragma once
// Test doubles for the patch windows: the main window seen through MapEditorLink, and
// prompts that answer dialogs from scripts and record what was shown.

#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "editor/MapDocument.h"
#include "patch/UiPrompts.h"
#include "shell/MapEditorLink.h"

#include <QList>
#include <QStringList>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class FakeLink : public MapEditorLink {
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

    // A 1448 x 1448 map (map4.mul), every cell tile 3 at altitude 0.
    void loadTokuno() {
        const tb::MapVariant v = *tb::identifyMapVariant("map4.mul", 6'421'156);
        std::vector<unsigned char> bytes(std::size_t(v.fileSize), 0);
        for (std::size_t block = 0; block < std::size_t(v.widthBlocks() * v.heightBlocks());
             ++block)
            for (std::size_t c = 0; c < 64; ++c)
                bytes[block * tb::kBlockSize + 4 + c * 3] = 3;
        map = std::make_unique<tb::MapDocument>(tb::MapImage(std::move(bytes), v), "map4.mul");
        map->addListener(&heard);
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
};

class FakePrompts : public UiPrompts {
public:
    struct ProgressRun {
        int itemCount = 0;
        QList<int> indices;
        QStringList texts;
        bool open = true;
    };

    void showMessage(QWidget*, const QString& text) override { messages.append(text); }
    void showError(QWidget*, const QString& text) override {
        errors.append(text);
        for (const auto& run : runs)
            if (run->open)
                progressOpenAtError = true;
    }
    QString openFileName(QWidget*, const FileDialogSpec& request) override {
        openSpecs.append(request);
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString saveFileName(QWidget*, const FileDialogSpec& request) override {
        saveSpecs.append(request);
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    std::unique_ptr<ItemProgressWindow> startProgress(int itemCount) override {
        if (realProgress)
            return UiPrompts::startProgress(itemCount);
        auto run = std::make_shared<ProgressRun>();
        run->itemCount = itemCount;
        runs.push_back(run);
        return std::make_unique<Window>(run);
    }

    QStringList messages, errors;
    QList<FileDialogSpec> openSpecs, saveSpecs;
    QStringList openAnswers, saveAnswers;
    std::vector<std::shared_ptr<ProgressRun>> runs;
    bool progressOpenAtError = false;
    bool realProgress = false;

private:
    class Window : public ItemProgressWindow {
    public:
        explicit Window(std::shared_ptr<ProgressRun> run) : m_run(std::move(run)) {}
        ~Window() override { m_run->open = false; }
        void showItem(int index, const QString& text) override {
            m_run->indices.append(index);
            m_run->texts.append(text);
        }

    private:
        std::shared_ptr<ProgressRun> m_run;
    };
};

inline std::string fileText(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFileText(const QString& path, const std::string& text) {
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out << text;
}
