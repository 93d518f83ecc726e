// The cut propagators of the learning analysis (see analysis_learn_engine.h):
// cells that an area cannot do without.
#include "analysis_learn_engine.h"

#include <algorithm>
#include <vector>

namespace ombrix::learn {

// Area chokepoints. R is the reach of area k as reachArea measures it: K (the
// cells joined to the clue through cells of the area) and the cells at most
// n_k - |K| steps from K over cells whose x(c, k) is not false. The area lies
// inside R, holds K and, without an undecided cell p, lies inside the part of
// R \ {p} joined to K. So when that part holds fewer than n_k cells, or misses
// a cell already in the area, x(p, k) is true: because of K and the false
// cells beside R (those that bound it), and for the second form the missed
// cell. The cells p are found with Tarjan's low links over R from the clue,
// with the size of each subtree and one cell of the area in it.
bool Engine::chokeArea(int k) {
    const int n = areaSize_[k], root = areaCell_[k];
    const auto in = [&](int c) { return litValue(PosLit(varAt(k, c))); };
    ++stampNow_;
    int len = 0;
    queue_[len++] = root;
    stamp_[root] = stampNow_;
    depth_[root] = 0;
    for (int qi = 0; qi < len; ++qi) {
        const int c = queue_[qi];
        for (int i = orthStart_[c]; i < orthStart_[c + 1]; ++i) {
            const int e = orth_[i], u = varAt(k, e);
            if (u < 0 || stamp_[e] == stampNow_ || litValue(PosLit(u)) != kTrue) continue;
            stamp_[e] = stampNow_;
            depth_[e] = 0;
            queue_[len++] = e;
        }
    }
    const int kept = len, room = n - kept;
    for (int qi = 0; qi < len; ++qi) {
        const int c = queue_[qi];
        if (depth_[c] >= room) continue;
        for (int i = orthStart_[c]; i < orthStart_[c + 1]; ++i) {
            const int e = orth_[i], u = varAt(k, e);
            if (u < 0 || stamp_[e] == stampNow_ || litValue(PosLit(u)) == kFalse) continue;
            stamp_[e] = stampNow_;
            depth_[e] = depth_[c] + 1;
            queue_[len++] = e;
        }
    }
    if (len <= n || kept == n) return true; // reachArea settles these

    // Depth-first over R; sub_ holds a cell of the area in the subtree (or
    // -1), cutSize_ / cutCell_ what the cell's removal would cut off.
    ++markNow_;
    int timer = 0, top = 0, cuts = 0;
    const auto open = [&](int c, int p) {
        mark_[c] = markNow_;
        disc_[c] = low_[c] = timer++;
        parent_[c] = p;
        size_[c] = 1;
        sub_[c] = in(c) == kTrue ? c : -1;
        cutSize_[c] = 0;
        cutCell_[c] = -1;
        next_[c] = orthStart_[c];
        stack_[top++] = c;
    };
    open(root, -1);
    while (top > 0) {
        const int v = stack_[top - 1];
        if (next_[v] < orthStart_[v + 1]) {
            const int u = orth_[next_[v]++];
            if (stamp_[u] != stampNow_) continue;
            if (mark_[u] != markNow_)
                open(u, v);
            else if (u != parent_[v])
                low_[v] = std::min(low_[v], disc_[u]);
            continue;
        }
        --top;
        if (v != root && in(v) == kUnset &&
            (len - 1 - cutSize_[v] < n || cutCell_[v] >= 0))
            cut_[cuts++] = v;
        const int p = parent_[v];
        if (p < 0) continue;
        low_[p] = std::min(low_[p], low_[v]);
        size_[p] += size_[v];
        if (sub_[p] < 0) sub_[p] = sub_[v];
        if (low_[v] >= disc_[p]) {
            cutSize_[p] += size_[v];
            if (cutCell_[p] < 0) cutCell_[p] = sub_[v];
        }
    }
    // Each conclusion is explained, when it can be, by the false cells round
    // the part of the cells whose x(c, k) is not false that stays joined to
    // the clue without p (no distance needed); else by K and the false cells
    // beside the cells of R fewer than `room` steps out.
    bool fenced = false;
    int ref = 0;
    for (int i = 0; i < cuts; ++i) {
        const int p = cut_[i];
        int trues = 0;
        const int m = joinedWithout(k, p, trues);
        int r;
        if (m < n || trues < trueCount_[k]) {
            if (m >= n) {
                for (int j = areaStart_[k]; j < areaStart_[k + 1]; ++j) {
                    const int u = areaVars_[j];
                    if (litValue(PosLit(u)) == kTrue && mark_[xCell(u)] != markNow_) {
                        addExpl(NegLit(u));
                        break;
                    }
                }
            }
            r = storeExpl();
        } else if (len - 1 - cutSize_[p] < n) {
            if (ref == 0) {
                if (!fenced) fenceExpl(k, kept, len, room), fenced = true;
                expl_ = spare_;
                ref = storeExpl();
            }
            r = ref;
        } else {
            if (!fenced) fenceExpl(k, kept, len, room), fenced = true;
            expl_ = spare_;
            addExpl(NegLit(varAt(k, cutCell_[p])));
            r = storeExpl();
        }
        if (!imply(PosLit(varAt(k, p)), r)) return false;
    }
    return true;
}

// The part of the cells whose x(c, k) is not false joined to the clue without
// cell p, marked (mark_) and counted, with the cells of the area in it
// (`trues`), and in expl_ the false cells round it. The search stops once it
// holds n_k cells and every cell of the area.
int Engine::joinedWithout(int k, int p, int& trues) {
    const int n = areaSize_[k], root = areaCell_[k];
    ++markNow_;
    mark_[p] = markNow_;
    mark_[root] = markNow_;
    int m = 0;
    order_[m++] = root;
    expl_.clear();
    trues = 0;
    for (int qi = 0; qi < m && (m < n || trues < trueCount_[k]); ++qi) {
        const int c = order_[qi];
        if (litValue(PosLit(varAt(k, c))) == kTrue) ++trues;
        for (int j = orthStart_[c]; j < orthStart_[c + 1]; ++j) {
            const int e = orth_[j], u = varAt(k, e);
            if (u < 0 || mark_[e] == markNow_) continue;
            mark_[e] = markNow_;
            if (litValue(PosLit(u)) == kFalse)
                addExpl(PosLit(u));
            else
                order_[m++] = e;
        }
    }
    return m;
}

// Into spare_: K (queue_[0, kept)) and the false cells beside the cells of
// queue_[0, len) fewer than `room` steps out.
void Engine::fenceExpl(int k, int kept, int len, int room) {
    expl_.clear();
    for (int qi = 0; qi < kept; ++qi)
        addExpl(NegLit(varAt(k, queue_[qi])));
    ++markNow_;
    for (int qi = 0; qi < len && depth_[queue_[qi]] < room; ++qi) {
        const int c = queue_[qi];
        for (int i = orthStart_[c]; i < orthStart_[c + 1]; ++i) {
            const int e = orth_[i];
            if (varAt(k, e) < 0 || stamp_[e] == stampNow_ || mark_[e] == markNow_) continue;
            mark_[e] = markNow_;
            addExpl(PosLit(varAt(k, e)));
        }
    }
    spare_ = expl_;
}

// Area component: the cells whose x(c, k) is not false joined to the clue
// through such cells; a cell of area k outside it is not in the area, fewer
// than n_k cells fail, exactly n_k take them all; because of the false cells
// round it (no distance needed, so the clause learnt holds wherever those
// cells are false).
bool Engine::joinArea(int k) {
    const int n = areaSize_[k], root = areaCell_[k];
    ++markNow_;
    mark_[root] = markNow_;
    int m = 0;
    order_[m++] = root;
    expl_.clear();
    for (int qi = 0; qi < m; ++qi) {
        const int c = order_[qi];
        for (int j = orthStart_[c]; j < orthStart_[c + 1]; ++j) {
            const int e = orth_[j], u = varAt(k, e);
            if (u < 0 || mark_[e] == markNow_) continue;
            mark_[e] = markNow_;
            if (litValue(PosLit(u)) == kFalse)
                addExpl(PosLit(u));
            else
                order_[m++] = e;
        }
    }
    if (m < n) {
        conflict_ = expl_;
        return false;
    }
    int ref = 0;
    // A cell outside, with the others of its pocket: because of the false
    // cells round the pocket when they are fewer.
    spare_ = expl_;
    for (int i = areaStart_[k]; i < areaStart_[k + 1]; ++i) {
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
        if (ref == 0) expl_ = spare_;
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
