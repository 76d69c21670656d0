#pragma once
// Checks that several tbmap commands share: numbers read from named arguments, outputs that
// must not be one of the command's inputs, and the files a command reads from a game folder.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tbcli {

// The integer in argument `name` ("X1", "--cell"), decimal or $hex. Throws
// std::runtime_error naming the argument: "X1: 'abc' is not a valid integer value".
std::int32_t intArgument(const std::string& name, const std::string& text);

// Throws before any work is done when the command's result cannot be written to `output`:
// FileError when it is a folder, a device, a pipe or a socket (or a link to one), as the
// writer would refuse it at the end; std::runtime_error when it is one of `inputs`,
// compared as files (another spelling, a link or a hard link to an input counts), which a
// command never writes over. Inputs that do not exist are ignored.
void checkOutput(const std::filesystem::path& output,
                 const std::vector<std::filesystem::path>& inputs);

// The files of `gameDir` that the land art and textures are read from: artidx.mul, art.mul,
// texidx.mul, texmaps.mul and the art container.
std::vector<std::filesystem::path> artInputs(const std::filesystem::path& gameDir);

// The facet of a map file's statics: the digit of map4.mul or map4LegacyMUL.uop. Throws
// std::runtime_error for a name without one.
int staticsFacet(const std::filesystem::path& mapFile);

// "\"<path>\"", as files are named in messages.
std::string inQuotes(const std::filesystem::path& path);

} // namespace tbcli
