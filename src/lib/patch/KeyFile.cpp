#include "patch/KeyFile.h"

#include "shell/LineFile.h"

#include <system_error>

namespace tb {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char lowerChar(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerChar(a[i]) != lowerChar(b[i]))
            return false;
    return true;
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

// A stored text never spans lines: a line break inside it would open a new key.
std::string oneLine(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

} // namespace

KeyFile KeyFile::parse(const std::vector<std::string>& lines) {
    KeyFile file;
    bool inSection = false;
    for (const std::string& line : lines) {
        if (!line.empty() && line.front() == '[' && line.back() == ']')
            ++file.m_bracketLines;
        const std::string_view text = trim(line);
        if (text.empty())
            continue;
        if (text.front() == '[') {
            std::string_view name = text.substr(1);
            if (const auto close = name.find(']'); close != std::string_view::npos)
                name = name.substr(0, close);
            file.addSection(trim(name));
            inSection = true;
            continue;
        }
        const auto eq = text.find('=');
        if (eq == std::string_view::npos || !inSection)
            continue; // neither a section nor a key of one
        addKey(file.m_sections.back(), trim(text.substr(0, eq)), trim(text.substr(eq + 1)));
    }
    return file;
}

KeyFile KeyFile::load(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return {};
    return parse(readLines(path));
}

KeyFile::Section& KeyFile::addSection(std::string_view name) {
    m_sections.push_back(Section{std::string(name), {}});
    // A repeated section name is kept in the text, but lookups find the first one.
    m_sectionIndex.emplace(lower(name), m_sections.size() - 1);
    return m_sections.back();
}

void KeyFile::addKey(Section& section, std::string_view key, std::string_view value) {
    section.keys.emplace_back(std::string(key), std::string(value));
}

const std::pair<std::string, std::string>* KeyFile::Section::find(std::string_view key) const {
    for (const auto& entry : keys)
        if (equalsIgnoringCase(entry.first, key))
            return &entry;
    return nullptr;
}

const KeyFile::Section* KeyFile::findSection(std::string_view name) const {
    const auto it = m_sectionIndex.find(lower(name));
    return it == m_sectionIndex.end() ? nullptr : &m_sections[it->second];
}

bool KeyFile::hasKey(std::string_view section, std::string_view key) const {
    const Section* s = findSection(section);
    return s && s->find(key);
}

std::vector<std::string> KeyFile::keyNames(std::string_view section) const {
    std::vector<std::string> names;
    if (const Section* s = findSection(section))
        for (const auto& entry : s->keys)
            names.push_back(entry.first);
    return names;
}

std::string KeyFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    if (const Section* s = findSection(section))
        if (const auto* entry = s->find(key))
            return entry->second;
    return std::string(defaultValue);
}

std::string KeyFile::readString(int index, std::string_view key,
                                std::string_view defaultValue) const {
    return readString(std::to_string(index), key, defaultValue);
}

std::vector<std::string>
entryLines(int index, const std::vector<std::pair<std::string_view, std::string_view>>& keys) {
    std::vector<std::string> lines;
    lines.reserve(keys.size() + 1);
    lines.push_back("[" + std::to_string(index) + "]");
    for (const auto& [key, value] : keys)
        lines.push_back(oneLine(key) + "=" + oneLine(value));
    return lines;
}

} // namespace tb
