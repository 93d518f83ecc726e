// The reach rules: the unreachable-cell rule (an undecided cell no area can
// reach is black), in full or with the trial search's witnesses, and area
// reach with its second half, clue reachability.
#include "solver.h"

#include <algorithm>

namespace ombrix {

void Solver::RuleUnreachable() {
    // Called on its own (by a test), the board may have changed behind the
    // epoch's back; within the deduction loop the epoch is exact.
    if (!inDriver_) boardMayHaveChanged();
    if (quick_ && index_.kept) {
        unreachableWithWitnesses();
        return;
    }
    for (int x = 1; x <= b_.width; ++x)
        for (int y = 1; y <= b_.height; ++y)
            if (b_.state(x, y) == Undecided && countReaching(x, y, 1) == 0) MarkBlack(x, y);
}

// The rule in the trial search. Each undecided cell keeps a witness: an area
// that reached it, with the area's stamp, cell count, era and the estimate's
// margin then. The estimate's penalty grows by at most one for each cell the
// area gains, and, in line with the clue, by two when a black cell first
// stands between. So the area still reaches the cell while its cells are the
// same (same stamp) and no black cell has come between, or while it has only
// gained cells (same era) and fewer than the margin allows.
void Solver::unreachableWithWitnesses() {
    // Only suspect cells are looked at, in scan order: every other undecided
    // cell has a witness that stands. A black cell painted on the way makes
    // later cells in line suspect at once.
    forEachBit([&](int k) { return wit_.suspect[k] & kept_.open[k]; },
               [&](int c) {
                   setBit(wit_.suspect, c, false);
                   const int x = c / kGridHeight, y = c % kGridHeight;
                   Witness& w = wit_.cell[c];
                   if (w.id != 0) {
                       if (witnessHolds(w, x, y)) return true;
                       setWitness(c, 0);
                   }
                   if (countReaching(x, y, 1) == 0) {
                       MarkBlack(x, y);
                       return true;
                   }
                   setWitness(c, index_.clueId[index_.lastReaching]);
                   w = makeWitness(index_.lastReaching, x, y);
                   return true;
               });
}
// Area reach: an unfinished area that can walk to exactly its number of cells
// takes all of them; fewer is a contradiction. Clue reachability: a region of
// non-black cells that meets no clue holds no white cell, so its undecided
// cells are black (and a white cell in it is a contradiction).
void Solver::RuleAreaReach() {
    bool cleared = false;
    if (!areaReach(cleared)) return;
    if (!handOffReachMarks(cleared)) return;
    clueReachability();
}

// One area's reach walk from its clue at (x, y). Each reach walk starts on a
// board without marks: the first of a run clears them all (`cleared`), and
// after that only the previous walk has marked cells.
void Solver::walkAreaReach(int x, int y, bool& cleared) {
    if (!cleared) {
        ClearMarks();
        cleared = true;
    } else {
        for (int i = 0; i < touchedCount_; ++i)
            b_.at(touchedX_[i], touchedY_[i]).mark = MarkNone;
    }
    reachLimit = b_.state(x, y);
    reachArea = b_.at(x, y).areaId;
    WalkReach(x, y);
}

// Area reach over the areas a change may concern; false after a
// contradiction. Outside the trial search every area is walked, so the marks
// of the last area's walk are left on the board.
bool Solver::areaReach(bool& cleared) {
    // In the trial search, after a run that changed nothing from log
    // position p, an area's walk can turn out differently only if a cell
    // within its reach (its number plus the three cells a walk looks beyond
    // its last step) changed since p.
    bool stop = false;
    const int from = quickFrom(Rule::AreaReach), extra = kRules[index(Rule::AreaReach)].radius;
    forEachAreaNear(from, extra, [&](int x, int y) {
        if (stop) return;
        const int n = b_.state(x, y);
        int r = 0;
        if (quick_) {
            // Only the count matters here (and, when it is the
            // number, the cells): no marks are set.
            r = reachCount(x, y);
            if (r == n) {
                for (int i = 0; i < r; ++i)
                    if (cellAt(paths_.queue[i]).state == Undecided)
                        MarkWhite(paths_.queue[i] / kGridHeight, paths_.queue[i] % kGridHeight);
            }
        } else {
            walkAreaReach(x, y, cleared);
            r = visitedCount;
            if (r == n) {
                // The walk ran to its end: the marks cover
                // every reachable cell.
                for (int i = 0; i < touchedCount_; ++i)
                    if (b_.state(touchedX_[i], touchedY_[i]) == Undecided)
                        MarkWhite(touchedX_[i], touchedY_[i]);
            }
        }
        if (r < n) {
            b_.status = StatusContradiction;
            stop = true;
        }
    });
    return !stop;
}

// The hand-off between the two halves of the rule: clue reachability starts
// from the marks of the last unfinished area's reach walk (in scan order),
// promoted to Settled, or, with no unfinished area, from the marks the
// dot-escape rule left. False when there is nothing for it to do.
bool Solver::handOffReachMarks(bool& cleared) {
    int lastX = 0, lastY = 0; // the last unfinished area in scan order
    if (index_.kept) {
        for (int i = index_.clueCount - 1; i >= 0 && lastX == 0; --i)
            if (alive(i)) lastX = index_.clueX[i], lastY = index_.clueY[i];
    } else {
        forEachAreaClue([&](int x, int y) { lastX = x, lastY = y; });
    }
    if (quick_ && lastX != 0) {
        // When every region of undecided cells holds a clue, the walks find
        // nothing to do. Otherwise the trial search, which counted without
        // marks, walks the last area again.
        if (everyRegionHasClue()) return false;
        walkAreaReach(lastX, lastY, cleared);
    }
    if (lastX == 0 && dotMarksSkipped_) {
        // No unfinished area cleared the marks, so the walks meet the marks
        // of the dot-escape rule: after a run that changed nothing, those
        // are exactly the white dots.
        for (int x = 1; x <= b_.width; ++x)
            for (int y = 1; y <= b_.height; ++y)
                b_.at(x, y).mark = b_.state(x, y) == WhiteDot ? MarkOpen : MarkNone;
        marks_.unknown = true;
    }
    PromoteMarks();
    return true;
}

// Clue reachability: a region of non-black cells that meets no clue holds no
// white cell, so its undecided cells are black (and a white cell in it is a
// contradiction). Only the first such region is painted per run; cells
// already Settled lead to a clue.
void Solver::clueReachability() {
    for (int x = 1; x <= b_.width; ++x) {
        for (int y = 1; y <= b_.height; ++y) {
            const Cell& c = b_.at(x, y);
            if (c.state != Undecided || c.mark != MarkNone) continue;
            WalkToClue(x, y);
            if (visitedCount < kWalkFoundClue) {
                // The walk saw its whole region and met no clue.
                for (int i = 0; i < touchedCount_; ++i)
                    MarkBlack(touchedX_[i], touchedY_[i]);
                return;
            }
            for (int i = 0; i < touchedCount_; ++i)
                b_.at(touchedX_[i], touchedY_[i]).mark = MarkSettled;
        }
    }
}
// What the reach walk from the clue at (x, y) counts, found breadth first:
// the cells it can reach, up to its number plus one. A cell is taken in from
// any neighbour that the walk would take it in from, so the cells reached
// are the same whatever the order; each is looked at once, and no marks are
// set. The cells are left in paths_.queue.
int Solver::reachCount(int x, int y) {
    const int n = b_.state(x, y);
    const std::uint16_t id = b_.at(x, y).areaId;
    const bool tandrel = b_.tandrel();
    auto foreign = [&](int i) {
        const std::uint16_t other = cellAt(i).areaId;
        return other != 0 && other != id;
    };
    const std::uint32_t visit = ++paths_.visit;
    int head = 0, tail = 0;
    paths_.seen[indexOf(x, y)] = visit;
    paths_.queue[tail++] = static_cast<std::uint16_t>(indexOf(x, y));
    static constexpr int kStep[4] = {-1, -kGridHeight, 1, kGridHeight};
    while (head < tail) {
        const int v = paths_.queue[head++];
        for (const int d : kStep) {
            const int i = v + d;
            if (paths_.seen[i] == visit) continue;
            const Cell& c = cellAt(i);
            bool member = c.areaId == id || c.state == WhiteDot;
            if (!member && c.state == Undecided) {
                // Not next to a foreign area straight on or across the step,
                // nor (Tandrel) diagonally beyond it.
                const int across = d == -1 || d == 1 ? kGridHeight : 1;
                member = !(foreign(i + d) || foreign(i - across) || foreign(i + across) ||
                           (tandrel && (foreign(i + d - across) || foreign(i + d + across))));
            }
            if (!member) continue;
            paths_.seen[i] = visit;
            paths_.queue[tail++] = static_cast<std::uint16_t>(i);
            if (tail > n) return tail;
        }
    }
    return tail;
}

} // namespace ombrix
