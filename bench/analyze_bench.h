// The analysis benchmark behind `ombrix-bench --analyze`.
#pragma once

#include "board.h"

#include <string>

namespace ombrix {

// Prints the timings (wall-clock); `limit` bounds each analysis in seconds,
// which runs on `threads` threads; `learning` times AnalyzeByLearning (one
// thread) instead of Analyze; `clingoTwo` also times clingo on two threads,
// which is much slower on some puzzles. Returns the exit status.
int RunAnalyzeBench(const std::string& corpus, int runs, double limit, bool withClingo,
                    int threads = 2, bool learning = false, bool clingoTwo = false);

// Whether two boards have the same black cells.
bool SameColours(const Board& a, const Board& b);

// ombrix-bench --learn-check: AnalyzeByLearning (alone, and two that share what
// they learn) against Analyze on the corpus
// and on `seeds` generated boards (learn_check.cpp).
int RunLearnCheck(const std::string& corpus, int seeds, double limit);

} // namespace ombrix
