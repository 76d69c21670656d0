#include "share/ConnectionUri.h"

#include <algorithm>
#include <cctype>

namespace tb {
namespace {

constexpr std::string_view kMask = "***";

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool isUri(std::string_view text) {
    return startsWith(text, "postgresql://") || startsWith(text, "postgres://");
}

std::string lowerCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
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

// `text` with its %XX escapes decoded; malformed ones are kept as they are.
std::string percentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            out += char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

void addPassword(std::vector<std::string>& passwords, std::string_view written) {
    if (written.empty())
        return;
    passwords.emplace_back(written);
    if (std::string decoded = percentDecoded(written); decoded != written && !decoded.empty())
        passwords.push_back(std::move(decoded));
}

// The value of each "password=" in a keyword string, quoted ('...' with \ escapes) or not.
void keywordPasswords(std::string_view text, std::vector<std::string>& passwords) {
    const std::string lower = lowerCase(text);
    for (std::size_t at = lower.find("password"); at != std::string::npos;
         at = lower.find("password", at + 1)) {
        std::size_t i = at + 8;
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        if (i >= text.size() || text[i] != '=')
            continue;
        ++i;
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        std::string value;
        if (i < text.size() && text[i] == '\'') {
            // Both forms: as written between the quotes, and with its escapes read.
            const std::size_t start = ++i;
            for (; i < text.size() && text[i] != '\''; ++i) {
                if (text[i] == '\\' && i + 1 < text.size())
                    ++i;
                value += text[i];
            }
            addPassword(passwords, text.substr(start, i - start));
        } else {
            const std::size_t start = i;
            while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])))
                ++i;
            value = std::string(text.substr(start, i - start));
        }
        addPassword(passwords, value);
    }
}

// Whether text[at, at + length) stands as a whole password: between delimiters that mark
// one in a URI, a keyword string or a quoted token.
bool standsAlone(const std::string& text, std::size_t at, std::size_t length) {
    const auto before = at == 0 ? '"' : text[at - 1];
    const auto after = at + length >= text.size() ? '"' : text[at + length];
    return std::string_view("\"':=").find(before) != std::string_view::npos &&
           std::string_view("\"'@& \r\n").find(after) != std::string_view::npos;
}

void replaceAll(std::string& text, std::string_view what, std::string_view with, bool wholeOnly) {
    for (std::size_t at = text.find(what); at != std::string::npos;) {
        if (wholeOnly && !standsAlone(text, at, what.size())) {
            at = text.find(what, at + 1);
            continue;
        }
        text.replace(at, what.size(), with);
        at = text.find(what, at + with.size());
    }
}

} // namespace

std::string connectionUriProblem(std::string_view uri) {
    const std::string example = "postgresql://user@host/database";
    if (uri.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return "no connection URI was given: give one as " + example;
    if (isUri(uri))
        return {};
    const std::string shown = "\"" + hidePasswords(std::string(uri), uri) + "\"";
    if (uri.find("://") != std::string_view::npos)
        return shown +
               " is no connection URI: a shared world is reached by a URI that begins "
               "with postgresql://, as " +
               example;
    if (uri.find('=') != std::string_view::npos)
        return {}; // libpq's keyword settings
    return shown + " is no connection URI: give one as " + example +
           " (or libpq settings such as \"host=... dbname=...\")";
}

std::vector<std::string> uriPasswords(std::string_view uri) {
    std::vector<std::string> passwords;
    const std::size_t scheme = uri.find("://");
    if (scheme == std::string_view::npos) {
        keywordPasswords(uri, passwords);
        return passwords;
    }
    const std::size_t start = scheme + 3;
    const std::size_t query = uri.find('?', start);
    const std::string_view beforeQuery =
        uri.substr(start, query == std::string_view::npos ? std::string_view::npos : query - start);
    // "user:password@": up to the last '@' before the query, so that a password holding an
    // '@' or a '/' that was not escaped is found whole.
    if (const std::size_t at = beforeQuery.rfind('@'); at != std::string_view::npos) {
        const std::string_view userInfo = beforeQuery.substr(0, at);
        if (const std::size_t colon = userInfo.find(':'); colon != std::string_view::npos)
            addPassword(passwords, userInfo.substr(colon + 1));
    }
    if (query != std::string_view::npos) {
        std::string_view rest = uri.substr(query + 1);
        while (!rest.empty()) {
            const std::size_t amp = rest.find('&');
            const std::string_view pair = rest.substr(0, amp);
            if (const std::size_t eq = pair.find('=');
                eq != std::string_view::npos && lowerCase(pair.substr(0, eq)) == "password")
                addPassword(passwords, pair.substr(eq + 1));
            rest.remove_prefix(amp == std::string_view::npos ? rest.size() : amp + 1);
        }
    }
    return passwords;
}

std::string hidePasswords(std::string text, std::string_view uri,
                          const std::vector<std::string>& others) {
    std::vector<std::string> passwords = uriPasswords(uri);
    passwords.insert(passwords.end(), others.begin(), others.end());
    // Longer first, so that a password holding a shorter one is hidden whole.
    std::sort(passwords.begin(), passwords.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& password : passwords)
        if (!password.empty() && password != kMask)
            replaceAll(text, password, kMask, password.size() < 4);
    return text;
}

} // namespace tb
