// The clue paths: whether every undecided cell is joined to a clue through
// cells that are not black, kept as cells turn black.
#include "solver.h"

namespace ombrix {

// Whether every undecided cell is joined to some clue through cells that are
// not black. Once known, it stays so while every open side of each cell that
// has turned black since still leads to a clue: a path that a new black cell
// cut leads on from the open side before the cut. Otherwise it is found by a
// search from all clues at once.
bool Solver::everyRegionHasClue() {
    if (paths_.known) {
        if (newBlacksKeepPaths()) return true;
    } else if (paths_.regionWithoutClue != 0 &&
               cellAt(paths_.regionWithoutClue).state == Undecided) {
        // Still undecided, so still cut off: regions only shrink.
        return false;
    }
    searchFromClues();
    return paths_.known;
}

// Whether every open side of each cell turned black since the last query
// still leads to a clue.
bool Solver::newBlacksKeepPaths() {
    ++paths_.epoch;
    bool kept = true;
    for (int k = paths_.from; k < paths_.newBlackCount && kept; ++k) {
        const int i = paths_.newBlack[k];
        for (const int d : {-1, -kGridHeight, 1, kGridHeight}) {
            if (!leadsToClue(i + d)) {
                kept = false;
                break;
            }
        }
    }
    paths_.from = paths_.newBlackCount;
    return kept;
}

// The search from all clues at once through cells that are not black: the
// clue paths are known when it reaches every undecided cell, else the first
// cell it missed is kept.
void Solver::searchFromClues() {
    const int w = b_.width, h = b_.height;
    const std::uint32_t visit = ++paths_.visit;
    int head = 0, tail = 0;
    auto open = [&](int i) {
        if (paths_.seen[i] == visit || isWall(cellAt(i).state)) return;
        paths_.seen[i] = visit;
        paths_.queue[tail++] = static_cast<std::uint16_t>(i);
    };
    for (int x = 1; x <= w; ++x)
        for (int y = 1; y <= h; ++y)
            if (isWorkedClue(b_.state(x, y))) open(x * kGridHeight + y);
    while (head < tail) {
        const int i = paths_.queue[head++];
        open(i - 1);
        open(i - kGridHeight);
        open(i + 1);
        open(i + kGridHeight);
    }
    paths_.regionWithoutClue = 0;
    for (int x = 1; x <= w && paths_.regionWithoutClue == 0; ++x) {
        for (int y = 1; y <= h; ++y) {
            if (b_.state(x, y) == Undecided && paths_.seen[indexOf(x, y)] != visit) {
                paths_.regionWithoutClue = indexOf(x, y);
                break;
            }
        }
    }
    paths_.known = paths_.regionWithoutClue == 0;
    paths_.from = paths_.newBlackCount;
}

// A short search from cell i through cells that are not black for a clue or
// a cell already seen to lead to one (in this query); false also when the
// search grows too long to be worth it.
bool Solver::leadsToClue(int start) {
    if (isWall(cellAt(start).state) || paths_.good[start] == paths_.epoch) return true;
    constexpr int kLimit = 256;
    const std::uint32_t visit = ++paths_.visit;
    int head = 0, tail = 0;
    bool found = false;
    auto open = [&](int i) {
        const std::uint8_t s = cellAt(i).state;
        if (paths_.seen[i] == visit || isWall(s)) return;
        if (isWorkedClue(s) || paths_.good[i] == paths_.epoch) found = true;
        paths_.seen[i] = visit;
        paths_.queue[tail++] = static_cast<std::uint16_t>(i);
    };
    open(start);
    while (!found && head < tail && tail < kLimit) {
        const int i = paths_.queue[head++];
        open(i - 1);
        open(i - kGridHeight);
        open(i + 1);
        open(i + kGridHeight);
    }
    if (!found) return false;
    for (int k = 0; k < tail; ++k)
        paths_.good[paths_.queue[k]] = paths_.epoch;
    return true;
}

} // namespace ombrix
