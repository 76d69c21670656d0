#include "shell/TextSplit.h"

#include "shell/NumberText.h"

namespace tb {
namespace {

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

// Walks `text` as splitText does, calling `piece(text, isLast)` for each piece until it
// returns false. Returns true when the walk reached the end.
template <typename Piece>
bool walkPieces(std::string_view separator, std::string_view text, Piece piece) {
    if (!separator.empty()) {
        for (std::size_t at = text.find(separator); at != std::string_view::npos;
             at = text.find(separator)) {
            if (!piece(text.substr(0, at), false))
                return false;
            text.remove_prefix(at + separator.size());
        }
    }
    return piece(trimRight(text), true);
}

} // namespace

std::vector<std::string> splitText(std::string_view separator, std::string_view text) {
    std::vector<std::string> pieces;
    walkPieces(separator, text, [&](std::string_view p, bool) {
        pieces.emplace_back(p);
        return true;
    });
    return pieces;
}

bool splitIntTriple(std::string_view separator, std::string_view text, int& first, int& second,
                    int& third) {
    bool isFirst = true;
    return walkPieces(separator, text, [&](std::string_view p, bool isLast) {
        const auto value = tryStrToInt(p);
        if (!value)
            return false;
        if (isLast)
            third = *value;
        else if (isFirst)
            first = *value;
        else
            second = *value;
        isFirst = false;
        return true;
    });
}

} // namespace tb
