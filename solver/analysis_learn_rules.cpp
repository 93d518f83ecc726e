// The propagators of the learning analysis (see analysis_learn_engine.h),
// each conclusion with its explanation.
#include "analysis_learn_engine.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <vector>

namespace ombrix::learn {
bool Engine::propagate() {
    while (true) {
        if (!propagateUnits()) return false;
        const std::size_t before = trail_.size();
        while (!fullAreas_.empty()) {
            const int k = fullAreas_.back();
            fullAreas_.pop_back();
            areaFull_[k] = 0;
            if (!fillArea(k)) return false;
        }
        if (countDirty_) {
            countDirty_ = false;
            if (!countColours()) return false;
        }
        if (trail_.size() != before) continue;
        while (!dirtyAreas_.empty() && trail_.size() == before) {
            const int k = dirtyAreas_.back();
            dirtyAreas_.pop_back();
            areaDirty_[k] = 0;
            // Both rules from one walk while joinArea finds nothing.
            bool joined = false;
            if (!(clean_[k] & (kJoinClean | kReachClean)) && !reachArea(k, &joined)) return false;
            if (joined) {
                partNow_[k] = kWholePart;
                clean_[k] |= kJoinClean | kReachClean;
            } else {
                if (!(clean_[k] & kJoinClean) && !joinArea(k)) return false;
                // A full area that joinArea lets be has no cell left to decide.
                clean_[k] |= trueCount_[k] == areaSize_[k] ? kJoinClean | kReachClean | kChokeClean
                                                           : kJoinClean;
                if (!(clean_[k] & kReachClean) && !reachArea(k)) return false;
                clean_[k] |= kReachClean;
            }
            if (!chokeDirty_[k]) chokeDirty_[k] = 1, chokeAreas_.push_back(k);
        }
        if (trail_.size() != before) continue;
        if (blackDirty_) {
            blackDirty_ = false;
            if (!connectBlack()) return false;
        }
        if (trail_.size() != before) continue;
        while (!chokeAreas_.empty() && trail_.size() == before) {
            const int k = chokeAreas_.back();
            chokeAreas_.pop_back();
            chokeDirty_[k] = 0;
            if (clean_[k] & kChokeClean) continue;
            if (!chokeArea(k)) return false;
            // A cell it put in the area may be cut off by another cell.
            if (trail_.size() == before) clean_[k] |= kChokeClean;
        }
        if (trail_.size() == before && qhead_ == trail_.size()) return true;
    }
}

bool Engine::propagateUnits() {
    while (qhead_ < trail_.size()) {
        const Lit p = trail_[qhead_++];
        if (isX(VarOf(p)) && !(p & 1) && !spreadArea(p)) return false;
        const Lit f = Neg(p);
        // The list is not added to while it is walked: a watch moves to
        // another literal of its clause, never to f.
        std::vector<Watch>& ws = watches_[f];
        Watch* i = ws.data();
        Watch* j = i;
        Watch* const end = i + ws.size();
        const auto fail = [&] {
            while (i < end)
                *j++ = *i++;
            ws.resize(static_cast<std::size_t>(j - ws.data()));
            return false;
        };
        while (i < end) {
            const Watch wt = *i++;
            const std::int8_t blocker = litValue(wt.blocker);
            if (blocker == kTrue) {
                *j++ = wt;
                continue;
            }
            if (wt.ref < 0) {
                *j++ = wt;
                if (blocker == kUnset) {
                    enqueue(wt.blocker, -1 - wt.ref);
                    continue;
                }
                conflict_.assign({f, wt.blocker});
                return fail();
            }
            Lit* L = store_.data() + wt.ref;
            const int n = L[-1];
            if (L[0] == f) std::swap(L[0], L[1]);
            const Lit first = L[0];
            if (first != wt.blocker && litValue(first) == kTrue) {
                *j++ = {wt.ref, first};
                continue;
            }
            bool moved = false;
            for (int k = 2; k < n; ++k) {
                if (litValue(L[k]) != kFalse) {
                    L[1] = L[k];
                    L[k] = f;
                    watches_[L[1]].push_back({wt.ref, first});
                    moved = true;
                    break;
                }
            }
            if (moved) continue;
            *j++ = {wt.ref, first};
            if (litValue(first) == kFalse) {
                conflict_.assign(L, L + n);
                return fail();
            }
            enqueue(first, wt.ref);
        }
        ws.resize(static_cast<std::size_t>(j - ws.data()));
    }
    return true;
}

bool Engine::spreadArea(Lit p) {
    const int v = VarOf(p), d = xCell(v), j = xArea(v);
    int ref = 0;
    const auto clear = [&](int c) {
        const int own = varAt(j, c);
        // Nothing to clear when no other area's x of c is left.
        if (cellOpen_[c] == (own >= 0 && litValue(PosLit(own)) != kFalse)) return true;
        for (int i = cellStart_[c]; i < cellStart_[c + 1]; ++i) {
            const int u = cellVars_[i];
            if (u == own || litValue(PosLit(u)) == kFalse) continue;
            if (ref == 0) {
                expl_.clear();
                addExpl(Neg(p));
                ref = storeExpl();
            }
            if (!imply(NegLit(u), ref)) return false;
        }
        return true;
    };
    if (!clear(d)) return false;
    for (int i = ringStart_[d]; i < ringStart_[d + 1]; ++i)
        if (!clear(ring_[i])) return false;
    return true;
}

bool Engine::fillArea(int k) {
    if (trueCount_[k] < areaSize_[k]) return true;
    expl_.clear();
    for (int i = areaStart_[k]; i < areaStart_[k + 1]; ++i)
        if (litValue(PosLit(areaVars_[i])) == kTrue) addExpl(NegLit(areaVars_[i]));
    if (trueCount_[k] > areaSize_[k]) {
        conflict_ = expl_;
        return false;
    }
    int ref = 0;
    for (int i = areaStart_[k]; i < areaStart_[k + 1]; ++i) {
        const int u = areaVars_[i];
        if (litValue(PosLit(u)) != kUnset) continue;
        if (ref == 0) ref = storeExpl();
        enqueue(NegLit(u), ref);
    }
    return true;
}

bool Engine::countColours() {
    for (const bool white : {true, false}) {
        const int count = white ? whiteCount_ : blackCount_;
        if (count < (white ? whiteTotal_ : blackTotal_)) continue;
        const std::int8_t colour = white ? kFalse : kTrue;
        expl_.clear();
        for (int c = 0; c < cells_; ++c)
            if (value_[c] == colour) addExpl(white ? PosLit(c) : NegLit(c));
        if (count > (white ? whiteTotal_ : blackTotal_)) {
            conflict_ = expl_;
            return false;
        }
        int ref = 0;
        for (int c = 0; c < cells_; ++c) {
            if (value_[c] != kUnset) continue;
            if (ref == 0) ref = storeExpl();
            enqueue(white ? PosLit(c) : NegLit(c), ref);
        }
    }
    return true;
}

// Word i of the cells beside those of the bit set `s` of `words` words (cell
// c at bit c: c -+ 1 up and down its column, c -+ h across).
inline std::uint64_t Engine::beside(const std::uint64_t* s, int i, int words) const {
    const int h = h_;
    const std::uint64_t low = s[i] & notFirstRow_[i], high = s[i] & notLastRow_[i];
    std::uint64_t m = (high << 1) | (low >> 1) | (s[i] << h) | (s[i] >> h);
    if (i > 0) m |= ((s[i - 1] & notLastRow_[i - 1]) >> 63) | (s[i - 1] >> (64 - h));
    if (i + 1 < words) m |= ((s[i + 1] & notFirstRow_[i + 1]) << 63) | (s[i + 1] << (64 - h));
    return m;
}

// reachArea's outcome from the bits (see beside) when it finds nothing: true
// then, with `joined` as its walk would set it; false when the walk is to be
// made.
template <int W> bool Engine::reachQuick(int k, bool* joined) {
    using Set = std::array<std::uint64_t, W>;
    const std::size_t at = static_cast<std::size_t>(k) * kBitWords;
    const std::uint64_t* const openBits = openBits_.data() + at;
    const std::uint64_t* const trueBits = trueBits_.data() + at;
    // `s` and its neighbours in `within`.
    const auto spread = [&](const Set& s, const std::uint64_t* within) {
        Set out;
        for (int i = 0; i < W; ++i)
            out[i] = s[i] | (beside(s.data(), i, W) & within[i]);
        return out;
    };
    const auto same = [&](const Set& a, const std::uint64_t* b) {
        for (int i = 0; i < W; ++i)
            if (a[i] != b[i]) return false;
        return true;
    };
    const int n = areaSize_[k], open = openCount_[k];
    Set part{};
    part[areaCell_[k] >> 6] = std::uint64_t{1} << (areaCell_[k] & 63);
    // K, then the cells at most `room` steps from it.
    for (Set next = spread(part, trueBits); next != part; next = spread(part, trueBits))
        part = next;
    int room = n;
    for (int i = 0; i < W; ++i)
        room -= std::popcount(part[i]);
    for (; room > 0 && !same(part, openBits); --room) {
        const Set next = spread(part, openBits);
        if (next == part) break;
        part = next;
    }
    if (open > n && same(part, openBits)) {
        if (joined) *joined = true;
        return true;
    }
    if (!joined) return false;
    // G: unless it holds more than n_k cells and every cell whose x is not
    // false, the walk returns at once with `joined` false.
    for (Set next = spread(part, openBits); next != part; next = spread(part, openBits))
        part = next;
    if (open > n && same(part, openBits)) return false;
    *joined = false;
    return true;
}

// With `joined`, the walk goes on past `room` over the whole part G (the
// cells whose x(c, k) is not false joined to the clue, all reached from K):
// unless G holds more than n_k cells and every cell that may be in the area,
// joinArea may find something, and it returns with `joined` false, having
// changed nothing; else joinArea would find nothing and the rule goes on.
bool Engine::reachArea(int k, bool* joined) {
    const bool quick = bitWords_ == 1   ? reachQuick<1>(k, joined)
                       : bitWords_ == 2 ? reachQuick<2>(k, joined)
                       : bitWords_ == 3 ? reachQuick<3>(k, joined)
                                        : bitWords_ == 4 && reachQuick<4>(k, joined);
    if (quick) return true;
    // Else the walk.
    const int n = areaSize_[k], now = ++stampNow_;
    // Plain pointers in the walks: the compiler need not reload what a
    // store into an int array might have changed.
    int* const stamp = stamp_.data();
    int* const depth = depth_.data();
    int* const queue = queue_.data();
    const int* const orthStart = orthStart_.data();
    const int* const orth = orth_.data();
    const int* const var = varAt_.data() + static_cast<std::size_t>(k) * cells_;
    const std::int8_t* const value = value_.data();
    int len = 0;
    queue[len++] = areaCell_[k];
    stamp[areaCell_[k]] = now;
    depth[areaCell_[k]] = 0;
    // The part K: the cells of area k joined to its clue through cells of it.
    for (int qi = 0; qi < len; ++qi) {
        const int c = queue[qi];
        for (int i = orthStart[c]; i < orthStart[c + 1]; ++i) {
            const int e = orth[i], u = var[e];
            if (u < 0 || stamp[e] == now || value[u] != kTrue) continue;
            stamp[e] = now;
            depth[e] = 0;
            queue[len++] = e;
        }
    }
    const int kept = len, room = n - kept;
    // Then the cells at most `room` steps from K; once they are more than
    // n_k and every cell whose x(c, k) is not false, nothing follows.
    const int open = openCount_[k];
    for (int qi = 0; qi < len; ++qi) {
        if (len == open && (joined || len > n)) {
            if (!joined) return true;
            break; // all of G found, each at its fewest steps
        }
        const int c = queue[qi];
        if (depth[c] >= room && !joined) continue;
        for (int i = orthStart[c]; i < orthStart[c + 1]; ++i) {
            const int e = orth[i], u = var[e];
            if (u < 0 || stamp[e] == now || value[u] == kFalse) continue;
            stamp[e] = now;
            depth[e] = depth[c] + 1;
            queue[len++] = e;
        }
    }
    if (joined) {
        *joined = len > n && len == open;
        if (!*joined) return true;
        // Back to the cells at most `room` steps from K.
        const int whole = len;
        len = kept;
        while (len < whole && depth[queue[len]] <= room)
            ++len;
        for (int qi = len; qi < whole; ++qi)
            stamp[queue[qi]] = now - 1;
        if (len == open && len > n) return true;
    }
    // K, and the false cells beside the cells fewer than `room` steps out,
    // each with the fewest steps to it (the first time the breadth-first
    // order meets it); with a target cell t, only those from which t could
    // still be met in time.
    bool fenced = false;
    const auto explain = [&](int t) {
        if (!fenced) {
            fenced = true;
            fence_.clear();
            ++markNow_;
            for (int qi = 0; qi < len && depth_[queue_[qi]] < room; ++qi) {
                const int c = queue_[qi];
                for (int i = orthStart_[c]; i < orthStart_[c + 1]; ++i) {
                    const int e = orth_[i];
                    if (varAt(k, e) < 0 || stamp_[e] == stampNow_ || mark_[e] == markNow_) continue;
                    mark_[e] = markNow_;
                    fence_.push_back({e, depth_[c] + 1, col_[e], row_[e]});
                }
            }
        }
        expl_.clear();
        for (int qi = 0; qi < kept; ++qi)
            addExpl(NegLit(varAt(k, queue_[qi])));
        const int tx = t < 0 ? 0 : col_[t], ty = t < 0 ? 0 : row_[t];
        for (const Fence& f : fence_)
            if (t < 0 || f.steps + std::abs(f.x - tx) + std::abs(f.y - ty) <= room)
                addExpl(PosLit(varAt(k, f.cell)));
    };
    if (len < n) {
        explain(-1);
        conflict_ = expl_;
        return false;
    }
    // Every cell that may still be in the area reached: nothing to cut.
    for (int i = areaStart_[k]; i < areaStart_[k + 1] && len < openCount_[k]; ++i) {
        const int u = areaVars_[i];
        if (stamp[xCell(u)] == now || value[u] == kFalse) continue;
        explain(xCell(u));
        if (!imply(NegLit(u), storeExpl())) return false;
    }
    if (len == n) {
        int ref = 0;
        for (int qi = 0; qi < len; ++qi) {
            const int u = varAt(k, queue_[qi]);
            if (litValue(PosLit(u)) == kTrue) continue;
            if (ref == 0) explain(-1), ref = storeExpl();
            if (!imply(PosLit(u), ref)) return false;
        }
    }
    return true;
}

// Black connectivity's shortcuts (see blackPass_). A cell of the last quiet
// pass's search that has turned white, when no pass could find more for it:
// a leaf w of that search's
// tree, whose removal keeps the rest joined by the tree, and lowers no cell
// c's reach back (low) past c's parent q while c's subtree holds a black
// cell, or q could become a cut cell. w's other edges go to its ancestors;
// one to u lowers only the cells c below u whose parent is below u too, so
// with t the highest ancestor of w whose subtree holds no black cell, none
// may go above t's grandparent.
bool Engine::leafQuiet(int w) const {
    const BlackCell* const node = black_.data();
    if (node[w].size != 1) return false;
    int m = cells_;
    for (int e = orthStart_[w]; e < orthStart_[w + 1]; ++e) {
        const int u = orth_[e];
        if (node[u].stamp == blackStampNow_ && u != node[w].parent) m = std::min(m, node[u].disc);
    }
    if (m == cells_) return true;
    int t = w;
    while (node[t].parent >= 0 && node[node[t].parent].sub == 0)
        t = node[t].parent;
    const int p1 = node[t].parent;
    const int p2 = p1 < 0 ? -1 : node[p1].parent;
    return p2 < 0 || node[p2].disc <= m;
}

// A cell that has turned white while the eight cells round it are not
// white: they join its neighbours with and without any one cell, so its
// removal cuts nothing apart and makes no cut cell, whatever else is removed
// while they stay. nearRing: a cell beside such a cell, which would break its
// ring.
bool Engine::ringQuiet(int w) const {
    const int x = col_[w] + 1, y = row_[w] + 1;
    if (x <= 1 || x >= w_ || y <= 1 || y >= h_) return false;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if ((dx != 0 || dy != 0) && value_[cell(x + dx, y + dy)] == kFalse) return false;
    return true;
}

bool Engine::nearRing(int w) const {
    const int x = col_[w] + 1, y = row_[w] + 1;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (puzzle_.isPlayable(x + dx, y + dy) &&
                ringMark_[cell(x + dx, y + dy)] == blackStampNow_)
                return true;
    return false;
}

// A cell of the last quiet pass's search that has turned white and was no
// cut cell of it, when its block lies below its top child x (the first of
// the cell and its ancestors whose subtree reaches back no higher than its
// parent) and x's subtree holds no black cell: the rest stays joined, and a
// cut cell that its removal makes, inside that block, cuts off only cells of
// x's subtree. Returns x, or -1.
int Engine::deadBlock(int w) const {
    const BlackCell* const node = black_.data();
    for (int e = orthStart_[w]; e < orthStart_[w + 1]; ++e) {
        const int u = orth_[e];
        if (node[u].stamp == blackStampNow_ && node[u].parent == w && node[u].low >= node[w].disc)
            return -1;
    }
    for (int x = w; node[x].sub == 0; x = node[x].parent)
        if (node[x].low >= node[node[x].parent].disc) return x;
    return -1;
}

// The cells beside those of `s` (see beside) that lie in `within`, counted.
int Engine::besideCount(const std::uint64_t* s, const std::uint64_t* within) const {
    int count = 0;
    for (int i = 0; i < bitWords_; ++i)
        count += std::popcount(beside(s, i, bitWords_) & within[i]);
    return count;
}

bool Engine::connectBlack() {
    // Since a pass that found nothing: see the header (blackPass_).
    if (blackPass_ != kNoPass) {
        std::size_t i = blackPass_;
        for (; i < trail_.size(); ++i) {
            const Lit l = trail_[i];
            const int c = VarOf(l);
            if (c >= cells_) continue;
            if (l & 1) {
                if (nearRing(c)) break;
                if (ringQuiet(c)) {
                    ringMark_[c] = blackStampNow_;
                } else if (leafQuiet(c)) {
                    leafSince_ = true;
                } else {
                    const int b = deadBlock(c);
                    if (b < 0 || blockUsed_[b] == blackStampNow_) break;
                    blockUsed_[b] = blackStampNow_;
                    deadSince_ = true;
                }
            } else if (sens_[c] == sensNow_) {
                break;
            } else if (black_[c].sub == 0) {
                offSpineSince_ = true;
            }
            if (((leafSince_ || deadSince_) && offSpineSince_) || (leafSince_ && deadSince_)) break;
        }
        if (i == trail_.size()) {
            blackPass_ = i;
            return true;
        }
        blackPass_ = blackPassAt_ = kNoPass;
    }
    leafSince_ = deadSince_ = offSpineSince_ = false;
    int s0 = -1;
    for (int c = 0; c < cells_ && s0 < 0; ++c)
        if (value_[c] == kTrue) s0 = c;
    if (s0 < 0) return true;
    const int now = ++blackStampNow_;
    // Plain pointers in the walk (see reachArea).
    BlackCell* const node = black_.data();
    int* const order = order_.data();
    const int* const orthStart = orthStart_.data();
    const int* const orth = orth_.data();
    const std::int8_t* const value = value_.data();
    int timer = 0, cuts = 0;
    quiet_.clear();
    node[s0].stamp = now;
    node[s0].disc = timer;
    order[timer++] = s0;
    node[s0].parent = -1;
    node[s0].sub = 1;
    // The cell on top of the search: where its look at its neighbours
    // stands, its low link and its parent, kept in locals (the cells below it
    // keep theirs in `node`).
    // The edge back to the parent counts in the low links too: it takes a
    // cell's low link no lower than its parent's discovery, so that every
    // test of a low link against its parent's (here and in deadBlock) comes
    // out as without it.
    int v = s0, i = orthStart[s0], lv = 0, pv = -1;
    while (true) {
        const int last = orthStart[v + 1];
        for (; i < last; ++i) {
            const int u = orth[i];
            if (value[u] == kFalse) continue;
            if (node[u].stamp != now) break;
            lv = std::min(lv, node[u].disc);
        }
        node[v].low = lv;
        if (i < last) {
            const int u = orth[i];
            node[v].next = i + 1;
            BlackCell& nu = node[u];
            nu.stamp = now;
            nu.disc = lv = timer;
            order[timer++] = u;
            nu.parent = pv = v;
            nu.sub = value[u] == kTrue;
            v = u;
            i = orthStart[u];
            continue;
        }
        // The subtree of v: order_[disc, timer).
        node[v].size = timer - node[v].disc;
        const int p = pv;
        if (p < 0) break;
        node[p].sub += node[v].sub;
        if (lv >= node[p].disc && value[p] == kUnset) {
            if (node[v].sub > 0)
                cut_[cuts++] = v;
            else
                quiet_.push_back(v);
        }
        lv = std::min(node[p].low, lv);
        v = p;
        i = node[p].next;
        pv = node[p].parent;
    }
    // The white cells round order_[from, to) but for `skip`, once each
    // since the mark was last moved on.
    const auto boundary = [&](int from, int to, int skip) {
        int* const mark = mark_.data();
        const int mk = markNow_;
        for (int i = from; i < to; ++i) {
            const int c = order[i];
            if (c == skip) continue;
            for (int e = orthStart[c]; e < orthStart[c + 1]; ++e) {
                const int d = orth[e];
                if (value[d] != kFalse || mark[d] == mk) continue;
                mark[d] = mk;
                addExpl(PosLit(d));
            }
        }
    };
    // The cells outside that search, pocket by pocket.
    int end = timer;
    for (int c0 = 0; c0 < cells_ && timer < cells_ - whiteCount_; ++c0) {
        if (node[c0].stamp == now || value_[c0] == kFalse) continue;
        const int from = end;
        int black = -1;
        node[c0].stamp = now;
        order_[end++] = c0;
        for (int i = from; i < end; ++i) {
            const int c = order_[i];
            if (value_[c] == kTrue && black < 0) black = c;
            for (int e = orthStart_[c]; e < orthStart_[c + 1]; ++e) {
                const int d = orth_[e];
                if (value_[d] == kFalse || node[d].stamp == now) continue;
                node[d].stamp = now;
                order_[end++] = d;
            }
        }
        expl_.clear();
        ++markNow_;
        addExpl(NegLit(s0));
        if (black >= 0) addExpl(NegLit(black));
        const std::size_t head = expl_.size();
        boundary(from, end, -1);
        if (black >= 0) {
            spare_ = expl_;
            expl_.resize(head);
            ++markNow_;
            boundary(0, timer, -1);
            conflict_ = expl_.size() < spare_.size() ? expl_ : spare_;
            return false;
        }
        const int ref = storeExpl();
        for (int i = from; i < end; ++i)
            enqueue(NegLit(order_[i]), ref);
    }
    // A cut cell's reason: the white cells round the side cut off, or round
    // the rest but for the cut cell when they are fewer. On a board of bit
    // sets the two are counted first (the white cells set above level 0, as
    // addExpl takes them), and only the one taken is walked.
    using Bits = std::array<std::uint64_t, kBitWords>;
    Bits search{}, white{};
    if (cuts > 0 && bitWords_) {
        for (int i = 0; i < timer; ++i)
            search[order[i] >> 6] |= std::uint64_t{1} << (order[i] & 63);
        for (int c = 0; c < cells_; ++c)
            if (value_[c] == kFalse && level_[c] > 0) white[c >> 6] |= std::uint64_t{1} << (c & 63);
    }
    for (int i = 0; i < cuts; ++i) {
        const int v = cut_[i], p = node[v].parent;
        if (value_[p] != kUnset) continue;
        const int lo = node[v].disc, hi = lo + node[v].size;
        int s = -1;
        for (int j = lo; j < hi && s < 0; ++j)
            if (value_[order_[j]] == kTrue) s = order_[j];
        expl_.clear();
        ++markNow_;
        addExpl(NegLit(s0));
        addExpl(NegLit(s));
        if (bitWords_) {
            Bits part{};
            for (int j = lo; j < hi; ++j)
                part[order[j] >> 6] |= std::uint64_t{1} << (order[j] & 63);
            Bits rest;
            for (int w = 0; w < kBitWords; ++w)
                rest[w] = search[w] & ~part[w];
            rest[p >> 6] &= ~(std::uint64_t{1} << (p & 63));
            if (besideCount(part.data(), white.data()) < besideCount(rest.data(), white.data())) {
                boundary(lo, hi, -1);
            } else {
                boundary(0, lo, p);
                boundary(hi, timer, p);
            }
        } else {
            const std::size_t head = expl_.size();
            boundary(lo, hi, -1);
            spare_ = expl_;
            expl_.resize(head);
            ++markNow_;
            boundary(0, lo, p);
            boundary(hi, timer, p);
            if (spare_.size() < expl_.size()) expl_ = spare_;
        }
        enqueue(PosLit(p), storeExpl());
    }
    // What it found leaves the search as it was: the cells it made white lie
    // outside it, the cut cells it made black on the tree paths to black
    // cells, and no other cut cell is left undecided. Mark the cells of the
    // parts that an undecided cut cell would cut off (outer parts first, so
    // each cell once).
    blackPass_ = blackPassAt_ = trail_.size();
    ++sensNow_;
    for (auto it = quiet_.rbegin(); it != quiet_.rend(); ++it) {
        if (sens_[*it] == sensNow_) continue;
        for (int i = node[*it].disc; i < node[*it].disc + node[*it].size; ++i)
            sens_[order_[i]] = sensNow_;
    }
    return true;
}

} // namespace ombrix::learn
