#include "app/editor/ViewPictureExport.h"

#include "render/PictureFiles.h"

#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"
#include "app/shell/UiPath.h"

#include "shell/Progress.h"

namespace tbapp {

void exportViewPicture(const std::function<QImage()>& viewPicture, Prompts& prompts,
                       JobRunner& jobs, QWidget* window) {
    if (jobs.busy()) {
        prompts.showMessage(window, JobRunner::refusal(jobs.caption()));
        return;
    }
    FileDialogRequest request;
    request.name = "ViewPictureSave";
    request.title = "Export view as PNG";
    request.filter = "PNG picture (*.png)";
    request.defaultName = "view.png";
    request.defaultSuffix = "png";
    request.confirmOverwrite = true;
    const QString path = prompts.saveFileName(window, request);
    if (path.isEmpty())
        return;
    // The picture is taken here, as the view shows it now; encoding and writing go beside.
    Job job;
    job.caption = "Exporting the view";
    job.work = [picture = viewPicture(), target = uiPath(path)](tb::Progress& progress) {
        tbrender::writePngFile(picture, target, progress,
                               "The view was not exported: the picture there is as it was.");
    };
    job.reportStopOrFailure(prompts, window);
    jobs.start(std::move(job));
}

} // namespace tbapp
