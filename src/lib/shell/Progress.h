#pragma once
// How a long operation tells how far it is, and learns that it should stop. Every long
// operation of the library (load, save, patch, diff, enlargement, copy, heightmaps, statics,
// pictures) takes one: the editor shows it in a progress window with a Cancel button, tbmap
// on the terminal, tests record it or stop the work at a chosen step.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tb {

class Progress {
public:
    virtual ~Progress() = default;
    // `done` of `total` units of the current stage are done; `caption` is the stage's text
    // as a progress window shows it (it may change with every step, "Copying ... (42%)").
    // Called from the thread that runs the operation.
    virtual void report(std::string_view caption, std::int64_t done, std::int64_t total) = 0;
    // True once the operation has been asked to stop; may be asked from any thread.
    virtual bool stopRequested() const { return false; }
};

// Thrown by an operation that stopped because it was asked to. Nothing it would have
// written was written: its atomic writes were not committed, and its message says so.
class OperationStopped : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reports nowhere and never asks to stop, for callers that show no progress.
Progress& noProgress();

// Reports the step, then throws OperationStopped with `stoppedMessage` when the operation
// was asked to stop. The check between units of work of every long operation.
void reportStep(Progress& progress, std::string_view caption, std::int64_t done, std::int64_t total,
                const std::string& stoppedMessage);

// Throws OperationStopped with `stoppedMessage` when the operation was asked to stop, for
// operations that report more often than they can stop (several steps per unit of work).
void stopIfRequested(const Progress& progress, const std::string& stoppedMessage);

} // namespace tb
