#pragma once
// File helpers of the map conversion tools: positioned reads and writes on an open file.
// (Whether two paths name one file is sameFile of shell/FileIdentity.h; map files are
// identified by identifyMapFile of core/MapFile.h.)

#include "core/MapFile.h"
#include "shell/FileIdentity.h"
#include "shell/NativeFile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace tb {

// A refusal the tools detect themselves before touching any file ("Wrong source map file!");
// windows show it as a plain message, tbmap prints it and exits 1.
class ToolRefusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline bool isToolRefusal(const std::exception& error) {
    return dynamic_cast<const ToolRefusal*>(&error) != nullptr;
}

// An open file for positioned reads and writes, closed when the object goes. Every
// failure, including a short read, throws FileError naming the file.
class PositionedFile {
public:
    enum class Mode { Read, ReadWrite };
    PositionedFile(const std::filesystem::path& path, Mode mode);
    ~PositionedFile();
    PositionedFile(const PositionedFile&) = delete;
    PositionedFile& operator=(const PositionedFile&) = delete;

    void readAt(std::int64_t offset, void* data, std::size_t size) const;
    void writeAt(std::int64_t offset, const void* data, std::size_t size);

private:
    std::filesystem::path m_path;
    NativeFile m_file;
};

} // namespace tb
