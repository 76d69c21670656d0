#include "app/editor/StaticsCompaction.h"

#include "app/editor/MapFileCommands.h"
#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"
#include "app/shell/UiPath.h"

#include "core/StaticsFiles.h"
#include "core/StaticsSave.h"
#include "editor/MapDocument.h"

#include <filesystem>
#include <memory>

namespace tbapp {

StaticsCompaction::StaticsCompaction(tb::MapDocument& document, MapFileCommands& files,
                                     JobRunner& documentJobs, Prompts& prompts, QWidget* window)
    : QObject(window), m_document(document), m_files(files), m_jobs(documentJobs),
      m_prompts(prompts), m_window(window) {}

// The statics in memory point into the old pair, so they are read again from the new one;
// unsaved edits would be lost with them, hence the refusal.
void StaticsCompaction::compact() {
    const tb::MapImage& map = m_document.image();
    if (!map.variant())
        return;
    // A map from elsewhere (a shared facet): its items are not kept in files here.
    if (m_document.fileName().empty()) {
        m_prompts.showMessage(m_window, "This map was not read from a file: there are no "
                                        "statics files to compact.");
        return;
    }
    if (m_jobs.busy()) {
        m_prompts.showMessage(m_window, JobRunner::refusal(m_jobs.caption()));
        return;
    }
    if (m_document.itemsModified()) {
        m_prompts.showMessage(m_window, "The statics have unsaved changes: save the map first, "
                                        "then compact the statics.");
        return;
    }
    const tb::StaticsFilePaths files = m_document.staticsFiles();
    std::error_code error;
    if (!m_document.statics() || files.index.empty() ||
        !std::filesystem::exists(files.index, error) ||
        !std::filesystem::exists(files.data, error)) {
        m_prompts.showMessage(m_window,
                              QString("%1 has no staidx and statics files on disk: there are no "
                                      "statics to compact.")
                                  .arg(uiText(m_document.fileName().filename())));
        return;
    }
    struct Outcome {
        tb::CompactReport report;
        std::unique_ptr<tb::StaticsMap> statics;
    };
    auto outcome = std::make_shared<Outcome>();
    Job job;
    job.caption = "Compacting " + uiText(files.data.filename());
    job.work = [files, variant = *map.variant(), outcome](tb::Progress& progress) {
        outcome->report =
            tb::compactStatics(files, variant.widthBlocks(), variant.heightBlocks(), progress);
        outcome->statics =
            std::make_unique<tb::StaticsMap>(tb::loadStatics(files, variant, progress).statics);
    };
    job.succeeded = [this, outcome, name = uiText(files.data.filename())] {
        m_files.staticsCompacted(std::move(outcome->statics));
        const tb::CompactReport& r = outcome->report;
        m_prompts.showMessage(m_window, QString("%1 compacted: %2 records kept, %3 bytes before, "
                                                "%4 bytes after.")
                                            .arg(name)
                                            .arg(r.recordsKept)
                                            .arg(r.bytesBefore)
                                            .arg(r.bytesAfter));
    };
    job.reportStopOrFailure(m_prompts, m_window);
    m_jobs.start(std::move(job));
}

} // namespace tbapp
