#pragma once
// Extra > "Export heightmap..." and "Import heightmap...": the loaded map's altitudes as an
// 8-bit grey PNG (grey = altitude + 128) and back. An import is one change of the document,
// recorded for undo as one stroke, so "Undo stroke" takes it back whole.

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace tb {
class MapDocument;
}

namespace tbapp {
class Prompts;

class HeightmapActions : public QObject {
    Q_OBJECT
public:
    // `document` and `prompts` must outlive the object; `mapLoaded` tells whether the
    // document holds a loaded map; `window` is the parent of the dialogs and messages.
    HeightmapActions(tb::MapDocument& document, std::function<bool()> mapLoaded, Prompts& prompts,
                     QWidget* window);

    void exportHeightmap();
    void importHeightmap();

    // The items of the progress window: one per percent, 0..100.
    static constexpr int kProgressItems = 101;

private:
    bool refusedWithoutMap(const QString& what);

    tb::MapDocument& m_document;
    std::function<bool()> m_mapLoaded;
    Prompts& m_prompts;
    QWidget* m_window;
    QString m_folder; // where the last heightmap was written or read
};

} // namespace tbapp
