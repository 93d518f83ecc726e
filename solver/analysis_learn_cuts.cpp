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
// for the second form the missed cell of lowest index). The cells p are found
// with Tarjan's low links over G from the clue, with each subtree's cell of
// the area of lowest index. Every cell of G is then in the area or undecided,
// since joinArea has run on the same false cells.
bool Engine::chokeArea(int k) {
    constexpr int kNone = 1 << 30;
    // The walk goes over the area's x variables, each by its index from
    // cells_ (in the order of their cells).
    const int n = areaSize_[k], root = varAt(k, areaCell_[k]) - cells_;
    // Plain pointers in the walk (see reachArea).
    const std::int8_t* const value = value_.data() + cells_;
    ChokeCell* const node = choke_.data();
    const int* const orthStart = xOrthStart_.data();
    const int* const orth = xOrth_.data();
    // sub holds the lowest cell of the area in the subtree (kNone when none),
    // cutSize / cutCell the size and lowest cell of the area of what the
    // cell's removal would cut off.
    const int mk = ++chokeStampNow_;
    int timer = 0, cuts = 0;
    const auto open = [&](int c, int p) {
        ChokeCell& nc = node[c];
        nc.stamp = mk;
        nc.disc = timer++;
        nc.parent = p;
        nc.sub = value[c] == kTrue ? c : kNone;
        nc.cutSize = 0;
        nc.cutCell = kNone;
    };
    open(root, -1);
    // The cell on top of the walk: where its look at its neighbours stands,
    // its low link and its parent, kept in locals; the edge back to the
    // parent counts in the low links (see connectBlack).
    int v = root, i = orthStart[root], lv = 0, pv = -1;
    while (true) {
        const int last = orthStart[v + 1];
        for (; i < last; ++i) {
            const int u = orth[i];
            if (value[u] == kFalse) continue;
            if (node[u].stamp != mk) break;
            lv = std::min(lv, node[u].disc);
        }
        if (i < last) {
            const int u = orth[i];
            node[v].next = i + 1;
            node[v].low = lv;
            open(u, v);
            lv = node[u].disc;
            pv = v;
            v = u;
            i = orthStart[u];
            continue;
        }
        const ChokeCell& nv = node[v];
        if (v != root && value[v] == kUnset &&
            (nv.cutSize > 0 || nv.cutCell != kNone || timer - 1 < n))
            cut_[cuts++] = v;
        const int p = pv;
        if (p < 0) break;
        ChokeCell& np = node[p];
        np.sub = std::min(np.sub, nv.sub);
        if (lv >= np.disc) {
            np.cutSize += timer - nv.disc; // v's subtree: the cells found since v
            np.cutCell = std::min(np.cutCell, nv.sub);
        }
        lv = std::min(np.low, lv);
        v = p;
        i = np.next;
        pv = np.parent;
    }
    // The cells p, in the order the walk left them.
    int found = 0;
    for (int i = 0; i < cuts; ++i)
        if (timer - 1 - node[cut_[i]].cutSize < n || node[cut_[i]].cutCell != kNone)
            cut_[found++] = cut_[i];
    for (int i = 0; i < found; ++i) {
        const int p = cut_[i];
        int trues = 0;
        if (joinedWithout(k, p, trues) >= n) {
            // The lowest cell of the area cut off: of those when the walk
            // ran, or one of the cells p put in the area since.
            int missed = node[p].cutCell;
            for (int j = 0; j < i; ++j)
                if (xMark_[cut_[j]] != xMarkNow_) missed = std::min(missed, cut_[j]);
            if (missed == kNone) continue; // not reached: the sizes above agree
            addExpl(NegLit(cells_ + missed));
        }
        if (!imply(PosLit(cells_ + p), storeExpl())) return false;
    }
    return true;
}

// The part of the cells whose x(c, k) is not false joined to the clue without
// cell p (p = -1: the whole part), in order_ (as the indices of their x
// variables from cells_, as p), marked (xMark_) and counted, with the cells
// of the area in it (`trues`), and in expl_ the false cells round it.
// Without a cell p the search stops once it holds n_k cells and every cell of
// the area; with none, once it holds more than n_k cells and every cell whose
// x(c, k) is not false (the rule then finds nothing).
int Engine::joinedWithout(int k, int p, int& trues) {
    const int n = areaSize_[k], root = varAt(k, areaCell_[k]) - cells_, mk = ++xMarkNow_,
              need = trueCount_[k];
    // Plain pointers in the walk (see reachArea).
    int* const mark = xMark_.data();
    int* const order = order_.data();
    const int* const orthStart = xOrthStart_.data();
    const int* const orth = xOrth_.data();
    const std::int8_t* const value = value_.data() + cells_;
    if (p >= 0) mark[p] = mk;
    mark[root] = mk;
    int m = 0, t = 0;
    order[m++] = root;
    expl_.clear();
    const int open = p < 0 && n < openCount_[k] ? openCount_[k] : cells_ + 1;
    for (int qi = 0; qi < m && m < open && (p < 0 || m < n || t < need); ++qi) {
        const int c = order[qi];
        if (value[c] == kTrue) ++t;
        for (int j = orthStart[c]; j < orthStart[c + 1]; ++j) {
            const int e = orth[j];
            if (mark[e] == mk) continue;
            mark[e] = mk;
            if (value[e] == kFalse)
                addExpl(PosLit(cells_ + e));
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
// The walks go over the area's x variables (see chokeArea).
bool Engine::joinArea(int k) {
    const int n = areaSize_[k];
    int trues = 0;
    const int m = joinedWithout(k, -1, trues);
    if (m > n && m == openCount_[k]) {
        partNow_[k] = kWholePart;
        return true;
    }
    partNow_[k] = ++partStamp_;
    for (int qi = 0; qi < m; ++qi)
        partOf_[order_[qi]] = partStamp_;
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
    const std::int8_t* const value = value_.data() + cells_;
    for (int i = areaStart_[k]; i < areaStart_[k + 1] && m < openCount_[k]; ++i) {
        const int u = areaVars_[i] - cells_;
        if (xMark_[u] == xMarkNow_ || value[u] == kFalse) continue;
        int len = 0;
        queue_[len++] = u;
        xMark_[u] = xMarkNow_;
        ++xSeenNow_;
        expl_.clear();
        for (int qi = 0; qi < len; ++qi) {
            const int c = queue_[qi];
            for (int j = xOrthStart_[c]; j < xOrthStart_[c + 1]; ++j) {
                const int e = xOrth_[j];
                if (value[e] == kFalse) {
                    if (xSeen_[e] != xSeenNow_) xSeen_[e] = xSeenNow_, addExpl(PosLit(cells_ + e));
                } else if (xMark_[e] != xMarkNow_) {
                    xMark_[e] = xMarkNow_;
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
            if (!imply(NegLit(cells_ + queue_[qi]), r)) return false;
    }
    if (m == n) {
        if (ref == 0 && outside) expl_ = spare_;
        for (int qi = 0; qi < m; ++qi) {
            const int u = cells_ + order_[qi];
            if (litValue(PosLit(u)) == kTrue) continue;
            if (ref == 0) ref = storeExpl();
            if (!imply(PosLit(u), ref)) return false;
        }
    }
    return true;
}

} // namespace ombrix::learn
