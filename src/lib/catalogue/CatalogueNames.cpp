#include "catalogue/CatalogueNames.h"

#include "catalogue/TextureList.h"

namespace tb {

std::filesystem::path utf8Path(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::optional<std::string> catalogueNameProblem(std::string_view what, std::string_view fileName,
                                                std::string_view folderName) {
    const std::string quoted = "\"" + std::string(fileName) + "\"";
    const std::string subject = "The " + std::string(what) + " name ";
    if (fileName.empty())
        return subject + "is empty.";
    if (fileName.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos)
        return subject + quoted + " holds a path separator; a " + std::string(what) +
               " is always saved in the " + std::string(folderName) + " folder.";
    if (fileName == "." || fileName == "..")
        return subject + quoted + " names a file outside the " + std::string(folderName) +
               " folder.";
    return std::nullopt;
}

void checkCatalogueName(std::string_view what, std::string_view fileName,
                        std::string_view folderName) {
    if (auto problem = catalogueNameProblem(what, fileName, folderName))
        throw UnsafeNameError(*problem);
}

std::filesystem::path catalogueFolder(const std::filesystem::path& appDir,
                                      std::string_view folderName) {
    if (auto found = findEntryIgnoringCase(appDir, folderName))
        return *found;
    return appDir / utf8Path(folderName);
}

std::filesystem::path catalogueFilePath(const std::filesystem::path& appDir,
                                        std::string_view folderName, std::string_view what,
                                        std::string_view fileName) {
    checkCatalogueName(what, fileName, folderName);
    const std::filesystem::path folder = catalogueFolder(appDir, folderName);
    if (auto found = findEntryIgnoringCase(folder, fileName))
        return *found;
    return folder / utf8Path(fileName);
}

} // namespace tb
