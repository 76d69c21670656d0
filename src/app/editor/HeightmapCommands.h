#pragma once
// Extra > "Export heightmap..." and "Import heightmap...": the loaded map's altitudes as an
// 8-bit grey PNG (grey = altitude + 128) and back. An import is one change of the document,
// recorded for undo as one stroke, so "Undo stroke" takes it back whole.
//
// Both run as jobs with the progress window. An export works on a copy of the map, so the
// editor stays usable; an import reads the document while no edit can reach it (a job of
// the document's runner) and writes its changes on the UI thread when it has ended.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QImage;
class QWidget;

namespace tb {
class MapDocument;
}

namespace tbapp {
class JobRunner;
class Prompts;

class HeightmapCommands : public QObject {
    Q_OBJECT
public:
    // `document`, `prompts` and the runners must outlive the object; `mapLoaded` tells
    // whether the document holds a loaded map; `window` is the parent of the dialogs and
    // messages. `documentJobs` runs the jobs that change the document, `exportJobs` those
    // that write pictures of it.
    HeightmapCommands(tb::MapDocument& document, std::function<bool()> mapLoaded, Prompts& prompts,
                      JobRunner& documentJobs, JobRunner& exportJobs, QWidget* window);

    void exportHeightmap();
    void importHeightmap();

    // The items of the progress window: one per percent, 0..100.
    static constexpr int kProgressItems = 101;

signals:
    // An import changed the document.
    void imported();

private:
    bool refusedWithoutMap(const QString& what);
    // The second step of an import: the changes the picture makes, worked out beside the
    // editor, then written.
    void importPicture(std::shared_ptr<const QImage> picture);

    tb::MapDocument& m_document;
    std::function<bool()> m_mapLoaded;
    Prompts& m_prompts;
    JobRunner& m_documentJobs;
    JobRunner& m_exportJobs;
    QWidget* m_window;
    QString m_folder; // where the last heightmap was written or read
};

} // namespace tbapp
