#pragma once
// The runs of a benchmark program kept by name, for the ratios it prints after its table
// (each ratio compares two runs measured in the same process on the same machine).

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace tbbench {

class RunCollector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& report) override {
        for (const Run& r : report)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0) {
                m_runs[r.benchmark_name()] = r;
                // Of repeated runs, the fastest is the one least disturbed by other work.
                auto [it, fresh] = m_fastest.try_emplace(r.benchmark_name(), r);
                if (!fresh && perIteration(r.real_accumulated_time, r) <
                                  perIteration(it->second.real_accumulated_time, it->second))
                    it->second = r;
            }
        ConsoleReporter::ReportRuns(report);
    }

    // Seconds per iteration of the fastest repetition of `name` (wall and CPU time of that
    // same repetition); -1 when it did not run.
    double fastestWallSeconds(const std::string& name) const {
        const Run* r = find(m_fastest, name);
        return r ? perIteration(r->real_accumulated_time, *r) : -1.0;
    }
    double fastestCpuSeconds(const std::string& name) const {
        const Run* r = find(m_fastest, name);
        return r ? perIteration(r->cpu_accumulated_time, *r) : -1.0;
    }

    // Seconds per iteration of the run called `name`, or whose name is `name` followed by
    // "/..." (names carry suffixes such as "/min_time:2.000"); -1 when it did not run.
    double wallSeconds(const std::string& name) const {
        const Run* r = find(name);
        return r ? r->real_accumulated_time / double(r->iterations) : -1.0;
    }
    // CPU time: steadier than wall time on a shared machine, which waits for a core.
    double cpuSeconds(const std::string& name) const {
        const Run* r = find(name);
        return r ? r->cpu_accumulated_time / double(r->iterations) : -1.0;
    }
    bool ran(const std::string& name) const { return find(name) != nullptr; }

    // a / b, or -1 when either did not run.
    double wallRatio(const std::string& a, const std::string& b) const {
        return ratio(wallSeconds(a), wallSeconds(b));
    }
    double cpuRatio(const std::string& a, const std::string& b) const {
        return ratio(cpuSeconds(a), cpuSeconds(b));
    }
    // The same from the fastest repetition of each.
    double fastestWallRatio(const std::string& a, const std::string& b) const {
        return ratio(fastestWallSeconds(a), fastestWallSeconds(b));
    }
    double fastestCpuRatio(const std::string& a, const std::string& b) const {
        return ratio(fastestCpuSeconds(a), fastestCpuSeconds(b));
    }

private:
    const Run* find(const std::string& name) const { return find(m_runs, name); }
    static const Run* find(const std::map<std::string, Run>& runs, const std::string& name) {
        for (const auto& [runName, run] : runs)
            if (runName == name || runName.rfind(name + "/", 0) == 0)
                return &run;
        return nullptr;
    }
    static double perIteration(double seconds, const Run& r) {
        return seconds / double(r.iterations);
    }
    static double ratio(double a, double b) { return a > 0 && b > 0 ? a / b : -1.0; }

    std::map<std::string, Run> m_runs;
    std::map<std::string, Run> m_fastest;
};

} // namespace tbbench
