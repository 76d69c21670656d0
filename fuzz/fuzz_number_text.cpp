// The integer reader: the throwing and the non-throwing form agree, and a value read
// reads back the same from its decimal and its "$" hex text.
#include "FuzzSupport.h"

#include "shell/Errors.h"
#include "shell/NumberText.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int32_t> quiet = tb::tryStrToInt(text);
    try {
        const std::int32_t value = tb::strToInt(text);
        tbfuzz::check(quiet && *quiet == value, "strToInt and tryStrToInt disagree");
        tbfuzz::check(tb::strToInt(std::to_string(value)) == value, "decimal round trip");
        char hex[16];
        std::snprintf(hex, sizeof hex, "$%X", static_cast<unsigned>(value));
        tbfuzz::check(tb::strToInt(hex) == value, "hex round trip");
    } catch (const tb::ConversionError& e) {
        tbfuzz::check(!quiet, "strToInt throws where tryStrToInt reads a value");
        // what() ends at a NUL character of the text, as the message would when shown.
        tbfuzz::check(std::strcmp(e.what(), tb::notAnIntegerMessage(text).c_str()) == 0,
                      "conversion message");
    }
    return 0;
}
