#pragma once
// A number read once from a text, where the text is typed or loaded, together with the
// failure that reading ended in. Whoever needs the number later calls get(), which raises
// that failure at that moment: a box holding "abc" fails the click that uses it, not the
// key that typed it, and nothing reads the text again.

#include "shell/Errors.h"

#include <string>
#include <utility>

namespace tb {

template <typename T> class CheckedValue {
public:
    // A number that was read.
    CheckedValue(T value) : m_value(value) {}

    // A text that is no number: get() throws ConversionError with `message`.
    static CheckedValue notANumber(std::string message) {
        CheckedValue failed;
        failed.m_failure = Failure::NotANumber;
        failed.m_message = std::move(message);
        return failed;
    }
    // A number its destination cannot hold: get() throws RangeError.
    static CheckedValue outOfRange() {
        CheckedValue failed;
        failed.m_failure = Failure::OutOfRange;
        return failed;
    }

    bool ok() const { return m_failure == Failure::None; }

    // The number, or the failure of its reading thrown now.
    T get() const {
        if (m_failure == Failure::None)
            return m_value;
        if (m_failure == Failure::OutOfRange)
            throw RangeError();
        throw ConversionError(m_message);
    }

    friend bool operator==(const CheckedValue&, const CheckedValue&) = default;

private:
    enum class Failure : unsigned char { None, NotANumber, OutOfRange };

    CheckedValue() = default;

    T m_value{};
    Failure m_failure = Failure::None;
    std::string m_message;
};

} // namespace tb
