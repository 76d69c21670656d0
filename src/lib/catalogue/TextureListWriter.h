#pragma once
// The texture lists as the options dialog edits them: a list's items as "$" + four hex
// digits, and writing a list back as "textureid=<item>" lines.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

// The file of texture list `name` (the name is the whole file name, "grass.lst"; one typed
// without ".lst" is used as it is). Throws UnsafeNameError for a name that is empty, holds
// a path separator or would lead out of the textures folder.
std::filesystem::path textureListFilePath(const std::filesystem::path& appDir,
                                          std::string_view name);

// An item as the options dialog shows a loaded value: "$" + four upper-case hex digits.
std::string textureItemText(std::int32_t value);

// LoadListItems: appends one item per line of list `name` to `items`. Throws
// UnsafeNameError or FileError before anything is added, or ConversionError at the first
// line whose value is no integer (the items before it stay).
void loadListItems(const std::filesystem::path& appDir, std::string_view name,
                   std::vector<std::string>& items);

// The file's lines for `items`: "textureid=" + item, in order, items as they stand.
std::vector<std::string> textureListFileLines(const std::vector<std::string>& items);

// Writes list `name` (Windows-1252, CR LF), replacing the file atomically. Throws
// UnsafeNameError before anything is written, or FileError (the old file stays).
void writeTextureList(const std::filesystem::path& appDir, std::string_view name,
                      const std::vector<std::string>& items);

// The names of the textures folder's "*.lst" entries, as the list menu shows them.
std::vector<std::string> textureListNames(const std::filesystem::path& appDir);

} // namespace tb
