#pragma once
// What this program takes as the address of a shared world (a libpq connection URI, or a
// libpq keyword string), and the passwords such an address may carry, which no message,
// log line or status text ever shows.

#include <string>
#include <string_view>
#include <vector>

namespace tb {

// Why `uri` is no address of a shared world: empty, or neither a URI beginning with
// postgresql:// (or postgres://) nor keyword settings ("host=... dbname=..."), which libpq
// would take as the name of a database on the local socket. Empty when it is one. Any
// password in it is shown as "***".
std::string connectionUriProblem(std::string_view uri);

// The passwords `uri` holds: the one of "user:password@" and those of "password=" settings
// (in a URI's query or a keyword string), as written and, where that differs, decoded.
// Generous rather than exact, so that a malformed URI's password is found too.
std::vector<std::string> uriPasswords(std::string_view uri);

// `text` with every password of `uri`, and each of `others`, shown as "***". A password of
// fewer than 4 characters is replaced only where it stands as a whole (between quotes, or
// after ":" or "=" and before "@", "&", a blank or the end), so that a message stays readable.
std::string hidePasswords(std::string text, std::string_view uri,
                          const std::vector<std::string>& others = {});

} // namespace tb
