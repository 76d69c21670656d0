#pragma once
// The failures that end a user's command: conversions of typed or stored texts, and file
// operations. Windows catch them at the top of an event and show the message.

#include <stdexcept>
#include <string>

namespace tb {

// A text that is not the number (or spaced hex) the caller asked for.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file that cannot be opened, read or written; the message names the file.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value outside the range its destination can hold ("Range check error").
class RangeError : public std::runtime_error {
public:
    RangeError() : std::runtime_error("Range check error") {}
};

} // namespace tb
