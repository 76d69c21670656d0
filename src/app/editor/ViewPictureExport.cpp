#include "app/editor/ViewPictureExport.h"

#include "app/editor/MapView.h"
#include "render/PictureFiles.h"

#include "app/shell/Prompts.h"
#include "app/shell/UiPath.h"

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
    runReported(prompts, window, [&] { tbrender::writePngFile(picture, uiPath(path)); });
}

} // namespace tbapp
