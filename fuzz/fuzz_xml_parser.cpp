// The XML pull scanner over arbitrary documents: every string it hands out must be valid
// UTF-8, and no text part is empty.
#include "FuzzSupport.h"

#include "shell/TextCodec.h"
#include "shell/XmlParser.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tb::XmlParser parser;
    parser.loadFromBytes(bytes);
    std::size_t parts = 0;
    while (parser.nextPart()) {
        tbfuzz::check(parser.partType() != tb::XmlPartType::None, "part kind None mid-scan");
        tbfuzz::check(tb::isValidUtf8(parser.partName()), "part name not UTF-8");
        tbfuzz::check(tb::isValidUtf8(parser.partText()), "part text not UTF-8");
        for (const tb::XmlAttribute& a : parser.attributes()) {
            tbfuzz::check(tb::isValidUtf8(a.name) && tb::isValidUtf8(a.value),
                          "attribute not UTF-8");
            tbfuzz::check(parser.attribute(a.name).has_value(), "attribute lookup");
        }
        if (parser.partType() == tb::XmlPartType::Text)
            tbfuzz::check(!parser.partText().empty(), "empty normalised text reported");
        ++parts;
        // Every part consumes at least one byte.
        tbfuzz::check(parts <= size + 1, "scan does not advance");
    }
    tbfuzz::check(parser.partType() == tb::XmlPartType::None, "end not None");
    tbfuzz::check(!parser.nextPart(), "part after the end");
    return 0;
}
