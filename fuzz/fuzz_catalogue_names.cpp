// Names typed for catalogue files: a name that is accepted never leads out of its folder.
#include "FuzzSupport.h"

#include "catalogue/BrushFile.h"
#include "catalogue/CatalogueNames.h"
#include "catalogue/TextureListWriter.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    // A folder that does not exist: paths are built, nothing is listed or written.
    const std::filesystem::path appDir = "/nonexistent-tbfuzz/app";
    const bool accepted = !tb::catalogueNameProblem("brush", name, "brushes").has_value();
    try {
        const std::filesystem::path file = tb::brushFilePath(appDir, name);
        tbfuzz::check(accepted, "brushFilePath takes a refused name");
        tbfuzz::check(file.parent_path() == appDir / "brushes", "brush outside its folder");
        const std::filesystem::path lexical = file.lexically_normal();
        tbfuzz::check(lexical.parent_path() == appDir / "brushes", "brush path leads out");
    } catch (const tb::UnsafeNameError&) {
        tbfuzz::check(!accepted, "brushFilePath refuses an accepted name");
    }
    try {
        const std::filesystem::path file = tb::textureListFilePath(appDir, name);
        tbfuzz::check(file.lexically_normal().parent_path() == appDir / "textures",
                      "texture list outside its folder");
    } catch (const tb::UnsafeNameError&) {
    }
    return 0;
}
