// The trial search: when the rules stall, paint a candidate cell black and
// then white, follow each hypothesis with the deduction loop, and give the
// cell the colour whose opposite led to a contradiction. Depth two looks at a
// 5 x 5 window round the candidate. One decision per call.
#include "solver.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace ombrix {

void Solver::saveSnapshot(Snapshot& s) {
    std::memcpy(s.cells, b_.cells, sizeof s.cells);
    s.undecidedCount = b_.undecidedCount;
    log_.save(s.log);
    marks_.save(s.marks);
    index_.save(s.areas, stampCount());
    kept_.save(s.kept);
    // Settle the clue paths once here rather than after every restore.
    if (keptSets()) everyRegionHasClue();
    paths_.save(s.paths);
}

void Solver::restoreSnapshot(Snapshot& s) {
    std::memcpy(b_.cells, s.cells, sizeof s.cells);
    b_.undecidedCount = s.undecidedCount;
    log_.restore(s.log);
    marks_.restore(s.marks);
    restoreAreas(s.areas);
    kept_.restore(s.kept, b_, wit_.suspect);
    paths_.restore(s.paths);
}

// The trial search writes a white dot straight into an undecided cell.
void Solver::paintWhite(int x, int y) {
    b_.state(x, y) = WhiteDot;
    noteChange(x, y);
    decided(x, y);
}

bool Solver::HasDecidedNeighbour(int x, int y) const {
    for (int u = x - 1; u <= x + 1; ++u) {
        for (int v = y - 1; v <= y + 1; ++v) {
            const int s = b_.state(u, v);
            if (s != Undecided && s != Border) return true;
        }
    }
    return false;
}

void Solver::singleTest(int x, int y, bool& decided) {
    MarkBlack(x, y);
    RunDeduction();
    if (b_.status == StatusContradiction) {
        // Black is impossible: the cell is white.
        restoreSnapshot(outer_);
        b_.resumeColumn = static_cast<std::uint32_t>(x);
        b_.status = StatusNone;
        paintWhite(x, y);
        decided = true;
        return;
    }
    const bool blackCompletes = b_.undecidedCount == 0;
    restoreSnapshot(outer_);
    paintWhite(x, y);
    RunDeduction();
    if (b_.status == StatusContradiction) {
        // White is impossible: the cell is black.
        restoreSnapshot(outer_);
        MarkBlack(x, y);
        b_.resumeColumn = static_cast<std::uint32_t>(x);
        b_.status = StatusNone;
        decided = true;
        return;
    }
    if (b_.undecidedCount == 0 && blackCompletes) {
        // Both colours complete the board: keep the white solution and name
        // the cell that is black in the other one. The quick deduction skips
        // rules and so leaves other scratch marks; the kept board is made by
        // the full one.
        restoreSnapshot(outer_);
        paintWhite(x, y);
        const bool wasQuick = quick_;
        quick_ = false;
        RunDeduction();
        quick_ = wasQuick;
        b_.altCellX = static_cast<std::uint32_t>(x);
        b_.altCellY = static_cast<std::uint32_t>(y);
        b_.status = StatusSecondSolution;
        decided = true;
        return;
    }
    restoreSnapshot(outer_);
}

// Tries both colours of every undecided window cell on the board as it stands
// (the inner snapshot); true when some cell fails in both colours.
bool Solver::windowBranch(int x, int y, int xlo, int xhi, int ylo, int yhi) {
    for (int u = xlo; u <= xhi; ++u) {
        for (int v = ylo; v <= yhi; ++v) {
            if ((u == x && v == y) || b_.state(u, v) != Undecided) continue;
            MarkBlack(u, v);
            RunDeduction();
            const bool blackFails = b_.status == StatusContradiction;
            restoreSnapshot(inner_);
            if (blackFails) {
                paintWhite(u, v);
                RunDeduction();
                if (b_.status == StatusContradiction) return true;
                restoreSnapshot(inner_);
            }
        }
    }
    return false;
}

void Solver::windowTest(int x, int y, bool& decided) {
    const int w = b_.width, h = b_.height;
    const int xlo = x == 1 ? 1 : x - 2;
    const int xhi = x >= w - 1 ? w : x + 2;
    const int ylo = y == 1 ? 1 : y - 2;
    const int yhi = y >= h - 1 ? h : y + 2;

    MarkBlack(x, y);
    RunDeduction();
    saveSnapshot(inner_);
    if (windowBranch(x, y, xlo, xhi, ylo, yhi)) {
        restoreSnapshot(outer_);
        b_.status = StatusNone;
        paintWhite(x, y);
        decided = true;
        return;
    }
    restoreSnapshot(outer_);

    paintWhite(x, y);
    RunDeduction();
    saveSnapshot(inner_);
    if (windowBranch(x, y, xlo, xhi, ylo, yhi)) {
        restoreSnapshot(outer_);
        MarkBlack(x, y);
        b_.status = StatusNone;
        decided = true;
        return;
    }
    restoreSnapshot(outer_);
}

// Sets up what the trial search keeps about the board it starts from.
void Solver::startTrials() {
    std::fill(std::begin(wit_.cell), std::end(wit_.cell), Witness{});
    for (auto& pair : wit_.dot)
        pair[0].id = pair[1].id = 0;
    std::fill(std::begin(wit_.head), std::end(wit_.head), -1);
    paths_.known = false;
    paths_.regionWithoutClue = 0;
    paths_.newBlackCount = 0;
    index_.renewedCount = 0;
    index_.renewedOverrun = false;
    if (!incremental) return;
    kept_.groups.Build(b_);
    ++kept_.groupsBuild;
    std::fill(std::begin(kept_.open), std::end(kept_.open), 0);
    std::fill(std::begin(kept_.dots), std::end(kept_.dots), 0);
    std::fill(std::begin(kept_.inArea), std::end(kept_.inArea), 0);
    std::fill(std::begin(kept_.blacks), std::end(kept_.blacks), 0);
    std::fill(std::begin(wit_.suspect), std::end(wit_.suspect), ~std::uint64_t{0});
    kept_.blackCount = 0;
    for (int x = 1; x <= b_.width; ++x) {
        for (int y = 1; y <= b_.height; ++y) {
            const Cell& c = b_.at(x, y);
            setBit(kept_.open, indexOf(x, y), c.state == Undecided);
            setBit(kept_.dots, indexOf(x, y), c.state == WhiteDot);
            setBit(kept_.inArea, indexOf(x, y), c.areaId != 0);
            setBit(kept_.blacks, indexOf(x, y), isBlack(c.state));
            if (isBlack(c.state)) ++kept_.blackCount;
        }
    }
}

void Solver::TrialSearch() {
    const int w = b_.width;
    startTrials();
    saveSnapshot(outer_);
    // Every deduction below is a hypothesis: its board is kept only when it
    // ends without a contradiction, so it may stop at the first one.
    quick_ = incremental;
    struct Leave {
        Solver& s;
        ~Leave() {
            s.quick_ = false;
            s.kept_.groups.Drop();
        }
    } leave{*this};
    const int resume = static_cast<int>(b_.resumeColumn);
    // First stage: single hypotheses, from the column of the last decision
    // round to the column before it.
    if (tryColumns(resume, w, &Solver::singleTest)) return;
    if (tryColumns(1, std::min(resume - 1, w), &Solver::singleTest)) return;
    // Second stage: two levels deep inside a window round each candidate.
    b_.resumeColumn = 1;
    if (trace_) trace_->beforeWindowStage(b_);
    if (tryColumns(1, w, &Solver::windowTest)) return;
    b_.status = StatusUnsolvable;
}

// Runs `test` on every candidate (an undecided cell next to a decided one)
// of columns first..last in scan order; true once one decided a cell.
bool Solver::tryColumns(int first, int last, void (Solver::*test)(int, int, bool&)) {
    bool decided = false;
    for (int x = first; x <= last; ++x) {
        for (int y = 1; y <= b_.height; ++y) {
            if (b_.state(x, y) != Undecided || !HasDecidedNeighbour(x, y)) continue;
            (this->*test)(x, y, decided);
            if (decided) return true;
        }
    }
    return false;
}

} // namespace ombrix
