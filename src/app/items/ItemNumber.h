#pragma once
#include <QString>

#include <optional>

namespace tbapp {

// "$1A2B", "0x1a2b" or decimal, as the browser's filter reads ids.
inline std::optional<long> parseItemNumber(QString text) {
    text = text.trimmed();
    bool ok = false;
    long value = 0;
    if (text.startsWith('$'))
        value = text.mid(1).toLong(&ok, 16);
    else if (text.startsWith("0x", Qt::CaseInsensitive))
        value = text.mid(2).toLong(&ok, 16);
    else
        value = text.toLong(&ok, 10);
    return ok ? std::optional<long>(value) : std::nullopt;
}

} // namespace tbapp
