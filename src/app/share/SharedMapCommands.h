#pragma once
// The editor on a shared map: File > "Open shared map..." opens a facet from the team's
// server as a job, and the document becomes the builder's copy of it. What the builder
// changes goes out as one stroke per operation (a Paint stroke when the button comes up);
// what others commit comes in through the change feed and is shown without an undo row.
// While the server cannot be reached the strokes wait in the journal and the status bar
// counts them; they go out when a reconnect succeeds. The "Builders" dock lists who else
// is on the facet, and their views are outlined on the map.

#include "app/editor/MapEditorWindow.h"
#include "editor/MapDocument.h"
#include "share/Presence.h"
#include "share/Stroke.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QDockWidget;
class QLabel;
class QListWidget;
class QSocketNotifier;

namespace tb {
class DocumentFacetCopy;
struct OpenedShare;
struct SubmitReport;
} // namespace tb

namespace tbapp {

class PresenceOverlay;

class SharedMapCommands : public QObject, private tb::DocumentListener {
    Q_OBJECT
public:
    // Adds its menu entry, status line and dock to `window`, which must outlive it: the
    // window's document goes before the window's children do, so this is not one of them.
    explicit SharedMapCommands(MapEditorWindow& window);
    ~SharedMapCommands() override;

    // Opens facet `facet` at `uri` as a job of the window's document jobs.
    void open(const QString& uri, int facet);
    bool isOpen() const { return m_share != nullptr; }
    // Strokes in the journal, not yet on the server.
    std::size_t waitingCount() const;
    // The status line's text.
    QString stateText() const;
    // The other builders on the facet, as last read.
    const std::vector<tb::PresentBuilder>& builders() const { return m_builders; }

    // Sends what the document changed since the last stroke, unless the button is down.
    void commitEdits();
    // Brings in what the change feed brought.
    void readFeed();
    // The few-seconds beat: starts a reconnect while offline (it goes on from the event loop,
    // so the window keeps answering while the server is out of reach); online it sends the
    // waiting strokes, announces the view and reads who is there.
    void tick();

private:
    void chooseAndOpen();
    // The open as a background job; `password` is the one the builder typed after the server
    // asked for it, kept in memory only.
    void openWith(const QString& uri, int facet, std::optional<std::string> password);
    // The builder's password for role `user`, asked on the UI thread; nullopt on Cancel.
    std::optional<std::string> askPassword(const QString& user);
    void opened(std::unique_ptr<tb::OpenedShare> share);
    void close();
    void report(const tb::SubmitReport& report);
    void watchFeed();
    void offline();
    void continueReconnect();
    void refreshState();
    void undoRedo(MapEditorWindow::UndoStep step);
    void cellsChanged(const tb::CellChange& change) override;
    void documentReplaced() override;

    MapEditorWindow& m_window;
    tb::MapDocument& m_document;
    tb::ListenerConnection m_connection;
    std::unique_ptr<tb::OpenedShare> m_share;
    std::unique_ptr<tb::DocumentFacetCopy> m_copy;
    std::unique_ptr<tb::Presence> m_presence;
    QSocketNotifier* m_feedNotifier = nullptr;
    QTimer m_commitSoon;
    QTimer m_beat;
    QTimer m_reconnectPoll;
    QElapsedTimer m_reconnectClock;
    QLabel* m_stateLabel = nullptr;
    QDockWidget* m_dock = nullptr;
    QListWidget* m_builderList = nullptr;
    PresenceOverlay* m_overlay = nullptr;
    std::vector<tb::PresentBuilder> m_builders;
    // The builder's strokes on the server or waiting, newest last, and those taken back.
    std::vector<tb::Stroke> m_done;
    std::vector<tb::Stroke> m_undone;
    QString m_uri;
    QString m_notice; // the last undo's or redo's cells left, shown until the next stroke
    bool m_pressed = false;
    bool m_feedBroken = false;
};

} // namespace tbapp
