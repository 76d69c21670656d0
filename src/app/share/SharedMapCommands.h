#pragma once
// The editor on a shared map: File > "Open shared map..." opens a facet from the team's
// server as a job, and the document becomes the builder's copy of it. What the builder
// changes goes out as one stroke per operation (a Paint stroke when the button comes up),
// an entry of the document's undo history; what others commit comes in through the change
// feed and is shown without an undo row. A session worker (tb::ShareWorker) makes every
// call to the server on a thread of its own; this object hands it the strokes and applies
// what it reports a little at a time, so the window never waits on the network. While the
// server cannot be reached the strokes wait in the journal and the status bar counts them;
// they go out when a reconnect succeeds. The "Builders" dock lists who else is on the facet,
// and their views are outlined on the map.

#include "app/editor/MapEditorWindow.h"
#include "editor/MapDocument.h"
#include "share/Presence.h"
#include "share/ShareWorker.h"

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

namespace tb {
class SharedDocument;
struct SubmitReport;
} // namespace tb

namespace tbapp {

class PresenceOverlay;
struct OpenedMap;

class SharedMapCommands : public QObject, private tb::DocumentListener {
    Q_OBJECT
public:
    // Adds its menu entry, status line and dock to `window`, which must outlive it: the
    // window's document goes before the window's children do, so this is not one of them.
    explicit SharedMapCommands(MapEditorWindow& window);
    ~SharedMapCommands() override;

    // Opens facet `facet` at `uri` as a job of the window's document jobs.
    void open(const QString& uri, int facet);
    bool isOpen() const { return m_shared != nullptr; }
    // Strokes in the journal waiting for the server.
    std::size_t waitingCount() const;
    // Strokes handed to the worker whose outcome has not come back yet.
    std::size_t unsettledCount() const;
    // The status line's text.
    QString stateText() const;
    // The other builders on the facet, as last read.
    const std::vector<tb::PresentBuilder>& builders() const { return m_builders; }
    // How the workers of maps opened from now on keep time (tests make it shorter).
    void setTiming(const tb::WorkerTiming& timing) { m_timing = timing; }

    // Sends what the document changed since the last stroke, unless the button is down.
    void commitEdits();
    // The worker beats now: announces the view, reads the others and, offline, begins a
    // reconnect.
    void tick();

private:
    void chooseAndOpen();
    // The open as a background job; `password` is the one the builder typed after the server
    // asked for it, kept in memory only.
    void openWith(const QString& uri, int facet, std::optional<std::string> password);
    // The builder's password for role `user`, asked on the UI thread; nullopt on Cancel.
    std::optional<std::string> askPassword(const QString& user);
    void opened(OpenedMap&& map);
    void close();
    // Applies what the worker reported, a few milliseconds at a time.
    void applyEvents();
    void report(const tb::SubmitReport& report);
    // `text` with every password this map was opened with replaced by "***".
    QString masked(QString text) const;
    void showView();
    void refreshBuilders();
    void refreshState();
    void cellsChanged(const tb::CellChange& change) override;
    void documentReplaced() override;
    void historyChanged() override { refreshState(); }

    MapEditorWindow& m_window;
    tb::MapDocument& m_document;
    tb::ListenerConnection m_connection;
    tb::WorkerTiming m_timing;
    std::unique_ptr<tb::ShareWorker> m_worker;
    std::unique_ptr<tb::SharedDocument> m_shared;
    // Workers of closed maps, leaving the facet; gone once their threads have ended.
    std::vector<std::unique_ptr<tb::ShareWorker>> m_leaving;
    QTimer m_commitSoon;
    QTimer m_viewBeat;
    QTimer m_reap;
    QLabel* m_stateLabel = nullptr;
    QDockWidget* m_dock = nullptr;
    QListWidget* m_builderList = nullptr;
    PresenceOverlay* m_overlay = nullptr;
    std::vector<tb::PresentBuilder> m_builders;
    int m_facet = 0;
    QStringList m_passwords; // of the map open, for masking
    QString m_replayed;      // "3 strokes from the last session committed", until the next
    bool m_pressed = false;
};

} // namespace tbapp
