#pragma once
// Text files as lists of lines: the lists, patch files and catalogues the editor keeps
// beside the program. Files are stored in Windows-1252 with CR LF line ends; the lines in
// memory are UTF-8.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

enum class TextEncoding { Windows1252, Utf8 };

// Splits file bytes into UTF-8 lines. The bytes are Windows-1252 unless they start with a
// byte-order mark: EF BB BF means UTF-8, FF FE and FE FF mean UTF-16 (little and big
// endian); the mark is not part of the first line. CR LF, LF and a lone CR all end a line;
// a missing final line end is fine and a final line end adds no empty line.
std::vector<std::string> decodeLines(std::string_view bytes);

// Reads a whole text file as lines (see decodeLines). Throws FileError naming the file
// when it cannot be opened or read.
std::vector<std::string> readLines(const std::filesystem::path& path);

// The bytes of a text file holding `lines`, each followed by CR LF (the last one too), no
// byte-order mark. In Windows-1252 a character the code page lacks is written as "?".
std::string encodeLines(const std::vector<std::string>& lines,
                        TextEncoding encoding = TextEncoding::Windows1252);

// Writes `lines` as encodeLines does, replacing the file atomically. Throws FileError
// naming the file on failure; the old file then stays as it was.
void writeLines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                TextEncoding encoding = TextEncoding::Windows1252);

// The whole content of a regular file as bytes. Throws FileError naming the file when it
// cannot be opened or read or is no regular file.
std::string readFileText(const std::filesystem::path& path);

} // namespace tb
