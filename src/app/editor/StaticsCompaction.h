#pragma once
// "Compact statics": the pair of the loaded map rewritten without the records no entry uses
// (the old pair stays as .bak files until the new one is complete), as a job of the document's
// runner, then read again into the document with its item steps kept. Refused while the items
// have unsaved changes, for a map not read from a file, and without a pair on disk.

#include <QObject>

class QWidget;

namespace tb {
class MapDocument;
}

namespace tbapp {
class JobRunner;
class MapFileCommands;
class Prompts;

class StaticsCompaction : public QObject {
    Q_OBJECT
public:
    // Everything given must outlive the object; `window` is the parent of its messages.
    StaticsCompaction(tb::MapDocument& document, MapFileCommands& files, JobRunner& documentJobs,
                      Prompts& prompts, QWidget* window);

    void compact();

private:
    tb::MapDocument& m_document;
    MapFileCommands& m_files;
    JobRunner& m_jobs;
    Prompts& m_prompts;
    QWidget* m_window;
};

} // namespace tbapp
