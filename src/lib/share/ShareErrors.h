#pragma once
// The failures of talking to the shared world's server. Each message is the server's own,
// or names what was refused.

#include <stdexcept>
#include <string>

namespace tb {

// A statement the server refused, or a reply this program cannot read. `sqlState` is the
// server's five-character code ("23505"), empty for failures found on this side.
class ShareError : public std::runtime_error {
public:
    explicit ShareError(const std::string& message, std::string sqlState = {})
        : std::runtime_error(message), m_sqlState(std::move(sqlState)) {}
    const std::string& sqlState() const { return m_sqlState; }

private:
    std::string m_sqlState;
};

// The server cannot be reached, or the connection broke. A statement under way when it broke
// may or may not have been committed; strokes are committed again from the journal, where
// the server recognises one it already holds.
class ConnectionLost : public ShareError {
public:
    using ShareError::ShareError;
};

// The server refused a write the role has no right to: a read-only role, or a block outside
// the role's regions.
class WriteRefused : public ShareError {
public:
    using ShareError::ShareError;
};

// An import into a facet the shared world holds already, without leave to replace it.
class FacetExists : public ShareError {
public:
    using ShareError::ShareError;
};

} // namespace tb
