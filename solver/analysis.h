// The complete analysis of a puzzle: does it have exactly one solution, none,
// or several? A search that branches on undecided cells and prunes each branch
// with its own propagation (areas and the cells each clue can still reach,
// black connectivity through articulation cells, the black count, 2 x 2
// blocks, diagonal contact), counting solutions up to two. It stands beside
// the automatic solver and never changes what that does; the grade of a
// unique puzzle comes from running the automatic solver with a trace.
#pragma once

#include "board.h"

#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

namespace ombrix {

enum class Verdict { None, Unique, Several, Stopped };

// "none", "unique", "several", "stopped".
const char* VerdictName(Verdict v);

// Told now and then while the search runs (from the searching thread).
struct AnalysisObserver {
    virtual ~AnalysisObserver() = default;
    virtual void progress(std::uint64_t nodes, int depth) = 0;
};

struct AnalysisLimits {
    double seconds = 0;         // 0: no time limit
    std::uint64_t maxNodes = 0; // 0: no node limit
    // Set from another thread to stop the search; it then ends with Stopped.
    const std::atomic<bool>* cancel = nullptr;
    AnalysisObserver* observer = nullptr;
    // 1: the searches take turns on the calling thread, and the same puzzle
    // always gives the same result. 2 or more: they run at once on threads of
    // their own (see analysis_portfolio.cpp), each with the node limit to
    // itself; the verdict is the same, but for Several the pair of solutions
    // may differ from run to run.
    int threads = 1;
};

struct AnalysisResult {
    Verdict verdict = Verdict::Stopped;
    // The solutions found (one for Unique, two for Several): the clues and
    // given black cells as in the puzzle, other black cells Black, white cells
    // AreaCellBase + the number of their area.
    int solutionCount = 0;
    Board solutions[2]{};
    // Cells (x, y) of different colour in the two solutions (Several only).
    std::vector<std::pair<int, int>> differing;
    std::uint64_t nodes = 0; // branches tried (by all the searches)
    double seconds = 0;      // wall-clock time
    // With threads >= 2: the name of the search that settled it (null when
    // none did).
    const char* engine = nullptr;
};

// Analyses the clues and given black cells of `puzzle` (whatever else is
// painted on it is ignored) under its rule set. Under Ombrix a given black
// cell left on the board counts as a black cell. Observers are told from one
// search thread at a time.
AnalysisResult Analyze(const Board& puzzle, const AnalysisLimits& limits = {});

// How hard a puzzle is for the automatic solver, run on a copy of `puzzle`:
// 1 the deduction rules alone settle it; 2 it also needs single hypotheses of
// the trial search; 3 it needs the trial search's window stage; 4 the
// automatic solver gives up (status 2). 0 when the automatic solver finds no
// single solution (status 1, 5, 7). `solved`, when given, receives the board
// the automatic solver leaves.
int GradeByAutoSolve(const Board& puzzle, Board* solved = nullptr);

} // namespace ombrix
