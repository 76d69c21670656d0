#include "app/tools/LoadedMapWrite.h"

#include "app/shell/MapEditorLink.h"
#include "app/shell/Prompts.h"

#include "editor/MapDocument.h"
#include "shell/FileIdentity.h"

#include <utility>

namespace tbapp {

void writeAfterLoadedMapSaved(MapEditorLink* editor, Prompts& prompts, QWidget* parent,
                              const std::filesystem::path& destination, const QString& tool,
                              std::function<void()> write) {
    const tb::MapDocument* document = editor ? editor->mapDocument() : nullptr;
    if (!document || !document->isModified() || !tb::sameFile(document->fileName(), destination)) {
        write();
        return;
    }
    const QString name = QString::fromStdU16String(document->fileName().filename().u16string());
    if (prompts.confirm(parent, QString("%1 has unsaved changes. Save them before %2 writes it? "
                                        "No cancels %2.")
                                    .arg(name, tool)))
        editor->saveMap(std::move(write));
}

} // namespace tbapp
