// The analysis benchmark behind `ombrix-bench --analyze`.
#pragma once

#include <string>

namespace ombrix {

// Prints the timings (wall-clock); `limit` bounds each analysis in seconds,
// which runs on `threads` threads. Returns the exit status.
int RunAnalyzeBench(const std::string& corpus, int runs, double limit, bool withClingo,
                    int threads = 2);

} // namespace ombrix
