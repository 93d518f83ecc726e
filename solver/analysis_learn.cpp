// The learning analysis: the variables and clauses of a puzzle (see
// analysis_learn_engine.h) and the search over them.
//
// The search: two watched literals, first-UIP learning with minimisation,
// variable activities, Luby restarts, learnt clauses kept in three tiers by
// glue (updated when a clause takes part in a conflict), cut back by activity
// and shortened at restarts (vivify). A solution is blocked by a clause over
// its black cells and the search goes on: no further solution then means
// unique. Searches that share what they learn (see swap) also split the
// space: each decides its cube first (see deal).
//
// Only the x variables are branched on, each decision putting a cell in an
// area (x true): the b variables and the counters follow from the x by
// propagation. Deciding x true (not by a saved phase, which for x is mostly
// false) and not branching on b, r057's 8 mirrored and transposed copies need
// 382,118 nodes in all instead of 556,391.
#include "analysis_learn.h"
#include "analysis_learn_engine.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <tuple>
#include <vector>

namespace ombrix {

namespace learn {

namespace {

// The most counter variables for one area and for the whole board, and the
// conflicts before they are added.
constexpr int kCounterCap = 4000, kCountersCap = 60000;
constexpr std::uint64_t kCountersAfter = 60000;
// Learnt clauses of glue up to kCoreGlue are kept for good, those up to
// kTier2Glue while some conflict met them in the last kTier2Keep conflicts.
// A window of 3,000 conflicts instead of 1,000 and learning from the
// conflicts of vivify (learnFromVivify) each take r057's 8 copies about 3 %
// fewer nodes, 7 % both together.
constexpr int kCoreGlue = 2, kTier2Glue = 6;
constexpr std::uint64_t kTier2Keep = 3000;
// Deals (see deal) look ahead on this many variables, the first one and the
// others.
constexpr std::size_t kDealLook = 64, kRedealLook = 16;
// The conflicts between restarts (times the Luby sequence), per style.
constexpr double kRestartUnit[2] = {64, 128};
// A learnt clause is passed to the other searches (see swap) when it has at
// most this many literals or at most this many levels (glue).
constexpr std::size_t kShareSize = 8;
constexpr int kShareGlue = 6;

// Vivification (see vivify) may set at most this share, in per cent, of
// the literals that the search sets.
constexpr std::uint64_t kVivifyShare = 15;

double Luby(double y, int x) {
    int size = 1, seq = 0;
    while (size < x + 1) {
        ++seq;
        size = 2 * size + 1;
    }
    while (size - 1 != x) {
        size = (size - 1) >> 1;
        --seq;
        x %= size;
    }
    return std::pow(y, seq);
}

} // namespace

// The variables, clauses and neighbour lists; false when a unit at level 0
// already fails.
bool Engine::build() {
    w_ = puzzle_.width, h_ = puzzle_.height, cells_ = w_ * h_;
    tandrel_ = puzzle_.tandrel();
    clueArea_.assign(cells_, -1);
    for (int c = 0; c < cells_; ++c)
        col_.push_back(c / h_), row_.push_back(c % h_);
    given_.assign(cells_, 0);
    for (int x = 1; x <= w_; ++x) {
        for (int y = 1; y <= h_; ++y) {
            const int c = cell(x, y), s = puzzle_.state(x, y);
            if (isClue(static_cast<std::uint8_t>(s))) {
                clueArea_[c] = static_cast<int>(areaCell_.size());
                areaCell_.push_back(c);
                areaSize_.push_back(s);
            } else if (s == GivenBlack) {
                given_[c] = 1;
            }
        }
    }
    const int areas = static_cast<int>(areaCell_.size());
    for (int n : areaSize_)
        whiteTotal_ += n;
    blackTotal_ = cells_ - whiteTotal_;
    // Neighbours: orthogonal, and the ring that areas may not share.
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<int>& start = pass ? ringStart_ : orthStart_;
        std::vector<int>& list = pass ? ring_ : orth_;
        const bool diagonal = pass && tandrel_;
        for (int x = 1; x <= w_; ++x) {
            for (int y = 1; y <= h_; ++y) {
                start.push_back(static_cast<int>(list.size()));
                for (int dx = -1; dx <= 1; ++dx)
                    for (int dy = -1; dy <= 1; ++dy) {
                        if ((dx == 0 && dy == 0) || (!diagonal && dx != 0 && dy != 0)) continue;
                        if (puzzle_.isPlayable(x + dx, y + dy))
                            list.push_back(cell(x + dx, y + dy));
                    }
            }
        }
        start.push_back(static_cast<int>(list.size()));
    }
    // Variables: b for every cell, then x area by area.
    vars_ = cells_;
    varAt_.assign(static_cast<std::size_t>(areas) * cells_, -1);
    std::vector<std::vector<int>> perCell(static_cast<std::size_t>(cells_));
    for (int k = 0; k < areas; ++k) {
        areaStart_.push_back(static_cast<int>(areaVars_.size()));
        const int cx = areaCell_[k] / h_, cy = areaCell_[k] % h_;
        for (int c = 0; c < cells_; ++c) {
            if (std::abs(c / h_ - cx) + std::abs(c % h_ - cy) >= areaSize_[k]) continue;
            if (given_[c] || (clueArea_[c] >= 0 && clueArea_[c] != k)) continue;
            varAt_[static_cast<std::size_t>(k) * cells_ + c] = vars_;
            areaVars_.push_back(vars_);
            xCell_.push_back(c);
            xArea_.push_back(k);
            perCell[c].push_back(vars_);
            ++vars_;
        }
    }
    areaStart_.push_back(static_cast<int>(areaVars_.size()));
    for (int c = 0; c < cells_; ++c) {
        cellStart_.push_back(static_cast<int>(cellVars_.size()));
        cellVars_.insert(cellVars_.end(), perCell[c].begin(), perCell[c].end());
    }
    cellStart_.push_back(static_cast<int>(cellVars_.size()));
    xEnd_ = vars_;

    const std::size_t n = static_cast<std::size_t>(vars_);
    value_.assign(n, kUnset);
    litValue_.assign(2 * n, kUnset);
    level_.assign(n, 0);
    reason_.assign(n, kNoReason);
    activity_.assign(n, 0);
    seen_.assign(n, 0);
    heapPos_.assign(n, -1);
    watches_.assign(2 * n, {});
    trail_.reserve(n);
    trueCount_.assign(areas, 0);
    bitWords_ = cells_ <= kBitWords * 64 && h_ < 64 ? (cells_ + 63) / 64 : 0;
    if (bitWords_) {
        openBits_.assign(static_cast<std::size_t>(areas) * kBitWords, 0);
        trueBits_.assign(static_cast<std::size_t>(areas) * kBitWords, 0);
        for (int v = cells_; v < xEnd_; ++v) {
            const int c = xCell(v);
            openBits_[xArea(v) * kBitWords + (c >> 6)] |= std::uint64_t{1} << (c & 63);
        }
        for (int c = 0; c < cells_; ++c) {
            const std::uint64_t bit = std::uint64_t{1} << (c & 63);
            if (row_[c] != 0) notFirstRow_[c >> 6] |= bit;
            if (row_[c] != h_ - 1) notLastRow_[c >> 6] |= bit;
        }
    }
    openCount_.assign(areas, 0);
    cellOpen_.assign(cells_, 0);
    for (int c = 0; c < cells_; ++c)
        cellOpen_[c] = cellStart_[c + 1] - cellStart_[c];
    for (int k = 0; k < areas; ++k)
        openCount_[k] = areaStart_[k + 1] - areaStart_[k];
    areaDirty_.assign(areas, 0);
    areaFull_.assign(areas, 0);
    chokeDirty_.assign(areas, 0);
    clean_.assign(areas, 0);
    partNow_.assign(areas, 0);
    partOf_.assign(static_cast<std::size_t>(xEnd_ - cells_), 0);
    for (std::vector<int>* v :
         {&stamp_, &mark_, &depth_, &queue_, &order_, &cut_, &sens_, &blockUsed_, &ringMark_})
        v->assign(static_cast<std::size_t>(cells_), 0);
    black_.assign(static_cast<std::size_t>(cells_), {});
    choke_.assign(static_cast<std::size_t>(xEnd_ - cells_), {});
    xMark_.assign(static_cast<std::size_t>(xEnd_ - cells_), 0);
    xSeen_.assign(static_cast<std::size_t>(xEnd_ - cells_), 0);
    for (int v = cells_; v < xEnd_; ++v) {
        xOrthStart_.push_back(static_cast<int>(xOrth_.size()));
        for (int i = orthStart_[xCell(v)]; i < orthStart_[xCell(v) + 1]; ++i)
            if (varAt(xArea(v), orth_[i]) >= 0)
                xOrth_.push_back(varAt(xArea(v), orth_[i]) - cells_);
    }
    xOrthStart_.push_back(static_cast<int>(xOrth_.size()));
    quiet_.reserve(static_cast<std::size_t>(cells_));
    levelMark_.assign(n + 1, 0);
    for (int v = cells_; v < xEnd_; ++v)
        heapInsert(v);

    for (int k = 0; k < areas; ++k) {
        addClause({NegLit(areaCell_[k])});
        addClause({PosLit(varAt(k, areaCell_[k]))});
        markArea(k);
    }
    for (int c = 0; c < cells_; ++c) {
        if (given_[c]) addClause({PosLit(c)});
        std::vector<Lit> some{PosLit(c)};
        for (int i = cellStart_[c]; i < cellStart_[c + 1]; ++i) {
            addClause({NegLit(cellVars_[i]), NegLit(c)});
            some.push_back(PosLit(cellVars_[i]));
        }
        if (clueArea_[c] < 0) addClause(some);
    }
    if (!tandrel_) {
        for (int x = 1; x < w_; ++x)
            for (int y = 1; y < h_; ++y) {
                const int c[4] = {cell(x, y), cell(x + 1, y), cell(x, y + 1), cell(x + 1, y + 1)};
                if (clueArea_[c[0]] < 0 && clueArea_[c[1]] < 0 && clueArea_[c[2]] < 0 &&
                    clueArea_[c[3]] < 0)
                    addClause({NegLit(c[0]), NegLit(c[1]), NegLit(c[2]), NegLit(c[3])});
            }
    }
    blackDirty_ = true;
    return !unsat_;
}

// Counters for the areas whose counter is small enough, added at level 0 to
// a search that has run long: they pay on boards whose refutation counts
// cells, and slow the propagation of the others.
bool Engine::addCounters() {
    countersAdded_ = true;
    const int areas = static_cast<int>(areaCell_.size()), from = vars_;
    std::vector<std::pair<int, int>> counters; // area, first variable
    for (int k = 0; k < areas; ++k) {
        const int m = areaStart_[k + 1] - areaStart_[k], size = m * (areaSize_[k] + 1);
        if (areaSize_[k] < 2 || size > kCounterCap || vars_ - from + size > kCountersCap) continue;
        counters.emplace_back(k, vars_);
        vars_ += size;
    }
    const std::size_t n = static_cast<std::size_t>(vars_);
    value_.resize(n, kUnset);
    litValue_.resize(2 * n, kUnset);
    level_.resize(n, 0);
    reason_.resize(n, kNoReason);
    activity_.resize(n, 0);
    seen_.resize(n, 0);
    heapPos_.resize(n, -1);
    watches_.resize(2 * n);
    levelMark_.resize(n + 1, 0);
    for (const auto& [k, base] : counters)
        addCounter(k, base);
    return !unsat_;
}

// The count of area k as a sequential counter over its cells in column
// order (a sweep across the board): r(i, j) <-> at least j of the first i
// cells are in the area, for j up to n + 1; then r(m, n) and not
// r(m, n + 1). The area size propagator already keeps the count; the
// counter's variables let a learnt clause speak of part of it ("at least j
// of the cells left of here"), which shortens the proofs that count cells.
void Engine::addCounter(int k, int base) {
    const int n = areaSize_[k], m = areaStart_[k + 1] - areaStart_[k];
    const int* order = areaVars_.data() + areaStart_[k];
    const auto r = [&](int i, int j) { return PosLit(base + (i - 1) * (n + 1) + (j - 1)); };
    for (int i = 1; i <= m; ++i) {
        const Lit x = PosLit(order[i - 1]);
        for (int j = 1; j <= n + 1; ++j) {
            // r(i, j) <- r(i - 1, j); r(i, j) <- r(i - 1, j - 1) and x.
            if (i > 1) addClause({Neg(r(i - 1, j)), r(i, j)});
            if (j == 1)
                addClause({Neg(x), r(i, j)});
            else if (i > 1)
                addClause({Neg(r(i - 1, j - 1)), Neg(x), r(i, j)});
            // r(i, j) -> r(i - 1, j) or x; r(i, j) -> r(i - 1, j) or r(i - 1, j - 1).
            addClause(i > 1 ? std::vector<Lit>{Neg(r(i, j)), r(i - 1, j), x}
                            : std::vector<Lit>{Neg(r(i, j)), x});
            if (j > 1)
                addClause(i > 1 ? std::vector<Lit>{Neg(r(i, j)), r(i - 1, j), r(i - 1, j - 1)}
                                : std::vector<Lit>{Neg(r(i, j))});
        }
    }
    addClause({r(m, n)});
    addClause({Neg(r(m, n + 1))});
}

// A clause at level 0: literals false there dropped, true ones make it void.
bool Engine::addClause(std::vector<Lit> lits) {
    std::sort(lits.begin(), lits.end());
    lits.erase(std::unique(lits.begin(), lits.end()), lits.end());
    std::size_t keep = 0;
    for (std::size_t i = 0; i < lits.size(); ++i) {
        const std::int8_t v = litValue(lits[i]);
        if (v == kTrue || (i + 1 < lits.size() && lits[i + 1] == Neg(lits[i]))) return true;
        if (v == kUnset) lits[keep++] = lits[i];
    }
    lits.resize(keep);
    if (lits.empty()) return !(unsat_ = true);
    if (lits.size() == 1) {
        enqueue(lits[0], kNoReason);
        return true;
    }
    attach(newClause(lits));
    return true;
}

// A clause's entry and its literals at the end of the flat store.
int Engine::newClause(const std::vector<Lit>& lits) {
    int cref;
    if (!freeClauses_.empty()) {
        cref = freeClauses_.back();
        freeClauses_.pop_back();
        clauses_[cref] = Clause{};
    } else {
        cref = static_cast<int>(clauses_.size());
        clauses_.emplace_back();
    }
    store_.push_back(2 * cref);
    store_.push_back(static_cast<Lit>(lits.size()));
    clauses_[cref].start = static_cast<int>(store_.size());
    store_.insert(store_.end(), lits.begin(), lits.end());
    return cref;
}

void Engine::attach(int cref) {
    const Lit* L = lits(cref);
    const int start = clauses_[cref].start, ref = size(cref) == 2 ? -1 - start : start;
    watches_[L[0]].push_back({ref, L[1]});
    watches_[L[1]].push_back({ref, L[0]});
}

// The conflict of imply: `l`, false, with its explanation `ref`.
void Engine::impliedFalse(Lit l, int ref) {
    conflict_.clear();
    conflict_.push_back(l);
    const int off = -ref - 2;
    conflict_.insert(conflict_.end(), arena_.begin() + off + 1,
                     arena_.begin() + off + 1 + arena_[off]);
}

int Engine::storeExpl() {
    const int off = static_cast<int>(arena_.size());
    arena_.push_back(static_cast<int>(expl_.size()));
    arena_.insert(arena_.end(), expl_.begin(), expl_.end());
    return -off - 2;
}

template <class F> void Engine::forEachReasonLit(int v, F f) {
    const int r = reason_[v];
    if (r >= 0) {
        const Lit* L = store_.data() + r;
        for (int i = 0, n = L[-1]; i < n; ++i)
            if (VarOf(L[i]) != v) f(L[i]);
    } else if (r <= -2) {
        const int off = -r - 2;
        for (int i = 0; i < arena_[off]; ++i)
            f(arena_[off + 1 + i]);
    }
}

// Units and propagators to a fixed point; false on a conflict (conflict_).
// x(d, j) true: no other area in d or beside it.
// Area k holds n_k true cells (or more): its other cells are not in it.
// The cells area k can reach in fewer than n_k steps.
// The black cells in one orthogonal group of the cells that are not white.
void Engine::newLevel() {
    levelTrail_.push_back(static_cast<int>(trail_.size()));
    levelArena_.push_back(static_cast<int>(arena_.size()));
}

void Engine::backtrack(int to) {
    if (level() <= to) return;
    const int keep = levelTrail_[to];
    undone_ += trail_.size() - keep;
    // Plain pointers in the loop: a store through a byte may change
    // anything, so the compiler would load each vector's data again after it.
    const Lit* const trail = trail_.data();
    std::int8_t* const value = value_.data();
    std::int8_t* const lit = litValue_.data();
    int* const reason = reason_.data();
    const int* const heapPos = heapPos_.data();
    const int* const xCell = xCell_.data();
    const int* const xArea = xArea_.data();
    int* const trueCount = trueCount_.data();
    int* const openCount = openCount_.data();
    int* const cellOpen = cellOpen_.data();
    char* const clean = clean_.data();
    for (int i = static_cast<int>(trail_.size()) - 1; i >= keep; --i) {
        const int v = VarOf(trail[i]);
        const bool black = value[v] == kTrue;
        if (isX(v)) {
            const int k = xArea[v - cells_], c = xCell[v - cells_];
            if (bitWords_) {
                std::uint64_t* const bits = (black ? trueBits_ : openBits_).data();
                bits[k * kBitWords + (c >> 6)] ^= std::uint64_t{1} << (c & 63);
            }
            if (black)
                --trueCount[k];
            else
                ++openCount[k], ++cellOpen[c];
            clean[k] = 0;
        } else if (v < cells_) {
            --(black ? blackCount_ : whiteCount_);
        }
        value[v] = kUnset;
        lit[PosLit(v)] = lit[NegLit(v)] = kUnset;
        reason[v] = kNoReason;
        if (heapPos[v] < 0 && isX(v)) heapInsert(v);
    }
    trail_.resize(keep);
    // The last pass of black connectivity stands while its trail does; the
    // marks of what was seen since then stay, which only makes a pass likelier.
    if (blackPassAt_ > trail_.size())
        blackPass_ = blackPassAt_ = kNoPass;
    else
        blackPass_ = std::min(blackPass_, trail_.size());
    arena_.resize(levelArena_[to]);
    levelTrail_.resize(to);
    levelArena_.resize(to);
    qhead_ = trail_.size();
    for (int k : dirtyAreas_)
        areaDirty_[k] = 0;
    for (int k : fullAreas_)
        areaFull_[k] = 0;
    for (int k : chokeAreas_)
        chokeDirty_[k] = 0;
    dirtyAreas_.clear();
    fullAreas_.clear();
    chokeAreas_.clear();
    blackDirty_ = countDirty_ = false;
}

// First-UIP learning from conflict_ (whose literals include some at the
// current level); returns the level to go back to, the clause in learnt_.
int Engine::analyze() {
    learnt_.clear();
    learnt_.push_back(0);
    analyzed_.clear();
    int pathC = 0;
    const auto visit = [&](Lit q) {
        const int v = VarOf(q);
        if (seen_[v] || level_[v] == 0) return;
        seen_[v] = 1;
        analyzed_.push_back(v);
        bumpVar(v);
        if (level_[v] >= level())
            ++pathC;
        else
            learnt_.push_back(q);
    };
    const auto bumpClause = [&](int r) {
        if (r < 0 || !(store_[r - 2] & 1)) return;
        Clause& cl = clauses_[clauseAt(r)];
        cl.used = conflicts_;
        // Its glue now, if clearly lower: the clause moves to a better tier.
        if (cl.lbd > kCoreGlue) {
            const int g = glue(store_.data() + r, store_[r - 1]);
            if (g + 1 < cl.lbd) cl.lbd = g;
        }
        if ((cl.activity += static_cast<float>(clauseInc_)) > 1e20f) {
            for (Clause& c : clauses_)
                c.activity *= 1e-20f;
            clauseInc_ *= 1e-20;
        }
    };
    for (Lit q : conflict_)
        visit(q);
    int idx = static_cast<int>(trail_.size()) - 1;
    Lit p;
    while (true) {
        while (!seen_[VarOf(trail_[idx])])
            --idx;
        p = trail_[idx--];
        seen_[VarOf(p)] = 0;
        if (--pathC == 0) break;
        bumpClause(reason_[VarOf(p)]);
        forEachReasonLit(VarOf(p), visit);
    }
    learnt_[0] = Neg(p);
    // Minimisation: a literal implied by the others (or by level 0) goes.
    std::uint64_t levels = 0;
    for (std::size_t i = 1; i < learnt_.size(); ++i)
        levels |= std::uint64_t{1} << (level_[VarOf(learnt_[i])] & 63);
    std::size_t keep = 1;
    for (std::size_t i = 1; i < learnt_.size(); ++i)
        if (reason_[VarOf(learnt_[i])] == kNoReason || !redundant(learnt_[i], levels))
            learnt_[keep++] = learnt_[i];
    learnt_.resize(keep);
    for (int v : analyzed_)
        seen_[v] = 0;
    if (learnt_.size() == 1) return 0;
    std::size_t best = 1;
    for (std::size_t i = 2; i < learnt_.size(); ++i)
        if (level_[VarOf(learnt_[i])] > level_[VarOf(learnt_[best])]) best = i;
    std::swap(learnt_[1], learnt_[best]);
    return level_[VarOf(learnt_[1])];
}

// Whether `p`'s reasons lead back to literals of the clause (seen) or of
// level 0 alone, through literals of the clause's levels. A depth-first walk:
// a literal found redundant stays marked 1, and when a literal fails, the
// literals on the path to it are marked 2 (they fail too), so later calls stop
// at both.
bool Engine::redundant(Lit p, std::uint64_t levels) {
    const auto reasonLits = [&](int v) -> std::pair<const Lit*, const Lit*> {
        if (reason_[v] >= 0) {
            const Lit* b = store_.data() + reason_[v];
            return {b, b + b[-1]};
        }
        const int off = -reason_[v] - 2;
        return {arena_.data() + off + 1, arena_.data() + off + 1 + arena_[off]};
    };
    path_.clear();
    const auto [b0, e0] = reasonLits(VarOf(p));
    path_.push_back({VarOf(p), b0, e0});
    while (!path_.empty()) {
        Step& s = path_.back();
        if (s.next == s.end) {
            if (path_.size() > 1) {
                seen_[s.var] = 1;
                analyzed_.push_back(s.var);
            }
            path_.pop_back();
            continue;
        }
        const int u = VarOf(*s.next++);
        if (u == s.var || seen_[u] == 1 || level_[u] == 0) continue;
        if (seen_[u] == 2 || reason_[u] == kNoReason || !(levels >> (level_[u] & 63) & 1)) {
            for (std::size_t i = 1; i < path_.size(); ++i) {
                seen_[path_[i].var] = 2;
                analyzed_.push_back(path_[i].var);
            }
            return false;
        }
        const auto [b, e] = reasonLits(u);
        path_.push_back({u, b, e});
    }
    return true;
}

// The number of decision levels among n literals.
int Engine::glue(const Lit* L, int n) {
    ++levelMarkNow_;
    int g = 0;
    for (int i = 0; i < n; ++i) {
        const int lv = level_[VarOf(L[i])];
        if (levelMark_[lv] != levelMarkNow_) levelMark_[lv] = levelMarkNow_, ++g;
    }
    return g;
}

void Engine::learn(int btLevel) {
    backtrack(btLevel);
    if (learnt_.size() == 1) {
        enqueue(learnt_[0], kNoReason);
        return;
    }
    const int lbd = glue(learnt_.data(), static_cast<int>(learnt_.size()));
    const int cref = addLearnt(learnt_, lbd, static_cast<float>(clauseInc_), conflicts_);
    enqueue(learnt_[0], clauses_[cref].start);
}

// A learnt clause of two or more literals, into the store and the watches;
// passed to the other searches when it is short or of low glue (counter
// variables are numbered by when they were added: a clause over them is not
// shared).
int Engine::addLearnt(const std::vector<Lit>& lits, int lbd, float activity, std::uint64_t used) {
    const int cref = newClause(lits);
    Clause& c = clauses_[cref];
    c.learnt = true;
    c.activity = activity;
    c.used = used;
    c.lbd = lbd;
    ++learnts_;
    store_[c.start - 2] |= 1;
    attach(cref);
    if (exchange_ && (lits.size() <= kShareSize || lbd <= kShareGlue) &&
        std::all_of(lits.begin(), lits.end(), [&](Lit l) { return VarOf(l) < xEnd_; }))
        outbox_.push_back({id_, -1, lits});
    return cref;
}

// Marks a learnt clause deleted (its watches are left to the caller).
void Engine::dropLearnt(int cref) {
    clauses_[cref].deleted = true;
    garbage_ += size(cref) + 2;
    freeClauses_.push_back(cref);
    --learnts_;
}

// Vivification, at a restart: learnt clauses of the two kept tiers, each
// tried with the negations of its literals set one by one, each at a level of
// its own (the clause itself out of the watches). A literal found false is
// left out (the negations of those before it imply its own, so by the clause
// the others cannot all be false). When the propagation fails, or finds a
// literal of the clause true, the clause shrinks to the literals whose
// negations lie under that conflict (or under that true literal) in the
// reasons, and that true literal. Each conclusion drawn there follows from
// the clauses, the units of level 0 and those choices, so the shorter clause
// holds in every solution: it takes the old one's place, and nothing set
// above level 0 stays. Its cost, the literals it sets, is held to
// kVivifyShare per cent of those the search sets. A conflict met there is
// learnt besides (learnFromVivify). False when level 0 fails.
bool Engine::vivify() {
    if (!propagate()) return false;
    const std::uint64_t search = undone_ - vivSpent_;
    vivBudget_ = std::min<std::int64_t>(vivBudget_, 0) +
                 static_cast<std::int64_t>((search - vivSearch_) * kVivifyShare / 100);
    vivSearch_ = search;
    if (vivBudget_ <= 0) return true;
    // Candidates: not tried since a conflict last met them; those never
    // tried first, then by glue, the most recently used first.
    vivCand_.clear();
    for (int i = 0; i < static_cast<int>(clauses_.size()); ++i) {
        const Clause& c = clauses_[i];
        if (!c.learnt || c.deleted || c.lbd > kTier2Glue || (c.tried && c.tried > c.used) ||
            locked(i))
            continue;
        vivCand_.push_back(i);
    }
    const auto key = [&](int i) {
        const Clause& c = clauses_[i];
        return std::tuple(c.tried != 0, c.lbd, ~c.used);
    };
    // The first of them, about twice as many as the budget pays for at the
    // cost per clause so far.
    const std::uint64_t per = vivTried_ ? vivSpent_ / vivTried_ + 1 : 64;
    const std::size_t first =
        std::min<std::size_t>(vivCand_.size(), static_cast<std::size_t>(vivBudget_) / per * 2 + 16);
    std::partial_sort(vivCand_.begin(), vivCand_.begin() + first, vivCand_.end(),
                      [&](int a, int b) { return key(a) < key(b); });
    vivCand_.resize(first);
    std::vector<Lit>& C = vivLits_;
    std::vector<Lit>& keep = vivKeep_;
    for (std::size_t ci = 0; ci < vivCand_.size() && vivBudget_ > 0; ++ci) {
        const int i = vivCand_[ci];
        ++vivTried_;
        // Out of the watches while it is tried (or for good).
        {
            const Lit* L = lits(i);
            const int ref = size(i) == 2 ? -1 - clauses_[i].start : clauses_[i].start;
            for (int k = 0; k < 2; ++k) {
                auto& ws = watches_[L[k]];
                for (std::size_t j = 0; j < ws.size(); ++j)
                    if (ws[j].ref == ref) {
                        ws[j] = ws.back();
                        ws.pop_back();
                        break;
                    }
            }
        }
        C.assign(lits(i), lits(i) + size(i));
        clauses_[i].tried = conflicts_ + 1;
        keep.clear();
        bool satisfied = false;
        for (Lit l : C)
            if (litValue(l) == kTrue && level_[VarOf(l)] == 0) satisfied = true;
        if (!satisfied) {
            const std::size_t from = trail_.size();
            Lit implied = -1;
            bool failed = false;
            for (Lit l : C) {
                const std::int8_t v = litValue(l);
                if (v == kFalse) continue;
                if (v == kTrue) {
                    implied = l;
                    break;
                }
                newLevel();
                enqueue(Neg(l), kNoReason);
                if (!propagate()) {
                    failed = true;
                    learnFromVivify();
                    break;
                }
            }
            vivBudget_ -= static_cast<std::int64_t>(trail_.size() - from);
            vivSpent_ += trail_.size() - from;
            const std::size_t bottom = level() > 0 ? levelTrail_[0] : trail_.size();
            if (failed || implied >= 0) {
                // The choices under the conflict, or under the true literal.
                std::vector<int>& marked = vivMarked_;
                marked.clear();
                const auto see = [&](Lit q) {
                    const int u = VarOf(q);
                    if (level_[u] > 0 && !seen_[u]) seen_[u] = 1, marked.push_back(u);
                };
                if (failed)
                    for (Lit q : conflict_)
                        see(q);
                else
                    see(implied), keep.push_back(implied);
                for (std::size_t t = trail_.size(); t-- > bottom;) {
                    const int v = VarOf(trail_[t]);
                    if (!seen_[v]) continue;
                    if (reason_[v] == kNoReason)
                        keep.push_back(Neg(trail_[t]));
                    else
                        forEachReasonLit(v, see);
                }
                for (int u : marked)
                    seen_[u] = 0;
            } else {
                // All set without a conflict: the literals found false go.
                for (Lit l : C)
                    if (level_[VarOf(l)] > 0 && reason_[VarOf(l)] == kNoReason) keep.push_back(l);
            }
            backtrack(0);
        }
        if (!satisfied && keep.size() >= C.size()) {
            attach(i);
            continue;
        }
        const Clause old = clauses_[i];
        dropLearnt(i);
        if (satisfied) continue;
        if (keep.size() <= 1) {
            if (keep.empty()) return false;
            enqueue(keep[0], kNoReason);
            if (!propagate()) return false;
            continue;
        }
        const int cref = addLearnt(keep, std::min(old.lbd, static_cast<int>(keep.size())),
                                   old.activity, old.used);
        clauses_[cref].tried = conflicts_ + 1;
    }
    return true;
}

// A conflict met by vivify above level 1 is also learnt as the search
// learns one (first UIP): a clause that follows from the clauses and the
// propagators alone, whatever the choices that led to it.
void Engine::learnFromVivify() {
    int top = 0;
    for (Lit q : conflict_)
        top = std::max(top, level_[VarOf(q)]);
    if (top != level() || level() < 2) return;
    analyze();
    if (learnt_.size() < 2) return;
    addLearnt(learnt_, glue(learnt_.data(), static_cast<int>(learnt_.size())),
              static_cast<float>(clauseInc_), conflicts_);
}

bool Engine::locked(int cref) const {
    const Lit l = store_[clauses_[cref].start];
    return reason_[VarOf(l)] == clauses_[cref].start && litValue(l) == kTrue;
}

// Drops the less active half of the local learnt clauses: those of glue
// over kTier2Glue, and those of the middle tier that no conflict met lately.
// The core tier stays, and so does the reason of a set literal.
void Engine::reduce() {
    std::vector<int> cand;
    for (int i = 0; i < static_cast<int>(clauses_.size()); ++i) {
        const Clause& c = clauses_[i];
        if (!c.learnt || c.deleted || c.lbd <= kCoreGlue || locked(i)) continue;
        if (c.lbd <= kTier2Glue && conflicts_ - c.used < kTier2Keep) continue;
        cand.push_back(i);
    }
    std::sort(cand.begin(), cand.end(),
              [&](int a, int b) { return clauses_[a].activity < clauses_[b].activity; });
    cand.resize(cand.size() / 2);
    for (int i : cand)
        dropLearnt(i);
    const auto dropped = [&](const Watch& w) {
        return clauses_[clauseAt(w.ref < 0 ? -1 - w.ref : w.ref)].deleted;
    };
    for (auto& ws : watches_)
        ws.erase(std::remove_if(ws.begin(), ws.end(), dropped), ws.end());
    if (garbage_ * 2 > store_.size()) compact();
}

// The store without the literals of deleted clauses; the watches follow.
void Engine::compact() {
    std::vector<Lit> kept;
    kept.reserve(store_.size() - garbage_);
    std::vector<int> moved(clauses_.size(), -1);
    for (int i = 0; i < static_cast<int>(clauses_.size()); ++i) {
        if (clauses_[i].deleted) continue;
        const int n = size(i);
        kept.push_back(store_[clauses_[i].start - 2]);
        kept.push_back(n);
        moved[i] = static_cast<int>(kept.size());
        kept.insert(kept.end(), lits(i), lits(i) + n);
    }
    for (auto& ws : watches_)
        for (Watch& w : ws)
            w.ref = w.ref < 0 ? -1 - moved[clauseAt(-1 - w.ref)] : moved[clauseAt(w.ref)];
    for (const Lit l : trail_)
        if (reason_[VarOf(l)] >= 0) reason_[VarOf(l)] = moved[clauseAt(reason_[VarOf(l)])];
    for (int i = 0; i < static_cast<int>(clauses_.size()); ++i)
        if (moved[i] >= 0) clauses_[i].start = moved[i];
    store_ = std::move(kept);
    garbage_ = 0;
}

// Only the x variables are branched on: the others' activities go unused.
void Engine::bumpVar(int v) {
    if (!isX(v)) return;
    if ((activity_[v] += varInc_) > 1e100) {
        for (double& a : activity_)
            a *= 1e-100;
        varInc_ *= 1e-100;
    }
    if (heapPos_[v] >= 0) heapUp(heapPos_[v]);
}

void Engine::heapUp(int i) {
    const int v = heap_[i];
    while (i > 0) {
        const int p = (i - 1) / 2;
        if (activity_[heap_[p]] >= activity_[v]) break;
        heap_[i] = heap_[p];
        heapPos_[heap_[i]] = i;
        i = p;
    }
    heap_[i] = v;
    heapPos_[v] = i;
}

void Engine::heapDown(int i) {
    const int v = heap_[i], n = static_cast<int>(heap_.size());
    while (2 * i + 1 < n) {
        int c = 2 * i + 1;
        if (c + 1 < n && activity_[heap_[c + 1]] > activity_[heap_[c]]) ++c;
        if (activity_[heap_[c]] <= activity_[v]) break;
        heap_[i] = heap_[c];
        heapPos_[heap_[i]] = i;
        i = c;
    }
    heap_[i] = v;
    heapPos_[v] = i;
}

void Engine::heapInsert(int v) {
    heap_.push_back(v);
    heapUp(static_cast<int>(heap_.size()) - 1);
}

// The most active unset x variable, or -1 when all variables are set. Once
// every x is set, propagation has set each b (a cell in no area is black)
// and each counter; the scan after the heap is only a safeguard.
int Engine::pickBranch() {
    while (!heap_.empty()) {
        const int v = heap_[0];
        heapPos_[v] = -1;
        heap_[0] = heap_.back();
        heap_.pop_back();
        if (!heap_.empty()) heapDown(0);
        if (value_[v] == kUnset) return v;
    }
    for (int v = 0; v < vars_; ++v)
        if (value_[v] == kUnset) return v;
    return -1;
}

bool Engine::stopRequested() {
    if (!stopped_) stopped_ = watch_.due(limits_, nodes_, level());
    return stopped_;
}

// Each colour of each undecided cell tried at level 0: one that fails is
// learnt (a unit), and what both colours imply holds at level 0. The round
// is repeated, for the cells near what the last one settled, while it
// settles anything.
Outcome Engine::probeRoot() {
    if (!propagate()) return Outcome::Unsat;
    std::vector<int> implied(static_cast<std::size_t>(2 * vars_), 0);
    std::vector<char> near(static_cast<std::size_t>(cells_), 1);
    std::vector<Lit> both;
    std::size_t settled = trail_.size();
    int probe = 0;
    for (bool again = true; again;) {
        again = false;
        for (int v = 0; v < cells_; ++v) {
            if (!near[v]) continue;
            near[v] = 0;
            ++probe;
            both.clear();
            for (const Lit l : {PosLit(v), NegLit(v)}) {
                if (value_[v] != kUnset) break;
                if (stopRequested()) return Outcome::Stopped;
                ++nodes_;
                newLevel();
                enqueue(l, kNoReason);
                if (propagate()) {
                    for (std::size_t i = levelTrail_[0] + 1; i < trail_.size(); ++i) {
                        const Lit q = trail_[i];
                        if (l == PosLit(v))
                            implied[q] = probe;
                        else if (implied[q] == probe)
                            both.push_back(q);
                    }
                    backtrack(0);
                    continue;
                }
                ++conflicts_;
                int top = 0;
                for (Lit q : conflict_)
                    top = std::max(top, level_[VarOf(q)]);
                if (top == 0) return Outcome::Unsat;
                learn(analyze());
                if (!propagate()) return Outcome::Unsat;
                again = true;
            }
            if (value_[v] == kUnset && !both.empty()) {
                for (Lit q : both)
                    if (litValue(q) == kUnset) enqueue(q, kNoReason);
                if (!propagate()) return Outcome::Unsat;
                again = true;
            }
            // The cells within two steps of a newly settled one are probed
            // again in the next round.
            for (; settled < trail_.size(); ++settled) {
                const int u = VarOf(trail_[settled]);
                if (u >= cells_ && !isX(u)) continue;
                const int c = isX(u) ? xCell(u) : u;
                const int cx = c / h_, cy = c % h_;
                for (int x = std::max(0, cx - 2); x <= std::min(w_ - 1, cx + 2); ++x)
                    for (int y = std::max(0, cy - 2); y <= std::min(h_ - 1, cy + 2); ++y)
                        near[x * h_ + y] = 1;
            }
        }
    }
    return Outcome::Sat;
}

Outcome Engine::solve() {
    int restarts = 0;
    const double unit = kRestartUnit[style_];
    std::uint64_t restartAt = conflicts_ + static_cast<std::uint64_t>(unit);
    std::size_t maxLearnts = clauses_.size() / 3 + 2000;
    while (true) {
        if (!propagate()) {
            ++conflicts_;
            int top = 0;
            for (Lit q : conflict_)
                top = std::max(top, level_[VarOf(q)]);
            if (top == 0) return Outcome::Unsat;
            backtrack(top);
            learn(analyze());
            varInc_ /= 0.95;
            clauseInc_ /= 0.999;
            if (conflicts_ >= restartAt) {
                restartAt = conflicts_ + static_cast<std::uint64_t>(unit * Luby(2, ++restarts));
                backtrack(0);
                if (!countersAdded_ && conflicts_ >= kCountersAfter && !addCounters())
                    return Outcome::Unsat;
                // What the others found may leave nothing to look for: no
                // solution left, or two known.
                if (exchange_ && (!swap() || blocks_.size() >= 2)) return Outcome::Unsat;
                if (!vivify()) return Outcome::Unsat;
            }
            continue;
        }
        if (stopRequested()) return Outcome::Stopped;
        if (level() == 0 && (cubeDue_ || (cube_ >= 0 && litValue(cube_) != kUnset))) deal();
        if (level() == 0 && cube_ >= 0) {
            ++nodes_;
            newLevel();
            enqueue(cube_, kNoReason);
            continue;
        }
        if (static_cast<std::size_t>(learnts_) >= maxLearnts) {
            reduce();
            maxLearnts += maxLearnts / 10;
        }
        const int v = pickBranch();
        if (v < 0) return Outcome::Sat;
        ++nodes_;
        newLevel();
        enqueue(PosLit(v), kNoReason);
    }
}

void Engine::storeSolution(Board& out) const {
    out = puzzle_;
    for (int x = 1; x <= w_; ++x) {
        for (int y = 1; y <= h_; ++y) {
            const int c = cell(x, y);
            Cell& cl = out.at(x, y);
            cl.areaId = 0;
            if (clueArea_[c] >= 0) continue;
            if (value_[c] == kTrue) {
                if (cl.state != GivenBlack) cl.state = Black;
                continue;
            }
            cl.state = AreaCellBase;
            for (int i = cellStart_[c]; i < cellStart_[c + 1]; ++i)
                if (value_[cellVars_[i]] == kTrue)
                    cl.state =
                        static_cast<std::uint8_t>(AreaCellBase + areaSize_[xArea(cellVars_[i])]);
        }
    }
    out.undecidedCount = 0;
    out.status = StatusNone;
}

// A clause that the solution just found breaks: some cell of another colour.
std::vector<Lit> Engine::blockingClause() const {
    std::vector<Lit> lits;
    for (int c = 0; c < cells_; ++c)
        if (clueArea_[c] < 0 && !given_[c])
            lits.push_back(value_[c] == kTrue ? NegLit(c) : PosLit(c));
    return lits;
}

// At level 0: logs this search's new units and the clauses it has learnt
// to share, and takes what the others logged: a solution (new to this
// search) is counted and blocked, a clause added. False when that leaves
// nothing to search.
bool Engine::swap() {
    for (; unitsLogged_ < trail_.size(); ++unitsLogged_)
        if (VarOf(trail_[unitsLogged_]) < xEnd_)
            outbox_.push_back({id_, -1, {trail_[unitsLogged_]}});
    exchange_->Swap(id_, outbox_, cursor_, inbox_);
    for (Exchange::Entry& e : inbox_) {
        if (e.solution >= 0) {
            if (std::find(blocks_.begin(), blocks_.end(), e.lits) != blocks_.end()) continue;
            result_->solutions[blocks_.size()] = exchange_->SolutionAt(e.solution);
            blocks_.push_back(e.lits);
            if (blocks_.size() >= 2) return true;
        }
        if (!addClause(std::move(e.lits))) return false;
    }
    if (cubeDeal_ == 0 && style_ == 0) exchange_->SetActive(mostActive(kDealLook));
    const Lit dealt = exchange_->Dealt(id_, cubeDeal_);
    if (dealt >= 0) cube_ = dealt;
    return true;
}

// At most `n` open x variables, the most active first.
std::vector<int> Engine::mostActive(std::size_t n) const {
    std::vector<int> vars;
    for (int v = cells_; v < xEnd_; ++v)
        if (value_[v] == kUnset) vars.push_back(v);
    const auto more = [&](int a, int b) { return activity_[a] > activity_[b]; };
    if (vars.size() > n) {
        std::nth_element(vars.begin(), vars.begin() + static_cast<std::ptrdiff_t>(n), vars.end(),
                         more);
        vars.resize(n);
    }
    std::sort(vars.begin(), vars.end(), more);
    return vars;
}

// At level 0, when this search's cube is spent, or it is the second search
// and has none yet: a new deal over what is left. The literal is found by
// look-ahead: each side of a few open x variables (for the first deal those
// the first search finds most active, after that its own) set and
// propagated, the variable whose sides set the most (their product, 0 when
// one fails) taken, in the dealer's cube as true. Each side set counts as a
// node.
void Engine::deal() {
    cubeDue_ = false;
    cube_ = -1;
    std::vector<int> cand;
    if (cubeDeal_ == 0) {
        for (const int v : exchange_->Active())
            if (value_[v] == kUnset) cand.push_back(v);
        if (cand.empty()) cand = mostActive(kDealLook);
    } else {
        cand = mostActive(kRedealLook);
    }
    int best = -1;
    double bestScore = 0;
    for (const int v : cand) {
        double score = 1;
        for (const Lit l : {PosLit(v), NegLit(v)}) {
            ++nodes_;
            newLevel();
            enqueue(l, kNoReason);
            score *= propagate() ? static_cast<double>(trail_.size() - levelTrail_[0]) : 0;
            backtrack(0);
        }
        if (score > bestScore) bestScore = score, best = v;
    }
    if (best >= 0) cube_ = exchange_->Deal(id_, cubeDeal_, PosLit(best));
    if (cube_ >= 0 && litValue(cube_) != kUnset) cube_ = -1, cubeDue_ = true;
}

AnalysisResult Engine::Run() {
    AnalysisResult result;
    watch_.begin();
    long long clueSum = 0;
    for (int x = 1; x <= puzzle_.width; ++x)
        for (int y = 1; y <= puzzle_.height; ++y)
            if (isClue(puzzle_.state(x, y))) clueSum += puzzle_.state(x, y);
    result_ = &result;
    if (exchange_) id_ = exchange_->Join(), cubeDue_ = style_ == 1;
    bool stopped = false;
    if (clueSum <= static_cast<long long>(puzzle_.width) * puzzle_.height && build() &&
        (!exchange_ || swap()) && blocks_.size() < 2) {
        const Outcome probed = probeRoot();
        stopped = probed == Outcome::Stopped;
        while (blocks_.size() < 2 && probed == Outcome::Sat) {
            const Outcome o = solve();
            if (o == Outcome::Stopped) stopped = true;
            if (o != Outcome::Sat) break;
            Board& slot = result.solutions[blocks_.size()];
            storeSolution(slot);
            blocks_.push_back(blockingClause());
            if (exchange_) exchange_->AddSolution(id_, slot, blocks_.back());
            if (blocks_.size() == 2) break;
            backtrack(0);
            if (!addClause(blocks_.back())) break;
        }
    }
    const int found = static_cast<int>(blocks_.size());
    result.nodes = nodes_;
    result.solutionCount = found;
    if (found == 2) {
        result.verdict = Verdict::Several;
        for (int x = 1; x <= w_; ++x)
            for (int y = 1; y <= h_; ++y)
                if (isBlack(result.solutions[0].state(x, y)) !=
                    isBlack(result.solutions[1].state(x, y)))
                    result.differing.emplace_back(x, y);
    } else if (stopped) {
        result.verdict = Verdict::Stopped;
        result.solutionCount = 0;
    } else {
        result.verdict = found == 1 ? Verdict::Unique : Verdict::None;
    }
    if (result.verdict != Verdict::Stopped) result.engine = "learning";
    result.seconds = watch_.seconds();
    return result;
}

} // namespace learn

AnalysisResult AnalyzeByLearning(const Board& puzzle, const AnalysisLimits& limits) {
    learn::Engine engine(puzzle, limits);
    return engine.Run();
}

AnalysisResult AnalyzeByLearning(const Board& puzzle, const AnalysisLimits& limits,
                                 learn::Exchange& exchange, int style) {
    learn::Engine engine(puzzle, limits, &exchange, style);
    return engine.Run();
}

} // namespace ombrix
