#pragma once
// A small pull scanner for the editor's XML lists (tile groups, bookmarks). The caller
// loads a whole document, then asks for one part after the other (prolog, tag, text, ...)
// and looks at the current part's kind, name and text. No tree is built and nothing is
// validated: malformed markup never raises an error, an unclosed tag, comment or CDATA
// section simply runs to the end of the document.
//
// Text handling, which the list readers rely on:
// - Text parts have references replaced: lt, gt, amp, apos, quot, decimal (&#65;) and
//   hexadecimal (&#x41;) character references, and general entities declared in the
//   document type's internal subset. A character reference whose character Windows-1252
//   lacks (or that names no character at all) gives "¿". An "&" with no ";" after it in
//   the same text is dropped; any other "&" that does not start a known reference (an
//   unknown entity name, a malformed character reference, a stray ampersand) is kept as
//   it stands, with the text after it.
// - Text is trimmed of blanks, tabs, CR and LF at both ends and every inner run of them
//   becomes one blank; text that is then empty is not reported at all.
// - The name of a text or CDATA part is the name of the tag scanned last (the start tag of
//   the enclosing element, or the end tag of the element just closed).
// - CDATA content is delivered as it stands, only decoded.
// - Decoding: while the document encoding is UTF-8 (the default, and always when the file
//   starts with a UTF-8 byte-order mark, which is skipped) characters that Windows-1252
//   lacks, and malformed UTF-8, become "¿". A prolog that declares another encoding makes
//   the bytes after it Windows-1252. Every string handed out is UTF-8.

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

enum class XmlPartType {
    None,                  // before the first part, and after the last
    Prolog,                // <?xml ... ?>
    Comment,               // <!-- ... -->
    ProcessingInstruction, // <?target ... ?>
    Doctype,               // <!DOCTYPE ... >
    StartTag,              // <name ...>
    EmptyTag,              // <name .../>
    EndTag,                // </name>
    Text,                  // character data between tags
    CData,                 // <![CDATA[ ... ]]>
};

struct XmlAttribute {
    std::string name;
    std::string value; // references replaced, not normalised

    bool operator==(const XmlAttribute&) const = default;
};

class XmlParser {
public:
    XmlParser() = default;

    // Reads the whole file into memory and restarts the scan. Returns false when it cannot
    // be read; the document is then empty and a scan yields no parts.
    bool loadFile(const std::filesystem::path& path);

    // Takes a document from memory (file bytes) and restarts the scan.
    void loadFromBytes(std::string_view bytes);

    // Puts the scan before the first part: kind None, empty name and text, no attributes.
    void restart();

    // Moves to the next part and returns true, or returns false at the end of the document
    // (the current part is then None again).
    bool nextPart();

    XmlPartType partType() const { return m_type; }
    // Tags: the element name as written. Text and CDATA: the name of the tag scanned last.
    // Prolog: "xml". Processing instruction: its target. Doctype: the root element name.
    const std::string& partName() const { return m_name; }
    // Text and CDATA: the character data (see above). Comment, processing instruction,
    // prolog and doctype: their raw content. Tags: empty.
    const std::string& partText() const { return m_text; }
    // Start tags, empty-element tags and the prolog: the attributes in document order.
    const std::vector<XmlAttribute>& attributes() const { return m_attributes; }
    // The value of the current part's attribute `name`, if it has one.
    std::optional<std::string> attribute(std::string_view name) const;
    // The line on which the current part starts, from 1 (CR LF, LF and a lone CR each end a
    // line), so a reader can say where a value it refuses stands; 0 before the first part.
    std::size_t partLine() const;

private:
    void clearPart();
    void scanProlog();
    void scanProcessingInstruction();
    void scanComment();
    void scanDoctype();
    void scanCData();
    void scanTag();
    bool scanText();

    // Finds `what` from `from`; gives the end of the document when it is missing.
    std::size_t findOrEnd(std::string_view what, std::size_t from) const;
    void parseAttributes(std::string_view region);
    void setEncoding(std::string_view name);
    void declareEntity(std::size_t at);

    // Raw document bytes to UTF-8, by the document encoding.
    std::string decode(std::string_view raw) const;
    void appendDecodedChar(std::string& out, std::string_view raw, std::size_t& i) const;
    // decode() plus reference replacement.
    std::string expandReferences(std::string_view raw, bool withDeclaredEntities);
    std::optional<std::string> resolveReference(std::string_view name, bool withDeclared);

    std::string m_doc;
    std::size_t m_start = 0; // after a byte-order mark
    std::size_t m_pos = 0;
    bool m_hasBom = false;
    std::size_t m_partStart = 0; // where the current part begins
    // Lines are counted on demand, onwards from the last count, as parts only move forward.
    mutable std::size_t m_countedTo = 0;
    mutable std::size_t m_linesBefore = 0; // line ends before m_countedTo

    XmlPartType m_type = XmlPartType::None;
    std::string m_name;
    std::string m_text;
    std::vector<XmlAttribute> m_attributes;
    std::string m_lastTagName;

    std::string m_encoding = "UTF-8";
    bool m_utf8 = true;
    std::map<std::string, std::string, std::less<>> m_entities;
    std::size_t m_entityBytesExpanded = 0;
};

} // namespace tb
