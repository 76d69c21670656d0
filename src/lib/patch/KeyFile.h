#pragma once
// Key files: the sectioned key=value text files that hold patch files and coordinate
// lists. A line "[name]" opens a section, a line "key=value" sets a key in it; section and
// key names match without regard to case and blank lines are ignored. Writers build whole
// files from entryLines.
//
// Entries are the sections "0", "1", ... The entry count is the number of lines whose first
// character is "[" and whose last character is "]", taken exactly as stored; readers then
// look the sections "0" to count - 1 up by name, whatever the counted lines were called.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tb {

class KeyFile {
public:
    KeyFile() = default;

    // Parses the lines of a key file (as LineFile decodes them).
    static KeyFile parse(const std::vector<std::string>& lines);
    // Reads a Windows-1252 key file. A file that does not exist is an empty key file (entry
    // count 0); one that exists but cannot be read throws FileError naming it.
    static KeyFile load(const std::filesystem::path& path);

    // Lines of the form "[...]" exactly as stored.
    int entryCount() const { return m_bracketLines; }

    // Whether a section of that name (any case) is there.
    bool hasSection(std::string_view section) const { return findSection(section) != nullptr; }
    // Whether `section` holds `key` (both in any case).
    bool hasKey(std::string_view section, std::string_view key) const;
    // The names of the keys of `section` as stored, in file order; none for a missing section.
    std::vector<std::string> keyNames(std::string_view section) const;

    // The value of `key` in `section` (first occurrence of each), blanks around it removed;
    // `defaultValue` when the section or the key is missing.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // The same for section "<index>".
    std::string readString(int index, std::string_view key, std::string_view defaultValue) const;

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys; // few per section: scanned
        // The first key of this name, without regard to case; nullptr when missing.
        const std::pair<std::string, std::string>* find(std::string_view key) const;
    };
    const Section* findSection(std::string_view name) const;
    Section& addSection(std::string_view name);
    static void addKey(Section& section, std::string_view key, std::string_view value);

    std::vector<Section> m_sections;
    std::unordered_map<std::string, std::size_t> m_sectionIndex; // lower-case name -> first
    int m_bracketLines = 0;
};

// The lines of one entry, "[index]" then "key=value" for each pair in order; writers build
// whole files from these.
std::vector<std::string>
entryLines(int index, const std::vector<std::pair<std::string_view, std::string_view>>& keys);

} // namespace tb
