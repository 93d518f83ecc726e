// The propagators of the learning analysis that look at the part of the board
// still open to an area (see analysis_learn_engine.h): what lies outside it,
// and the cells the area cannot do without. Their reasons are the false cells
// round a part, with no distance in them, so the clauses learnt from them
// hold wherever those cells are false.
#include "analysis_learn_engine.h"

#include <algorithm>
#include <vector>

namespace ombrix::learn {

// Area chokepoints. G: the cells whose x(c, k) is not false joined to the
// clue through such cells. The area is connected and holds its clue, so
// without an undecided cell p it lies inside the part of G \ {p} joined to the
// clue: when that part holds fewer than n_k cells, or misses a cell already in
// the area, x(p, k) is true; because of the false cells round that part (and
// for the second form the missed cell). The cells p are found with Tarjan's
// low links over G from the clue, with the size of each subtree and one cell
// of the area in it.
bool Engine::chokeArea(int k) {
    const int n = areaSize_[k], root = areaCell_[k];
    // Plain pointers in the walk (see reachArea).
    const int* const var = varAt_.data() + static_cast<std::size_t>(k) * cells_;
    const std::int8_t* const value = value_.data();
    const auto in = [&](int c) { return value[var[c]]; };
    int* const mark = mark_.data();
    int* const disc = disc_.data();
    int* const low = low_.data();
    int* const parent = parent_.data();
    int* const size = size_.data();
    int* const sub = sub_.data();
    int* const cutSize = cutSize_.data();
    int* const cutCell = cutCell_.data();
    int* const next = next_.data();
    int* const stack = stack_.data();
    const int* const orthStart = orthStart_.data();
    const int* const orth = orth_.data();
    // sub_ holds a cell of the area in the subtree (or -1), cutSize_ /
    // cutCell_ what the cell's removal would cut off.
    const int mk = ++markNow_;
    int timer = 0, top = 0, cuts = 0;
    const auto open = [&](int c, int p) {
        mark[c] = mk;
        disc[c] = low[c] = timer++;
        parent[c] = p;
        size[c] = 1;
        sub[c] = in(c) == kTrue ? c : -1;
        cutSize[c] = 0;
        cutCell[c] = -1;
        next[c] = orthStart[c];
        stack[top++] = c;
    };
    open(root, -1);
    while (top > 0) {
        const int v = stack[top - 1];
        if (next[v] < orthStart[v + 1]) {
            const int u = orth[next[v]++];
            if (var[u] < 0 || in(u) == kFalse) continue;
            if (mark[u] != mk)
                open(u, v);
            else if (u != parent[v])
                low[v] = std::min(low[v], disc[u]);
            continue;
        }
        --top;
        if (v != root && in(v) == kUnset && (timer - 1 - cutSize[v] < n || cutCell[v] >= 0))
            cut_[cuts++] = v;
        const int p = parent[v];
        if (p < 0) continue;
        low[p] = std::min(low[p], low[v]);
        size[p] += size[v];
        if (sub[p] < 0) sub[p] = sub[v];
        if (low[v] >= disc[p]) {
            cutSize[p] += size[v];
            if (cutCell[p] < 0) cutCell[p] = sub[v];
        }
    }
    for (int i = 0; i < cuts; ++i) {
        const int p = cut_[i];
        int trues = 0;
        if (joinedWithout(k, p, trues) >= n) {
            for (int j = areaStart_[k]; j < areaStart_[k + 1] && trues >= 0; ++j) {
                const int u = areaVars_[j];
                if (litValue(PosLit(u)) == kTrue && mark_[xCell(u)] != markNow_)
                    addExpl(NegLit(u)), trues = -1;
            }
            if (trues >= 0) continue; // not reached: the depth-first search found p
        }
        if (!imply(PosLit(varAt(k, p)), storeExpl())) return false;
    }
    return true;
}

// The part of the cells whose x(c, k) is not false joined to the clue without
// cell p (p = -1: the whole part), in order_, marked (mark_) and counted,
// with the cells of the area in it (`trues`), and in expl_ the false cells
// round it. Without a cell p the search stops once it holds n_k cells and
// every cell of the area.
int Engine::joinedWithout(int k, int p, int& trues) {
    const int n = areaSize_[k], root = areaCell_[k], mk = ++markNow_, need = trueCount_[k];
    // Plain pointers in the walk (see reachArea).
    int* const mark = mark_.data();
    int* const order = order_.data();
    const int* const orthStart = orthStart_.data();
    const int* const orth = orth_.data();
    const int* const var = varAt_.data() + static_cast<std::size_t>(k) * cells_;
    const std::int8_t* const value = value_.data();
    if (p >= 0) mark[p] = mk;
    mark[root] = mk;
    int m = 0, t = 0;
    order[m++] = root;
    expl_.clear();
    for (int qi = 0; qi < m && (p < 0 || m < n || t < need); ++qi) {
        const int c = order[qi];
        if (value[var[c]] == kTrue) ++t;
        for (int j = orthStart[c]; j < orthStart[c + 1]; ++j) {
            const int e = orth[j], u = var[e];
            if (u < 0 || mark[e] == mk) continue;
            mark[e] = mk;
            if (value[u] == kFalse)
                addExpl(PosLit(u));
            else
                order[m++] = e;
        }
    }
    trues = t;
    return m;
}

// Area part: the cells whose x(c, k) is not false joined to the clue through
// such cells; a cell of area k outside it is not in the area, fewer than n_k
// cells fail, exactly n_k take them all; because of the false cells round it.
bool Engine::joinArea(int k) {
    const int n = areaSize_[k];
    int trues = 0;
    const int m = joinedWithout(k, -1, trues);
    if (m < n) {
        conflict_ = expl_;
        return false;
    }
    int ref = 0;
    // A cell outside, with the others of its pocket: because of the false
    // cells round the pocket when they are fewer. None while every cell that
    // may still be in the area is in the part.
    const bool outside = m < openCount_[k];
    if (outside) spare_ = expl_;
    for (int i = areaStart_[k]; i < areaStart_[k + 1] && m < openCount_[k]; ++i) {
        const int u = areaVars_[i];
        if (mark_[xCell(u)] == markNow_ || litValue(PosLit(u)) == kFalse) continue;
        int len = 0;
        queue_[len++] = xCell(u);
        mark_[xCell(u)] = markNow_;
        ++stampNow_;
        expl_.clear();
        for (int qi = 0; qi < len; ++qi) {
            const int c = queue_[qi];
            for (int j = orthStart_[c]; j < orthStart_[c + 1]; ++j) {
                const int e = orth_[j], v = varAt(k, e);
                if (v < 0) continue;
                if (litValue(PosLit(v)) == kFalse) {
                    if (stamp_[e] != stampNow_) stamp_[e] = stampNow_, addExpl(PosLit(v));
                } else if (mark_[e] != markNow_) {
                    mark_[e] = markNow_;
                    queue_[len++] = e;
                }
            }
        }
        int r;
        if (expl_.size() < spare_.size()) {
            r = storeExpl();
        } else {
            if (ref == 0) expl_ = spare_, ref = storeExpl();
            r = ref;
        }
        for (int qi = 0; qi < len; ++qi)
            if (!imply(NegLit(varAt(k, queue_[qi])), r)) return false;
    }
    if (m == n) {
        if (ref == 0 && outside) expl_ = spare_;
        for (int qi = 0; qi < m; ++qi) {
            const int u = varAt(k, order_[qi]);
            if (litValue(PosLit(u)) == kTrue) continue;
            if (ref == 0) ref = storeExpl();
            if (!imply(PosLit(u), ref)) return false;
        }
    }
    return true;
}

} // namespace ombrix::learn
