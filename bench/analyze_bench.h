// The analysis benchmark behind `ombrix-bench --analyze`.
#pragma once

#include <string>

namespace ombrix {

// Prints the timings; `limit` bounds each analysis in seconds. Returns the
// exit status.
int RunAnalyzeBench(const std::string& corpus, int runs, double limit, bool withClingo);

} // namespace ombrix
