#include "shell/NumberText.h"

#include "shell/Errors.h"
#include "shell/MessageText.h"

namespace tb {

std::string notAnIntegerMessage(std::string_view text) {
    return "'" + messageExcerpt(text) + "' is not a valid integer value";
}

std::optional<std::int32_t> tryStrToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && text[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size())
        return std::nullopt;
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * (hex ? 16 : 10) + std::uint64_t(digit);
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
    }
    std::int64_t result;
    if (hex) {
        // Hexadecimal texts name the 32-bit pattern, as the dialogs write them.
        result = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
        if (negative)
            result = -result;
        if (result < INT32_MIN || result > INT32_MAX)
            return std::nullopt;
    } else {
        result = negative ? -std::int64_t(value) : std::int64_t(value);
        if (result < INT32_MIN || result > INT32_MAX)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(result);
}

std::int32_t strToInt(std::string_view text) {
    if (const auto v = tryStrToInt(text))
        return *v;
    throw ConversionError(notAnIntegerMessage(text));
}

CheckedValue<std::int32_t> checkedStrToInt(std::string_view text) {
    if (const auto v = tryStrToInt(text))
        return *v;
    return CheckedValue<std::int32_t>::notANumber(notAnIntegerMessage(text));
}

} // namespace tb
