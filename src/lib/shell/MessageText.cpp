#include "shell/MessageText.h"

namespace tb {

std::string messageExcerpt(std::string_view text) {
    std::size_t keep = text.size();
    if (keep > kMessageExcerptLength) {
        keep = kMessageExcerptLength;
        // Back to the first byte of a character, so the excerpt stays valid UTF-8.
        while (keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80)
            --keep;
    }
    std::string out;
    out.reserve(keep + 8);
    for (const char c : text.substr(0, keep)) {
        if (c == '\0')
            out += "\\0";
        else
            out += c;
    }
    if (keep < text.size())
        out += "...";
    return out;
}

} // namespace tb
