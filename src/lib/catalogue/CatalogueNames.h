#pragma once
// The names under which the dialogs write catalogue files (brushes, texture lists). A
// name comes from the user, so it is checked before it becomes a path: no dialog may write
// outside the catalogue's own folder.

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

// A catalogue name that cannot be used as a file name; the message says why.
class UnsafeNameError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Why `fileName` cannot name a file directly inside the folder called `folderName`
// ("brushes", "textures"), written for a message box about a `what` ("brush", "texture
// list"): it is empty, holds "/", "\" or a NUL character, or is "." or "..". nullopt
// when the name is fine.
std::optional<std::string> catalogueNameProblem(std::string_view what, std::string_view fileName,
                                                std::string_view folderName);

// Throws UnsafeNameError with catalogueNameProblem's message when there is a problem.
void checkCatalogueName(std::string_view what, std::string_view fileName,
                        std::string_view folderName);

// The catalogue folder `folderName` below the program folder, found without regard to
// case ("textures" or "TEXTURES"); the name as given when there is none.
std::filesystem::path catalogueFolder(const std::filesystem::path& appDir,
                                      std::string_view folderName);

// The file `fileName` in the catalogue folder `folderName` below `appDir`. Checks the name
// first (UnsafeNameError); an entry whose name matches without regard to case is taken when
// there is one (so saving "pond" replaces "Pond.brs"), else the name as given.
std::filesystem::path catalogueFilePath(const std::filesystem::path& appDir,
                                        std::string_view folderName, std::string_view what,
                                        std::string_view fileName);

// The names of the catalogue files of folder `folderName` below `appDir`: every regular
// file whose name ends in `extension` (any case), without it, sorted by name without regard
// to case. No folder gives no names.
std::vector<std::string> listCatalogueNames(const std::filesystem::path& appDir,
                                            std::string_view folderName,
                                            std::string_view extension);

// A path from a UTF-8 text (the form in which names and lines are held in memory).
std::filesystem::path utf8Path(std::string_view text);

} // namespace tb
