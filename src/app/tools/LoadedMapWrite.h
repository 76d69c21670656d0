#pragma once
// A tool window that writes a map file may be about to write the one the editor has loaded.
// Its unsaved changes would be lost twice over: the tool writes the file as it is on disk,
// and a later Save would write them over the tool's work. So they are saved first, or the
// tool does not run; after it, the editor reads the file again (MapEditorLink).

#include <QString>

#include <filesystem>
#include <functional>

class QWidget;

namespace tbapp {
class MapEditorLink;
class Prompts;

// Runs `write` at once unless `destination` is the file of the map loaded in `editor` (which
// may be null: no editor) and that map has unsaved changes. Then asks "<file> has unsaved
// changes. Save them before <tool> writes it? No cancels <tool>."; Yes saves them and runs
// `write` once the file is written, No runs nothing.
void writeAfterLoadedMapSaved(MapEditorLink* editor, Prompts& prompts, QWidget* parent,
                              const std::filesystem::path& destination, const QString& tool,
                              std::function<void()> write);

} // namespace tbapp
