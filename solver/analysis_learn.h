// A second complete analysis, built as a conflict-driven clause-learning
// search: the puzzle as Boolean variables (a cell is black; a cell belongs to
// the area of a clue), a few clauses, and propagators for what clauses say
// badly (area sizes and reach, black connectivity) that explain each of their
// conclusions by the literals it rests on, so that every dead end is learnt as
// a clause over the choices that caused it. Same answers as Analyze.
#pragma once

#include "analysis.h"

namespace ombrix {

// As Analyze: the verdict, up to two solutions and the cells where they
// differ. `nodes` counts decisions and probes; it runs on the calling thread
// whatever `limits.threads` says, and names itself "learning" in `engine`.
AnalysisResult AnalyzeByLearning(const Board& puzzle, const AnalysisLimits& limits = {});

namespace learn {
class Exchange;
}
// One of several learning searches at once over the same puzzle, each on its
// own thread, that pass each other their solutions, units and short clauses
// through `exchange` (see analysis_learn_exchange.h); `style` (0 or 1, one
// each) makes them search differently, and style 1 splits the space between
// them as it starts. Each verdict is proven as above.
AnalysisResult AnalyzeByLearning(const Board& puzzle, const AnalysisLimits& limits,
                                 learn::Exchange& exchange, int style);

} // namespace ombrix
