#include "catalogue/OptionsModel.h"

#include "catalogue/CatalogueNames.h"
#include "catalogue/TextureList.h"
#include "catalogue/TextureListWriter.h"

namespace tb {
namespace {

bool needsQuotes(std::string_view id) {
    for (const char c : id)
        if (static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"')
            return true;
    return false;
}

} // namespace

std::string joinGroupIds(const std::vector<std::string>& ids) {
    std::string text;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (i > 0)
            text += ',';
        const std::string& id = ids[i];
        if (!needsQuotes(id)) {
            text += id;
            continue;
        }
        text += '"';
        for (const char c : id) {
            if (c == '"')
                text += '"';
            text += c;
        }
        text += '"';
    }
    return text;
}

std::vector<TileListRow> groupRowsFromTileList(const std::vector<TileNamed>& groups) {
    std::vector<TileListRow> rows;
    rows.reserve(groups.size());
    for (const TileNamed& group : groups)
        rows.push_back({group.tileName, joinGroupIds(group.tileIds)});
    return rows;
}

std::filesystem::path tileListPath(const std::filesystem::path& appDir) {
    if (auto found = findEntryIgnoringCase(appDir, kTileListFile))
        return *found;
    return appDir / std::string(kTileListFile);
}

ListButtonState listButtonState(int selected, int count) {
    if (selected < 0 || selected >= count)
        return {};
    return {true, true, selected > 0, selected < count - 1};
}

std::string appendGroupTileId(std::string_view idText, std::string_view cellText) {
    return std::string(idText) + "$" + std::string(cellText) + ",";
}

std::string pickerTileText(std::string_view cellText) {
    return "$" + std::string(cellText);
}

void runOptionsSaveSequence(const std::filesystem::path& appDir, const OptionsResult& result,
                            const OptionsSaveSteps& steps) {
    checkCatalogueName("texture list", result.textureListName, kTexturesFolder);
    writeTileList(tileListPath(appDir), result.groupRows);
    if (steps.loadTileGroups)
        steps.loadTileGroups();
    writeTextureList(appDir, result.textureListName, result.textureItems);
    const std::string path = textureListPath(result.textureListName);
    if (steps.loadTextureList)
        steps.loadTextureList(path);
    if (steps.buildListMenu)
        steps.buildListMenu(path);
}

} // namespace tb
