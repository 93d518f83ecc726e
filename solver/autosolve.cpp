// The solve driver: take the board back to its clues, number the unfinished
// areas, then alternate rule passes with the trial search until the board is
// complete, contradictory, stuck, or shown to have a second solution.
#include "solver.h"

#include <memory>

namespace ombrix {

void Solver::PrepareBoard() {
    const int w = b_.width, h = b_.height;
    ClearPainted(b_);
    for (int x = 1; x <= w; ++x)
        for (int y = 1; y <= h; ++y)
            b_.at(x, y).areaId = 0;
    b_.status = StatusNone;
    b_.undecidedCount = static_cast<std::uint16_t>(w * h);
    b_.blackBudget = w * h;
    b_.nextAreaId = 1;
    b_.resumeColumn = 1;

    for (int x = 1; x <= w; ++x) {
        for (int y = 1; y <= h; ++y) {
            const int s = b_.state(x, y);
            if (s == 1) {
                // A 1 is finished from the start: wall it in.
                --b_.undecidedCount;
                --b_.blackBudget;
                MarkBlack(x, y - 1);
                MarkBlack(x - 1, y);
                MarkBlack(x, y + 1);
                MarkBlack(x + 1, y);
                if (b_.tandrel()) {
                    MarkBlack(x - 1, y - 1);
                    MarkBlack(x - 1, y + 1);
                    MarkBlack(x + 1, y + 1);
                    MarkBlack(x + 1, y - 1);
                }
            } else if (isClue(s)) {
                --b_.undecidedCount;
                b_.blackBudget -= s;
                const int id = static_cast<int>(b_.nextAreaId++);
                b_.at(x, y).areaId = static_cast<std::uint16_t>(id);
                index_.clueXOfId[id] = static_cast<std::uint8_t>(x);
                index_.clueYOfId[id] = static_cast<std::uint8_t>(y);
                renewStamp(id);
                if (s == 2 && b_.tandrel()) {
                    MarkBlack(x - 1, y - 1);
                    MarkBlack(x - 1, y + 1);
                    MarkBlack(x + 1, y + 1);
                    MarkBlack(x + 1, y - 1);
                }
            } else if (s == GivenBlack && b_.tandrel()) {
                --b_.undecidedCount;
            }
        }
    }
    if (b_.blackBudget < 0) b_.status = StatusSumTooLarge;
    ++index_.epoch;
    forgetChanges();
    boardMayHaveChanged();
    if (incremental) keepAreaIndex();
    marks_.unknown = true;
}

void Solver::AutoSolve() {
    PrepareBoard();
    if (b_.status != StatusNone) return;
    SolveOn();
}

void Solver::SolveOn(int trials) {
    inDriver_ = true;
    struct Leave {
        bool& flag;
        ~Leave() { flag = false; }
    } leave{inDriver_};
    for (;;) {
        b_.changed = 0;
        runPass(false);
        if (b_.changed == 0) runPass(true);
        if (b_.status == StatusContradiction) return;
        if (b_.undecidedCount == 0) {
            // Complete board: the final connectivity and block checks.
            RuleBlackConnected();
            if (b_.ombrix()) CheckBlackBlocks();
            return;
        }
        if (b_.changed != 0) continue;
        if (trace_) trace_->beforeTrial(b_);
        TrialSearch();
        if (trace_) trace_->afterTrial(b_);
        if (b_.status == StatusUnsolvable || b_.status == StatusSecondSolution) return;
        if (--trials == 0) return;
    }
}

void AutoSolve(Board& board, SolveTrace* trace) {
    // The working storage is too large for a thread's stack; it is taken
    // once, before the solve starts.
    auto solver = std::make_unique<Solver>(board, trace);
    solver->AutoSolve();
}

} // namespace ombrix
