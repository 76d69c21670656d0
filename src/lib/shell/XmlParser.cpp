#include "shell/XmlParser.h"

#include "shell/Errors.h"
#include "shell/LineFile.h"
#include "shell/TextCodec.h"

#include <algorithm>
#include <new>

namespace tb {
namespace {

// "¿", given for characters that Windows-1252 lacks.
constexpr std::string_view kInvertedQuestionMark = "\xC2\xBF";

// Declared entities may expand to at most this many bytes per document, so a small hostile
// file cannot blow up into gigabytes of text; references past it stay as written.
constexpr std::size_t kEntityExpansionLimit = 8u << 20;

bool isXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isXmlSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isXmlSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string normalized(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    bool pendingBlank = false;
    for (const char c : s) {
        if (isXmlSpace(c)) {
            pendingBlank = !out.empty();
            continue;
        }
        if (pendingBlank)
            out += ' ';
        pendingBlank = false;
        out += c;
    }
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The character of a reference such as "#65" or "#x41" (without & and ;), or nothing when
// the digits are malformed.
std::optional<std::string> characterReference(std::string_view ref) {
    ref.remove_prefix(1); // '#'
    int base = 10;
    if (!ref.empty() && (ref.front() == 'x' || ref.front() == 'X')) {
        base = 16;
        ref.remove_prefix(1);
    }
    if (ref.empty())
        return std::nullopt;
    std::uint32_t code = 0;
    bool tooLarge = false;
    for (const char c : ref) {
        const int digit = hexValue(c);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        if (code > 0x10FFFF)
            tooLarge = true;
        else
            code = code * std::uint32_t(base) + std::uint32_t(digit);
    }
    if (tooLarge || code == 0 || !isInWindows1252(code))
        return std::string(kInvertedQuestionMark);
    std::string out;
    appendUtf8(out, code);
    return out;
}

} // namespace

bool XmlParser::loadFile(const std::filesystem::path& path) {
    try {
        loadFromBytes(readFileText(path));
        return true;
    } catch (const FileError&) {
    } catch (const std::bad_alloc&) {
    }
    loadFromBytes({});
    return false;
}

void XmlParser::loadFromBytes(std::string_view bytes) {
    m_doc.assign(bytes);
    m_hasBom = bytes.starts_with("\xEF\xBB\xBF");
    m_start = m_hasBom ? 3 : 0;
    restart();
}

void XmlParser::restart() {
    m_pos = m_start;
    m_partStart = m_start;
    m_countedTo = 0;
    m_linesBefore = 0;
    clearPart();
    m_lastTagName.clear();
    m_encoding = "UTF-8";
    m_utf8 = true;
    m_entities.clear();
    m_entityBytesExpanded = 0;
}

void XmlParser::clearPart() {
    m_type = XmlPartType::None;
    m_name.clear();
    m_text.clear();
    m_attributes.clear();
}

std::optional<std::string> XmlParser::attribute(std::string_view name) const {
    for (const auto& a : m_attributes) {
        if (a.name == name)
            return a.value;
    }
    return std::nullopt;
}

std::size_t XmlParser::partLine() const {
    if (m_type == XmlPartType::None)
        return 0;
    for (; m_countedTo < m_partStart; ++m_countedTo) {
        const char c = m_doc[m_countedTo];
        if (c == '\n' ||
            (c == '\r' && (m_countedTo + 1 >= m_doc.size() || m_doc[m_countedTo + 1] != '\n')))
            ++m_linesBefore;
    }
    return m_linesBefore + 1;
}

bool XmlParser::nextPart() {
    while (m_pos < m_doc.size()) {
        clearPart();
        m_partStart = m_pos;
        const std::string_view rest = std::string_view(m_doc).substr(m_pos);
        if (rest.front() != '<') {
            if (scanText())
                return true;
            continue; // white space only
        }
        if (rest.size() > 5 && rest.starts_with("<?xml") && isXmlSpace(rest[5]))
            scanProlog();
        else if (rest.starts_with("<?"))
            scanProcessingInstruction();
        else if (rest.starts_with("<!--"))
            scanComment();
        else if (rest.starts_with("<!DOCTYPE"))
            scanDoctype();
        else if (rest.starts_with("<![CDATA["))
            scanCData();
        else
            scanTag();
        return true;
    }
    clearPart();
    return false;
}

std::size_t XmlParser::findOrEnd(std::string_view what, std::size_t from) const {
    const std::size_t at = m_doc.find(what, from);
    return at == std::string::npos ? m_doc.size() : at;
}

void XmlParser::scanProlog() {
    const std::size_t begin = m_pos + 5; // after "<?xml"
    const std::size_t end = findOrEnd("?>", begin);
    m_pos = std::min(end + 2, m_doc.size());
    const std::string_view content = std::string_view(m_doc).substr(begin, end - begin);
    m_type = XmlPartType::Prolog;
    m_name = "xml";
    m_text = decode(trimmed(content));
    parseAttributes(content);
    if (const auto encoding = attribute("encoding"); encoding && !m_hasBom)
        setEncoding(*encoding);
}

void XmlParser::setEncoding(std::string_view name) {
    if (name.empty())
        return;
    m_encoding.clear();
    for (const char c : name)
        m_encoding += (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    m_utf8 = m_encoding == "UTF-8" || m_encoding == "UTF8";
}

void XmlParser::scanProcessingInstruction() {
    const std::size_t begin = m_pos + 2; // after "<?"
    const std::size_t end = findOrEnd("?>", begin);
    m_pos = std::min(end + 2, m_doc.size());
    const std::string_view content = std::string_view(m_doc).substr(begin, end - begin);
    std::size_t targetEnd = 0;
    while (targetEnd < content.size() && !isXmlSpace(content[targetEnd]))
        ++targetEnd;
    m_type = XmlPartType::ProcessingInstruction;
    m_name = decode(content.substr(0, targetEnd));
    m_text = decode(trimmed(content.substr(targetEnd)));
}

void XmlParser::scanComment() {
    const std::size_t begin = m_pos + 4; // after "<!--"
    const std::size_t end = findOrEnd("-->", begin);
    m_pos = std::min(end + 3, m_doc.size());
    m_type = XmlPartType::Comment;
    m_text = decode(std::string_view(m_doc).substr(begin, end - begin));
}

void XmlParser::scanDoctype() {
    const std::size_t begin = m_pos + 9; // after "<!DOCTYPE"
    const std::string_view doc = m_doc;
    // The root element name.
    std::size_t i = begin;
    while (i < doc.size() && isXmlSpace(doc[i]))
        ++i;
    const std::size_t nameBegin = i;
    while (i < doc.size() && !isXmlSpace(doc[i]) && doc[i] != '[' && doc[i] != '>')
        ++i;
    m_name = decode(doc.substr(nameBegin, i - nameBegin));
    // Skip to the closing ">", stepping over quoted literals and the internal subset with
    // its comments; general entities declared there are remembered.
    bool inSubset = false;
    std::size_t end = doc.size();
    while (i < doc.size()) {
        const char c = doc[i];
        if (c == '"' || c == '\'') {
            const std::size_t close = doc.find(c, i + 1);
            i = close == std::string_view::npos ? doc.size() : close + 1;
        } else if (inSubset && doc.substr(i).starts_with("<!--")) {
            i = std::min(findOrEnd("-->", i + 4) + 3, doc.size());
        } else if (inSubset && doc.substr(i).starts_with("<!ENTITY")) {
            declareEntity(i + 8);
            i += 8;
        } else if (!inSubset && c == '[') {
            inSubset = true;
            ++i;
        } else if (inSubset && c == ']') {
            inSubset = false;
            ++i;
        } else if (!inSubset && c == '>') {
            end = i;
            break;
        } else {
            ++i;
        }
    }
    m_pos = std::min(end + 1, doc.size());
    m_type = XmlPartType::Doctype;
    m_text = decode(trimmed(doc.substr(begin, end - begin)));
}

void XmlParser::declareEntity(std::size_t at) {
    const std::string_view doc = m_doc;
    std::size_t i = at;
    while (i < doc.size() && isXmlSpace(doc[i]))
        ++i;
    if (i >= doc.size() || doc[i] == '%')
        return; // parameter entities are not expanded
    const std::size_t nameBegin = i;
    while (i < doc.size() && !isXmlSpace(doc[i]) && doc[i] != '"' && doc[i] != '\'' &&
           doc[i] != '>')
        ++i;
    const std::string_view name = doc.substr(nameBegin, i - nameBegin);
    while (i < doc.size() && isXmlSpace(doc[i]))
        ++i;
    if (name.empty() || i >= doc.size() || (doc[i] != '"' && doc[i] != '\''))
        return; // external entities are not read
    const std::size_t close = doc.find(doc[i], i + 1);
    if (close == std::string_view::npos)
        return;
    // The first declaration of a name binds; a value may use character references and
    // the predefined entities but no other declared entity.
    if (m_entities.find(name) == m_entities.end())
        m_entities.emplace(std::string(name),
                           expandReferences(doc.substr(i + 1, close - i - 1), false));
}

void XmlParser::scanCData() {
    const std::size_t begin = m_pos + 9; // after "<![CDATA["
    const std::size_t end = findOrEnd("]]>", begin);
    m_pos = std::min(end + 3, m_doc.size());
    m_type = XmlPartType::CData;
    m_name = m_lastTagName;
    m_text = decode(std::string_view(m_doc).substr(begin, end - begin));
}

void XmlParser::scanTag() {
    const std::size_t begin = m_pos + 1; // after "<"
    const std::size_t close = m_doc.find('>', begin);
    const bool closed = close != std::string::npos;
    const std::size_t end = closed ? close : m_doc.size();
    m_pos = closed ? close + 1 : m_doc.size();
    const std::string_view inner = std::string_view(m_doc).substr(begin, end - begin);

    const bool isEnd = inner.starts_with('/');
    std::size_t nameEnd = isEnd ? 1 : 0;
    while (nameEnd < inner.size() && !isXmlSpace(inner[nameEnd]) && inner[nameEnd] != '/')
        ++nameEnd;
    const std::size_t nameBegin = isEnd ? 1 : 0;
    const bool isEmpty = !isEnd && closed && inner.ends_with('/');

    m_type = isEnd ? XmlPartType::EndTag : isEmpty ? XmlPartType::EmptyTag : XmlPartType::StartTag;
    m_name = decode(inner.substr(nameBegin, nameEnd - nameBegin));
    m_lastTagName = m_name;
    if (!isEnd) {
        std::string_view region = inner.substr(nameEnd);
        if (isEmpty)
            region.remove_suffix(1);
        parseAttributes(region);
    }
}

void XmlParser::parseAttributes(std::string_view region) {
    std::size_t i = 0;
    const std::size_t n = region.size();
    while (i < n) {
        while (i < n && isXmlSpace(region[i]))
            ++i;
        if (i >= n)
            break;
        const std::size_t nameBegin = i;
        while (i < n && !isXmlSpace(region[i]) && region[i] != '=')
            ++i;
        const std::string_view name = region.substr(nameBegin, i - nameBegin);
        while (i < n && isXmlSpace(region[i]))
            ++i;
        std::string_view value;
        if (i < n && region[i] == '=') {
            ++i;
            while (i < n && isXmlSpace(region[i]))
                ++i;
            if (i < n && (region[i] == '"' || region[i] == '\'')) {
                const std::size_t quote = region.find(region[i], i + 1);
                const std::size_t valueEnd = quote == std::string_view::npos ? n : quote;
                value = region.substr(i + 1, valueEnd - i - 1);
                i = quote == std::string_view::npos ? n : quote + 1;
            } else {
                const std::size_t valueBegin = i;
                while (i < n && !isXmlSpace(region[i]))
                    ++i;
                value = region.substr(valueBegin, i - valueBegin);
            }
        }
        if (!name.empty())
            m_attributes.push_back({decode(name), expandReferences(value, true)});
    }
}

bool XmlParser::scanText() {
    const std::size_t end = findOrEnd("<", m_pos);
    const std::string_view raw = std::string_view(m_doc).substr(m_pos, end - m_pos);
    m_pos = end;
    std::string text = normalized(expandReferences(raw, true));
    if (text.empty())
        return false;
    m_type = XmlPartType::Text;
    m_name = m_lastTagName;
    m_text = std::move(text);
    return true;
}

void XmlParser::appendDecodedChar(std::string& out, std::string_view raw, std::size_t& i) const {
    const auto byte = static_cast<unsigned char>(raw[i]);
    if (byte < 0x80) {
        out += char(byte);
        ++i;
    } else if (!m_utf8) {
        appendUtf8(out, windows1252ToUnicode(byte));
        ++i;
    } else {
        const char32_t cp = decodeUtf8(raw, i);
        if (isInWindows1252(cp))
            appendUtf8(out, cp);
        else
            out += kInvertedQuestionMark; // also for malformed UTF-8 (U+FFFD)
    }
}

std::string XmlParser::decode(std::string_view raw) const {
    std::string out;
    out.reserve(raw.size());
    std::size_t i = 0;
    while (i < raw.size())
        appendDecodedChar(out, raw, i);
    return out;
}

std::string XmlParser::expandReferences(std::string_view raw, bool withDeclaredEntities) {
    std::string out;
    out.reserve(raw.size());
    std::size_t i = 0;
    while (i < raw.size()) {
        if (raw[i] != '&') {
            appendDecodedChar(out, raw, i);
            continue;
        }
        const std::size_t semicolon = raw.find(';', i + 1);
        if (semicolon == std::string_view::npos) {
            ++i; // an "&" that can start no reference is dropped
            continue;
        }
        if (auto replacement =
                resolveReference(raw.substr(i + 1, semicolon - i - 1), withDeclaredEntities)) {
            out += *replacement;
            i = semicolon + 1;
        } else {
            out += '&';
            ++i;
        }
    }
    return out;
}

std::optional<std::string> XmlParser::resolveReference(std::string_view name, bool withDeclared) {
    if (name == "lt")
        return "<";
    if (name == "gt")
        return ">";
    if (name == "amp")
        return "&";
    if (name == "apos")
        return "'";
    if (name == "quot")
        return "\"";
    if (name.starts_with('#'))
        return characterReference(name);
    if (!withDeclared)
        return std::nullopt;
    const auto found = m_entities.find(name);
    if (found == m_entities.end())
        return std::nullopt;
    if (found->second.size() > kEntityExpansionLimit - m_entityBytesExpanded)
        return std::nullopt;
    m_entityBytesExpanded += found->second.size();
    return found->second;
}

} // namespace tb
