#include "editor/ViewSettings.h"

#include "shell/Errors.h"
#include "shell/NumberText.h"

namespace tb {

std::int32_t parseStoredDecimal(std::string_view text) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos == text.size())
        throw ConversionError(notAnIntegerMessage(text));
    long long value = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c < '0' || c > '9')
            throw ConversionError(notAnIntegerMessage(text));
        value = value * 10 + (c - '0');
        if (value > 2147483648LL)
            throw ConversionError(notAnIntegerMessage(text));
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        throw ConversionError(notAnIntegerMessage(text));
    return static_cast<std::int32_t>(value);
}

} // namespace tb
