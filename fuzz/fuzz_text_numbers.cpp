// Spaced hex and the text splitters over arbitrary texts.
#include "FuzzSupport.h"

#include "shell/Errors.h"
#include "shell/SpacedHex.h"
#include "shell/TextSplit.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int byteCount = in.ConsumeIntegralInRange(0, 5);
    const std::string separator = in.ConsumeRandomLengthString(4);
    const std::string text = in.ConsumeRemainingBytesAsString();

    try {
        const std::int32_t value = tb::spacedHexToInt(text, byteCount);
        tbfuzz::check(byteCount >= 1 && byteCount <= 4, "byte count outside 1..4 accepted");
        const std::string shown = tb::intToSpacedHex(value, byteCount);
        tbfuzz::check(shown.size() == std::size_t(byteCount) * 3 - 1, "spaced hex length");
        tbfuzz::check(tb::spacedHexToInt(shown, byteCount) == value, "spaced hex round trip");
    } catch (const tb::ConversionError&) {
    } catch (const tb::RangeError&) {
        tbfuzz::check(byteCount < 1 || byteCount > 4, "RangeError for a valid byte count");
    }

    const std::vector<std::string> pieces = tb::splitText(separator, text);
    tbfuzz::check(!pieces.empty(), "splitText gives no piece");
    if (!separator.empty()) {
        std::size_t count = 0;
        for (std::size_t at = text.find(separator); at != std::string::npos;
             at = text.find(separator, at + separator.size()))
            ++count;
        tbfuzz::check(pieces.size() == count + 1, "splitText piece count");
        for (std::size_t i = 0; i + 1 < pieces.size(); ++i)
            tbfuzz::check(pieces[i].find(separator) == std::string::npos, "separator in piece");
    }

    int first = 11, second = 22, third = 33;
    tb::splitIntTriple(separator, text, first, second, third);
    return 0;
}
