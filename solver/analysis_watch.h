// How a search of the analysis looks at the caller's limits: the cancel flag
// and the node limit at every look, the clock and the progress report (at
// most every 50 ms) at every 64th.
#pragma once

#include "analysis.h"

#include <chrono>
#include <cstdint>

namespace ombrix {

struct LimitWatch {
    using Clock = std::chrono::steady_clock;
    Clock::time_point start, lastReport;
    std::uint64_t ticks = 0;

    void begin() { start = lastReport = Clock::now(); }
    double seconds() const { return std::chrono::duration<double>(Clock::now() - start).count(); }

    // True when the search must stop now.
    bool due(const AnalysisLimits& limits, std::uint64_t nodes, int depth) {
        if (limits.cancel && limits.cancel->load(std::memory_order_relaxed)) return true;
        if (limits.maxNodes && nodes >= limits.maxNodes) return true;
        if ((++ticks & 63) != 0) return false;
        const auto now = Clock::now();
        if (limits.seconds > 0 &&
            std::chrono::duration<double>(now - start).count() >= limits.seconds)
            return true;
        if (limits.observer && now - lastReport >= std::chrono::milliseconds(50)) {
            lastReport = now;
            limits.observer->progress(nodes, depth);
        }
        return false;
    }
};

} // namespace ombrix
