// The analysis benchmark behind `ombrix-bench --analyze`.
#pragma once

#include <string>

namespace ombrix {

// Prints the timings; `limit` bounds each analysis in seconds; `learning`
// times AnalyzeByLearning instead of Analyze. Returns the exit status.
int RunAnalyzeBench(const std::string& corpus, int runs, double limit, bool withClingo,
                    bool learning = false);

// ombrix-bench --learn-check: AnalyzeByLearning against Analyze on the corpus
// and on `seeds` generated boards (learn_check.cpp).
int RunLearnCheck(const std::string& corpus, int seeds, double limit);

} // namespace ombrix
