#include "catalogue/CatalogueNames.h"

#include "catalogue/TextureList.h"

#include <algorithm>
#include <system_error>

namespace tb {
namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size())
        return false;
    text = text.substr(text.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (lowerAscii(text[i]) != lowerAscii(suffix[i]))
            return false;
    return true;
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return lowerAscii(x) < lowerAscii(y);
    });
}

} // namespace

std::vector<std::string> listCatalogueNames(const std::filesystem::path& appDir,
                                            std::string_view folderName,
                                            std::string_view extension) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(catalogueFolder(appDir, folderName), error);
    if (error)
        return names;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (error)
            break;
        const std::u8string u8name = it->path().filename().u8string();
        std::string name(u8name.begin(), u8name.end());
        if (!endsWithIgnoringCase(name, extension) || !it->is_regular_file(error))
            continue;
        name.resize(name.size() - extension.size());
        if (!name.empty())
            names.push_back(std::move(name));
    }
    // The folder listing's order differs between file systems; by name it is stable.
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    return names;
}

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
