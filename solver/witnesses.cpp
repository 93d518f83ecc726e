// The reach witnesses: the area that last reached each undecided cell (two
// for a white dot), with what is needed to tell cheaply whether it still
// does, and the cells whose witness is in doubt.
#include "solver.h"

#include <algorithm>

namespace ombrix {

Solver::Witness Solver::makeWitness(int i, int x, int y) const {
    const int id = index_.clueId[i];
    return {static_cast<std::uint16_t>(id),
            static_cast<std::uint16_t>(index_.areaCount[id]),
            index_.era[id],
            index_.stamp[id],
            static_cast<std::int16_t>(areaSlack(i, x, y)),
            blackBetween(i, x, y)};
}

// Whether the witness area still reaches (x, y); a witness asked again is
// brought up to date.
bool Solver::witnessHolds(Witness& w, int x, int y) {
    const int i = index_.clueOfId[w.id];
    if (!alive(i)) return false;
    const bool newBlack = !w.blackBetween && blackBetween(i, x, y);
    if (w.stamp == index_.stamp[w.id] && !newBlack) return true;
    const int gained = index_.areaCount[w.id] - w.count;
    if (w.era == index_.era[w.id] && gained >= 0 && gained + (newBlack ? 2 : 0) < w.slack)
        return true;
    if (areaSlack(i, x, y) <= 0) return false;
    w = makeWitness(i, x, y);
    return true;
}

// The reach query of the white-dot rule, which acts only when exactly one
// area reaches the dot. In the trial search a dot keeps two areas that both
// reached it; while both still do, the answer is "two or more".
int Solver::dotReaching(int x, int y) {
    if (!(quick_ && index_.kept)) return countReaching(x, y, 2);
    Witness* w = wit_.dot[x * kGridHeight + y];
    if (w[0].id != 0 && w[1].id != 0 && witnessHolds(w[0], x, y) && witnessHolds(w[1], x, y))
        return 2;
    const int count = countReaching(x, y, 2);
    if (count == 2) {
        w[0] = makeWitness(index_.firstReaching, x, y);
        w[1] = makeWitness(index_.lastReaching, x, y);
    } else {
        w[0].id = w[1].id = 0;
    }
    return count;
}

// Moves cell c to the list of area id (0: no list).
void Solver::setWitness(int c, int id) {
    const int old = wit_.cell[c].id;
    if (old == id) return;
    if (old != 0) {
        const int p = wit_.prev[c], n = wit_.next[c];
        if (p >= 0)
            wit_.next[p] = static_cast<std::int16_t>(n);
        else
            wit_.head[old] = static_cast<std::int16_t>(n);
        if (n >= 0) wit_.prev[n] = static_cast<std::int16_t>(p);
    }
    if (id != 0) {
        const int h = wit_.head[id];
        wit_.next[c] = static_cast<std::int16_t>(h);
        wit_.prev[c] = -1;
        if (h >= 0) wit_.prev[h] = static_cast<std::int16_t>(c);
        wit_.head[id] = static_cast<std::int16_t>(c);
    }
    wit_.cell[c].id = static_cast<std::uint16_t>(id);
}

// A new black cell at (x, y) may stand between a clue and a cell in line.
// Only a witness whose clue is in that line, on the far side of the new cell,
// can be touched by it; and only a cell that has a witness needs one.
void Solver::suspectInLine(int x, int y) {
    const int reach = std::max(index_.maxClue, 1);
    for (int u = std::max(1, x - reach); u <= std::min<int>(b_.width, x + reach); ++u) {
        const Witness& w = wit_.cell[indexOf(u, y)];
        if (w.id == 0 || index_.clueYOfId[w.id] != y) continue;
        const int cx = index_.clueXOfId[w.id];
        if ((cx < x && x < u) || (u < x && x < cx)) suspect(indexOf(u, y));
    }
    for (int v = std::max(1, y - reach); v <= std::min<int>(b_.height, y + reach); ++v) {
        const Witness& w = wit_.cell[indexOf(x, v)];
        if (w.id == 0 || index_.clueXOfId[w.id] != x) continue;
        const int cy = index_.clueYOfId[w.id];
        if ((cy < y && y < v) || (v < y && y < cy)) suspect(indexOf(x, v));
    }
}

} // namespace ombrix
