// The analysis's rules on white cells: the white groups, the cells beside
// areas, each unfinished area's reach, cells no area reaches and clueless
// white groups that must grow.
#include "analysis_search.h"

#include <algorithm>

namespace ombrix::analysis {

void Search::labelWhite() {
    groups_ = 0;
    std::fill(group_.begin(), group_.end(), -1);
    int tail = 0;
    for (int i : cells_)
        if (colour_[i] == Light && group_[i] < 0) labelGroup(i, tail);
    markCornerTouches();
}

// The white group of `start`, breadth first into members_[tail ..].
void Search::labelGroup(int start, int& tail) {
    const int g = groups_++;
    const int first = tail;
    int head = tail, clue = -1, clues = 0;
    members_[tail++] = start;
    group_[start] = g;
    while (head < tail) {
        const int c = members_[head++];
        if (clue_[c]) ++clues, clue = c;
        for (int d : orth_) {
            const int n = c + d;
            if (colour_[n] == Light && group_[n] < 0) {
                group_[n] = g;
                members_[tail++] = n;
            }
        }
    }
    groupClue_[g] = clues > 1 ? -2 : clue;
    groupSize_[g] = tail - first;
    groupFirst_[g] = first;
}

// A clueless group touching an area at a corner (Tandrel) belongs to it.
void Search::markCornerTouches() {
    for (int g = 0; g < groups_; ++g) {
        touch_[g] = -1;
        if (groupClue_[g] != -1 || !tandrel_) continue;
        for (int m = groupFirst_[g]; m < groupFirst_[g] + groupSize_[g]; ++m)
            for (int k = 4; k < 8; ++k) {
                const int n = members_[m] + ring_[k];
                if (colour_[n] != Light || groupClue_[group_[n]] < 0) continue;
                const int o = group_[n];
                touch_[g] = touch_[g] == -1 || touch_[g] == o ? o : -2;
            }
    }
}

// True when cell i lies beside (Tandrel: also at a corner of) a white cell of
// an area other than `area`.
bool Search::touchesOtherArea(int i, int area) const {
    const int count = tandrel_ ? 8 : 4;
    for (int k = 0; k < count; ++k) {
        const int n = i + ring_[k];
        if (colour_[n] != Light) continue;
        const int g = group_[n];
        if (g != area && groupClue_[g] >= 0) return true;
    }
    return false;
}

bool Search::areaRules() {
    labelWhite();
    if (!groupsFit()) return false;
    pending_ = 0;
    if (!cellsBesideAreas() || !reachRules() || !unreachedCells() || !cluelessExits()) return false;
    for (int k = 0; k < pending_; ++k) {
        const int v = decisions_[k];
        if (!set(v >> 1, (v & 1) ? Light : Dark)) return false;
    }
    if (branch_ < 0) {
        for (int i : cells_)
            if (colour_[i] == Open) {
                branch_ = i;
                break;
            }
    }
    return true;
}

// No white group holds two clues or more cells than its number.
bool Search::groupsFit() const {
    for (int g = 0; g < groups_; ++g) {
        if (groupClue_[g] == -2) return false;
        if (groupClue_[g] >= 0 && groupSize_[g] > clue_[groupClue_[g]]) return false;
    }
    return true;
}

// Cells beside areas: closing finished areas, joins that cannot be.
bool Search::cellsBesideAreas() {
    for (int i : cells_) {
        if (colour_[i] == Light) {
            if (tandrel_ && cornerClash(i)) return false;
            continue;
        }
        if (colour_[i] == Open && whiteningFails(i)) decide(i, false);
    }
    return true;
}

// Tandrel: white cell i of an area meets another area at a corner, or, its
// area finished, any other white cell.
bool Search::cornerClash(int i) const {
    const int g = group_[i];
    if (groupClue_[g] < 0) return false;
    for (int k = 4; k < 8; ++k) {
        const int n = i + ring_[k];
        if (colour_[n] != Light || group_[n] == g) continue;
        const int o = group_[n];
        if (groupClue_[o] >= 0 || groupSize_[g] == clue_[groupClue_[g]]) return true;
    }
    return false;
}

// Whether whitening cell i would merge two clues or overflow an area (or
// meet areas at its corners under Tandrel).
bool Search::whiteningFails(int i) const {
    int merged[4], m = 0, size = 1, clue = -1, clues = 0;
    for (int d : orth_) {
        const int n = i + d;
        if (colour_[n] != Light) continue;
        const int g = group_[n];
        bool dup = false;
        for (int k = 0; k < m; ++k)
            dup |= merged[k] == g;
        if (dup) continue;
        merged[m++] = g;
        size += groupSize_[g];
        if (groupClue_[g] >= 0) ++clues, clue = groupClue_[g];
    }
    if (clues > 1 || (clue >= 0 && size > clue_[clue])) return true;
    return tandrel_ && cornerMeetsAreas(i);
}

// Under Tandrel a white cell touches every area at its corners too: two
// different areas there, or a finished one, make it black.
bool Search::cornerMeetsAreas(int i) const {
    int first = -1;
    for (int k = 0; k < 8; ++k) {
        const int n = i + ring_[k];
        if (colour_[n] != Light) continue;
        const int g = group_[n], c = groupClue_[g];
        if (c < 0) continue;
        if (groupSize_[g] == clue_[c] || (first >= 0 && first != g)) return true;
        first = g;
    }
    return false;
}

// Reach of every unfinished area; also picks the branch cell: an area's
// only way out is taken, else the cell beside the area with the fewest ways
// out.
bool Search::reachRules() {
    std::fill(reached_.begin(), reached_.end(), 0);
    branch_ = -1;
    bestFrontier_ = 1 << 30;
    for (int g = 0; g < groups_; ++g) {
        const int c = groupClue_[g];
        if (c < 0) continue;
        const int rem = clue_[c] - groupSize_[g];
        if (rem != 0 && !walkArea(g, rem)) return false;
    }
    return true;
}

// Area g with `rem` cells to go spreads over the cells it could still take.
// Cheapest growth first: each undecided cell costs one cell, a clueless white
// group its whole size (it joins as a whole). A cell at cost d needs an area
// of at least its size plus d.
bool Search::walkArea(int g, int rem) {
    ++walk_;
    aw_ = AreaWalk{g, rem, 0, 0, -1, 0, 0};
    for (int d = 0; d <= rem; ++d)
        bucket_[d] = -1;
    for (int m = groupFirst_[g]; m < groupFirst_[g] + groupSize_[g]; ++m) {
        seen_[members_[m]] = walk_;
        dist_[members_[m]] = 0;
        pushWalk(members_[m], 0);
    }
    for (int d0 = 0; d0 < rem; ++d0) {
        while (bucket_[d0] >= 0) {
            const int cell = entries_[bucket_[d0]].cell;
            bucket_[d0] = entries_[bucket_[d0]].next;
            if (dist_[cell] == d0) walkStep(cell, d0);
        }
    }
    const AreaWalk a = aw_;
    if (a.reached < rem || a.frontier == 0) return false;
    // Exactly as many cells in reach as the area needs: it takes them all.
    for (int k = 0; a.reached == rem && k < a.length; ++k)
        if (colour_[walkCells_[k]] == Open) decide(walkCells_[k], true);
    if (!tandrel_ && rem <= kShapeRem && !shapeRule(g, rem, a.length)) return false;
    if (a.frontier == 1)
        decide(a.frontierCell, true);
    else if (a.frontier < bestFrontier_)
        bestFrontier_ = a.frontier, branch_ = a.frontierCell;
    return true;
}

void Search::pushWalk(int cell, int d) {
    entries_[aw_.pool] = {cell, bucket_[d]};
    bucket_[d] = aw_.pool++;
}

// The walk's step from `cell`, at cost d0, to its neighbours.
void Search::walkStep(int cell, int d0) {
    for (int d : orth_) {
        const int n = cell + d;
        const Colour col = static_cast<Colour>(colour_[n]);
        if (col == Dark || col == Outside) continue;
        if (col == Light) {
            walkGroup(n, d0);
            continue;
        }
        if (seen_[n] == walk_ && dist_[n] <= d0 + 1) continue;
        if (touchesOtherArea(n, aw_.g)) continue;
        if (seen_[n] != walk_) {
            ++aw_.reached;
            ++reached_[n];
            walkCells_[aw_.length++] = n;
            if (d0 == 0) ++aw_.frontier, aw_.frontierCell = n;
        }
        seen_[n] = walk_;
        dist_[n] = d0 + 1;
        pushWalk(n, d0 + 1);
    }
}

// The walk meets white cell n: a clueless group joins whole, at the cost of
// its size, unless it belongs to another area.
void Search::walkGroup(int n, int d0) {
    const int o = group_[n];
    if (o == aw_.g || groupClue_[o] >= 0) return;
    if (touch_[o] != -1 && touch_[o] != aw_.g) return;
    const int cost = d0 + groupSize_[o];
    if (cost > aw_.rem || (seen_[n] == walk_ && dist_[n] <= cost)) return;
    const bool first = seen_[n] != walk_;
    for (int m = groupFirst_[o]; m < groupFirst_[o] + groupSize_[o]; ++m) {
        const int c = members_[m];
        if (first) {
            ++aw_.reached;
            ++reached_[c];
            walkCells_[aw_.length++] = c;
        }
        seen_[c] = walk_;
        dist_[c] = cost;
        pushWalk(c, cost);
    }
}

// An undecided cell no area reaches is black; a white one fails.
bool Search::unreachedCells() {
    for (int i : cells_) {
        if (reached_[i] != 0) continue;
        if (colour_[i] == Open)
            decide(i, false);
        else if (colour_[i] == Light && groupClue_[group_[i]] < 0)
            return false;
    }
    return true;
}

// A white group without a clue must grow: no way out fails, one way out is
// taken.
bool Search::cluelessExits() {
    for (int g = 0; g < groups_; ++g) {
        if (groupClue_[g] != -1) continue;
        int exitCell = -1;
        const int exits = exitsOf(g, exitCell);
        if (exits == 0) return false;
        if (exits == 1) decide(exitCell, true);
    }
    return true;
}

// The undecided cells beside group g, counted up to two; the last one found.
int Search::exitsOf(int g, int& exitCell) {
    ++walk_;
    int head = 0, tail = 0, exits = 0;
    queue_[tail++] = members_[groupFirst_[g]];
    seen_[members_[groupFirst_[g]]] = walk_;
    while (head < tail && exits < 2) {
        const int cell = queue_[head++];
        for (int d : orth_) {
            const int n = cell + d;
            if (seen_[n] == walk_) continue;
            if (colour_[n] == Light) {
                seen_[n] = walk_;
                queue_[tail++] = n;
            } else if (colour_[n] == Open) {
                seen_[n] = walk_;
                ++exits, exitCell = n;
            }
        }
    }
    return exits;
}

} // namespace ombrix::analysis
