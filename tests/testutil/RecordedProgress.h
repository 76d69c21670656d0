#pragma once
// A progress that keeps every report of a run, and can play the user who presses Cancel:
// from a chosen report on, it asks the run to stop.

#include "shell/Progress.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace tbtest {

class RecordedProgress : public tb::Progress {
public:
    struct Step {
        std::string caption;
        std::int64_t done = 0;
        std::int64_t total = 0;
    };

    // `stopAtStep`: the run is asked to stop once this many reports have come (-1: never).
    explicit RecordedProgress(int stopAtStep = -1) : m_stopAt(stopAtStep) {}

    void report(std::string_view caption, std::int64_t done, std::int64_t total) override {
        steps.push_back({std::string(caption), done, total});
        ++m_reports;
    }
    bool stopRequested() const override { return m_stopAt >= 0 && m_reports >= m_stopAt; }

    // The done values of the reports, in order.
    std::vector<std::int64_t> done() const {
        std::vector<std::int64_t> values;
        for (const Step& step : steps)
            values.push_back(step.done);
        return values;
    }
    std::vector<std::string> captions() const {
        std::vector<std::string> texts;
        for (const Step& step : steps)
            texts.push_back(step.caption);
        return texts;
    }

    std::vector<Step> steps;

private:
    int m_stopAt;
    std::atomic<int> m_reports{0};
};

} // namespace tbtest
