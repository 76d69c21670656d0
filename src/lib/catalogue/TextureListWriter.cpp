#include "catalogue/TextureListWriter.h"

#include "catalogue/CatalogueNames.h"
#include "catalogue/TextureList.h"
#include "shell/LineFile.h"

namespace tb {

std::filesystem::path textureListFilePath(const std::filesystem::path& appDir,
                                          std::string_view name) {
    return catalogueFilePath(appDir, kTexturesFolder, "texture list", name);
}

std::string textureItemText(std::int32_t value) {
    return "$" + paletteRowText(value);
}

void loadListItems(const std::filesystem::path& appDir, std::string_view name,
                   std::vector<std::string>& items) {
    const std::vector<std::string> lines = readLines(textureListFilePath(appDir, name));
    for (const std::string& line : lines)
        items.push_back(textureItemText(textureListValue(line)));
}

std::vector<std::string> textureListFileLines(const std::vector<std::string>& items) {
    std::vector<std::string> lines;
    lines.reserve(items.size());
    for (const std::string& item : items)
        lines.push_back("textureid=" + item);
    return lines;
}

void writeTextureList(const std::filesystem::path& appDir, std::string_view name,
                      const std::vector<std::string>& items) {
    writeLines(textureListFilePath(appDir, name), textureListFileLines(items));
}

std::vector<std::string> textureListNames(const std::filesystem::path& appDir) {
    std::vector<std::string> names;
    for (ListMenuEntry& entry : buildListMenu(appDir, ""))
        names.push_back(std::move(entry.caption));
    return names;
}

} // namespace tb
