#include "shell/Progress.h"

namespace tb {
namespace {

class SilentProgress : public Progress {
public:
    void report(std::string_view, std::int64_t, std::int64_t) override {}
};

} // namespace

Progress& noProgress() {
    static SilentProgress silent;
    return silent;
}

void reportStep(Progress& progress, std::string_view caption, std::int64_t done, std::int64_t total,
                const std::string& stoppedMessage) {
    progress.report(caption, done, total);
    stopIfRequested(progress, stoppedMessage);
}

void stopIfRequested(const Progress& progress, const std::string& stoppedMessage) {
    if (progress.stopRequested())
        throw OperationStopped(stoppedMessage);
}

} // namespace tb
