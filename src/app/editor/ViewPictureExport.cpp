#include "editor/ViewPictureExport.h"

#include "core/PictureFiles.h"
#include "editor/MapView.h"

#include "shell/Prompts.h"
#include "shell/UiPath.h"

namespace tbapp {

void exportViewPicture(MapView& view, Prompts& prompts, QWidget* window) {
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
    const QImage picture = view.viewPicture();
    runReported(prompts, window, [&] { writePngFile(picture, uiPath(path)); });
}

} // namespace tbapp
