// The complete analysis as conflict-driven clause learning with explained
// propagation.
//
// Variables: b(c), cell c is black, for every playable cell; x(c, k), cell c
// belongs to the area of clue k, only for the cells nearer to clue k than its
// number (no other cell can be in that area) and not on another clue or a
// given black cell. Clues are white and in their own area, given black cells
// black (units at level 0).
//
// Clauses: x(c, k) -> not b(c); not b(c) -> some x(c, k); under Ombrix no
// 2 x 2 block of b.
//
// Propagators, each of whose conclusions carries its explanation: a set of
// literals, false when it was drawn, whose falsity implies it. The literal
// and its explanation form a clause that every solution satisfies, so
// conflict analysis treats them as clauses (kept in an arena that is cut back
// on backtracking):
//   - x(d, j) true: every other area's literal of d and of its neighbours
//     (orthogonal; also diagonal under Tandrel) is false, because of x(d, j);
//   - area size: with n_k cells of area k true, every other x(c, k) is false,
//     because of those n_k literals (more than n_k fail);
//   - area reach: the cells reached from clue k in fewer than n_k steps over
//     cells whose x(c, k) is not false; an area cell is at most n_k - 1 steps
//     from its clue inside the area, so any other x(c, k) is false, and a
//     reach of fewer than n_k cells fails, one of exactly n_k takes them all,
//     because of the false x(d, k) beside the cells at most n_k - 2 steps out;
//   - black connectivity: the cells that are not white, searched from one
//     black cell s with Tarjan's low links: a black cell outside that search
//     fails and an undecided one is white (because of b(s) and the white cells
//     round the searched part); an undecided articulation cell whose removal
//     cuts off a part holding a black cell is black (because of b(s), that
//     black cell and the white cells round the cut-off part).
// A full assignment that passes all of them obeys every rule.
//
// The search: two watched literals, first-UIP learning with minimisation,
// variable activities with phase saving, Luby restarts, learnt clauses cut
// back by glue and activity. A solution is blocked by a clause over its black
// cells and the search goes on: no further solution then means unique.
#include "analysis_learn.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace ombrix {

namespace {

using Lit = int;
constexpr int VarOf(Lit l) {
    return l >> 1;
}
constexpr Lit PosLit(int v) {
    return 2 * v;
}
constexpr Lit NegLit(int v) {
    return 2 * v + 1;
}
constexpr Lit Neg(Lit l) {
    return l ^ 1;
}

constexpr std::int8_t kFalse = 0, kTrue = 1, kUnset = -1;
// A reason: -1 none (a decision or a unit at level 0), >= 0 a clause, <= -2
// an explanation in the arena at offset -reason - 2.
constexpr int kNoReason = -1;

struct Clause {
    std::vector<Lit> lits;
    float activity = 0;
    int lbd = 0;
    bool learnt = false;
    bool deleted = false;
};

// A clause watched from one of its first two literals; `blocker` is another of
// its literals (for a clause of two, the other one).
struct Watch {
    int clause;
    Lit blocker;
    bool binary;
};

enum class Outcome { Sat, Unsat, Stopped };

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

class Engine {
  public:
    Engine(const Board& puzzle, const AnalysisLimits& limits) : puzzle_(puzzle), limits_(limits) {}
    AnalysisResult Run();

  private:
    using Clock = std::chrono::steady_clock;

    int cell(int x, int y) const { return (x - 1) * h_ + (y - 1); }
    int level() const { return static_cast<int>(levelTrail_.size()); }
    std::int8_t litValue(Lit l) const {
        const std::int8_t v = value_[VarOf(l)];
        return v < 0 ? kUnset : static_cast<std::int8_t>(v ^ (l & 1));
    }
    bool isX(int v) const { return v >= cells_; }
    int xCell(int v) const { return xCell_[v - cells_]; }
    int xArea(int v) const { return xArea_[v - cells_]; }
    int varAt(int k, int c) const { return varAt_[static_cast<std::size_t>(k) * cells_ + c]; }

    bool build();
    bool addClause(std::vector<Lit> lits);
    void attach(int cref);
    void enqueue(Lit l, int reason);
    bool imply(Lit l, int ref);
    void addExpl(Lit l) {
        if (level_[VarOf(l)] > 0) expl_.push_back(l);
    }
    int storeExpl();
    template <class F> void forEachReasonLit(int v, F f);
    void markArea(int k) {
        if (!areaDirty_[k]) areaDirty_[k] = 1, dirtyAreas_.push_back(k);
    }

    bool propagate();
    bool propagateUnits();
    bool spreadArea(Lit p);
    bool fillArea(int k);
    bool reachArea(int k);
    bool connectBlack();

    Outcome solve();
    Outcome probeRoot();
    void newLevel();
    void backtrack(int to);
    int analyze();
    bool redundant(Lit p, std::uint64_t levels);
    void learn(int btLevel);
    void reduce();
    bool locked(int cref) const;
    int pickBranch();
    void bumpVar(int v);
    void heapUp(int i);
    void heapDown(int i);
    void heapInsert(int v);
    bool stopRequested();
    void storeSolution(Board& out) const;
    bool blockSolution();

    const Board& puzzle_;
    const AnalysisLimits& limits_;
    int w_ = 0, h_ = 0, cells_ = 0, vars_ = 0;
    bool tandrel_ = false;
    std::vector<int> clueArea_; // per cell: its clue's area, else -1
    std::vector<char> given_;
    std::vector<int> areaCell_, areaSize_;
    std::vector<int> areaStart_, areaVars_; // per area: its x variables
    std::vector<int> cellStart_, cellVars_; // per cell: its x variables
    std::vector<int> varAt_;                // area * cells + cell: variable or -1
    std::vector<int> xCell_, xArea_;
    std::vector<int> orthStart_, orth_, ringStart_, ring_;

    std::vector<std::int8_t> value_;
    std::vector<int> level_, reason_;
    std::vector<Lit> trail_;
    std::vector<int> levelTrail_, levelArena_;
    std::size_t qhead_ = 0;
    std::vector<int> arena_;

    std::vector<Clause> clauses_;
    std::vector<int> freeClauses_;
    std::vector<std::vector<Watch>> watches_;
    int learnts_ = 0;
    bool unsat_ = false;

    std::vector<int> trueCount_;
    std::vector<char> areaDirty_, areaFull_;
    std::vector<int> dirtyAreas_, fullAreas_;
    bool blackDirty_ = true;
    std::vector<Lit> conflict_, expl_, spare_;

    std::vector<int> stamp_, mark_, levelMark_;
    int stampNow_ = 0, markNow_ = 0, levelMarkNow_ = 0;
    std::vector<int> depth_, queue_, disc_, low_, parent_, sub_, size_, order_, next_, stack_, cut_;

    std::vector<double> activity_;
    double varInc_ = 1, clauseInc_ = 1;
    std::vector<char> phase_;
    std::vector<int> heap_, heapPos_;
    std::vector<char> seen_;
    std::vector<Lit> learnt_, analyzed_, stackLits_;

    std::uint64_t nodes_ = 0, conflicts_ = 0;
    Clock::time_point start_, lastReport_;
    unsigned ticks_ = 0;
    bool stopped_ = false;
};

// The variables, clauses and neighbour lists; false when a unit at level 0
// already fails.
bool Engine::build() {
    w_ = puzzle_.width, h_ = puzzle_.height, cells_ = w_ * h_;
    tandrel_ = puzzle_.tandrel();
    clueArea_.assign(cells_, -1);
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

    const std::size_t n = static_cast<std::size_t>(vars_);
    value_.assign(n, kUnset);
    level_.assign(n, 0);
    reason_.assign(n, kNoReason);
    activity_.assign(n, 0);
    phase_.assign(n, 0);
    seen_.assign(n, 0);
    heapPos_.assign(n, -1);
    watches_.assign(2 * n, {});
    trail_.reserve(n);
    trueCount_.assign(areas, 0);
    areaDirty_.assign(areas, 0);
    areaFull_.assign(areas, 0);
    for (std::vector<int>* v : {&stamp_, &mark_, &depth_, &queue_, &disc_, &low_, &parent_, &sub_,
                                &size_, &order_, &next_, &stack_, &cut_})
        v->assign(static_cast<std::size_t>(cells_), 0);
    levelMark_.assign(n + 1, 0);
    for (int v = 0; v < vars_; ++v) {
        phase_[v] = v < cells_; // black first
        heapInsert(v);
    }

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
    int cref;
    if (!freeClauses_.empty()) {
        cref = freeClauses_.back();
        freeClauses_.pop_back();
        clauses_[cref] = Clause{};
    } else {
        cref = static_cast<int>(clauses_.size());
        clauses_.emplace_back();
    }
    clauses_[cref].lits = std::move(lits);
    attach(cref);
    return true;
}

void Engine::attach(int cref) {
    const Clause& c = clauses_[cref];
    const bool binary = c.lits.size() == 2;
    watches_[c.lits[0]].push_back({cref, c.lits[1], binary});
    watches_[c.lits[1]].push_back({cref, c.lits[0], binary});
}

void Engine::enqueue(Lit l, int reason) {
    const int v = VarOf(l);
    value_[v] = (l & 1) ? kFalse : kTrue;
    level_[v] = level();
    reason_[v] = reason;
    trail_.push_back(l);
    if (!isX(v)) {
        blackDirty_ = true;
        return;
    }
    const int k = xArea(v);
    markArea(k);
    if (!(l & 1) && ++trueCount_[k] >= areaSize_[k] && !areaFull_[k]) {
        areaFull_[k] = 1;
        fullAreas_.push_back(k);
    }
}

// Sets `l` with the arena explanation `ref`; false (with the conflict) when
// `l` is already false.
bool Engine::imply(Lit l, int ref) {
    const std::int8_t v = litValue(l);
    if (v == kTrue) return true;
    if (v == kUnset) {
        enqueue(l, ref);
        return true;
    }
    conflict_.clear();
    conflict_.push_back(l);
    const int off = -ref - 2;
    conflict_.insert(conflict_.end(), arena_.begin() + off + 1,
                     arena_.begin() + off + 1 + arena_[off]);
    return false;
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
        for (Lit q : clauses_[r].lits)
            if (VarOf(q) != v) f(q);
    } else if (r <= -2) {
        const int off = -r - 2;
        for (int i = 0; i < arena_[off]; ++i)
            f(arena_[off + 1 + i]);
    }
}

// Units and propagators to a fixed point; false on a conflict (conflict_).
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
        if (trail_.size() != before) continue;
        while (!dirtyAreas_.empty() && trail_.size() == before) {
            const int k = dirtyAreas_.back();
            dirtyAreas_.pop_back();
            areaDirty_[k] = 0;
            if (!reachArea(k)) return false;
        }
        if (trail_.size() != before) continue;
        if (blackDirty_) {
            blackDirty_ = false;
            if (!connectBlack()) return false;
        }
        if (trail_.size() == before && qhead_ == trail_.size()) return true;
    }
}

bool Engine::propagateUnits() {
    while (qhead_ < trail_.size()) {
        const Lit p = trail_[qhead_++];
        if (isX(VarOf(p)) && !(p & 1) && !spreadArea(p)) return false;
        const Lit f = Neg(p);
        std::vector<Watch>& ws = watches_[f];
        std::size_t i = 0, j = 0;
        while (i < ws.size()) {
            const Watch wt = ws[i];
            const std::int8_t blocker = litValue(wt.blocker);
            if (blocker == kTrue) {
                ws[j++] = ws[i++];
                continue;
            }
            if (wt.binary) {
                ws[j++] = ws[i++];
                if (blocker == kUnset) {
                    enqueue(wt.blocker, wt.clause);
                    continue;
                }
                conflict_.assign({f, wt.blocker});
                while (i < ws.size())
                    ws[j++] = ws[i++];
                ws.resize(j);
                return false;
            }
            std::vector<Lit>& L = clauses_[wt.clause].lits;
            if (L[0] == f) std::swap(L[0], L[1]);
            ++i;
            const Lit first = L[0];
            if (first != wt.blocker && litValue(first) == kTrue) {
                ws[j++] = {wt.clause, first, false};
                continue;
            }
            bool moved = false;
            for (std::size_t k = 2; k < L.size(); ++k) {
                if (litValue(L[k]) != kFalse) {
                    L[1] = L[k];
                    L[k] = f;
                    watches_[L[1]].push_back({wt.clause, first, false});
                    moved = true;
                    break;
                }
            }
            if (moved) continue;
            ws[j++] = {wt.clause, first, false};
            if (litValue(first) == kFalse) {
                conflict_ = L;
                while (i < ws.size())
                    ws[j++] = ws[i++];
                ws.resize(j);
                return false;
            }
            enqueue(first, wt.clause);
        }
        ws.resize(j);
    }
    return true;
}

// x(d, j) true: no other area in d or beside it.
bool Engine::spreadArea(Lit p) {
    const int v = VarOf(p), d = xCell(v), j = xArea(v);
    int ref = 0;
    const auto clear = [&](int c) {
        for (int i = cellStart_[c]; i < cellStart_[c + 1]; ++i) {
            const int u = cellVars_[i];
            if (xArea(u) == j || litValue(PosLit(u)) == kFalse) continue;
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

// Area k holds n_k true cells (or more): its other cells are not in it.
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

// The cells area k can reach in fewer than n_k steps.
bool Engine::reachArea(int k) {
    const int n = areaSize_[k];
    ++stampNow_;
    int len = 0;
    queue_[len++] = areaCell_[k];
    stamp_[areaCell_[k]] = stampNow_;
    depth_[areaCell_[k]] = 0;
    // The part K: the cells of area k joined to its clue through cells of it.
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
    // Then the cells at most `room` steps from K.
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
    // K, and the false cells beside the cells fewer than `room` steps out;
    // with a target cell t, only those from which t could still be met in
    // time.
    const auto explain = [&](int t) {
        expl_.clear();
        ++markNow_;
        for (int qi = 0; qi < kept; ++qi)
            addExpl(NegLit(varAt(k, queue_[qi])));
        const int tx = t / h_, ty = t % h_;
        for (int qi = 0; qi < len; ++qi) {
            const int c = queue_[qi];
            if (depth_[c] >= room) continue;
            for (int i = orthStart_[c]; i < orthStart_[c + 1]; ++i) {
                const int e = orth_[i], u = varAt(k, e);
                if (u < 0 || stamp_[e] == stampNow_ || mark_[e] == markNow_) continue;
                if (t >= 0 && depth_[c] + 1 + std::abs(e / h_ - tx) + std::abs(e % h_ - ty) > room)
                    continue;
                mark_[e] = markNow_;
                addExpl(PosLit(u));
            }
        }
    };
    if (len < n) {
        explain(-1);
        conflict_ = expl_;
        return false;
    }
    for (int i = areaStart_[k]; i < areaStart_[k + 1]; ++i) {
        const int u = areaVars_[i];
        if (stamp_[xCell(u)] == stampNow_ || litValue(PosLit(u)) == kFalse) continue;
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

// The black cells in one orthogonal group of the cells that are not white.
bool Engine::connectBlack() {
    int s0 = -1;
    for (int c = 0; c < cells_ && s0 < 0; ++c)
        if (value_[c] == kTrue) s0 = c;
    if (s0 < 0) return true;
    const auto open = [&](int c) { return value_[c] != kFalse; };
    ++stampNow_;
    int timer = 0, top = 0, cuts = 0;
    stamp_[s0] = stampNow_;
    disc_[s0] = low_[s0] = timer;
    order_[timer++] = s0;
    parent_[s0] = -1;
    sub_[s0] = 1;
    size_[s0] = 1;
    next_[s0] = orthStart_[s0];
    stack_[top++] = s0;
    while (top > 0) {
        const int v = stack_[top - 1];
        if (next_[v] < orthStart_[v + 1]) {
            const int u = orth_[next_[v]++];
            if (!open(u)) continue;
            if (stamp_[u] != stampNow_) {
                stamp_[u] = stampNow_;
                disc_[u] = low_[u] = timer;
                order_[timer++] = u;
                parent_[u] = v;
                sub_[u] = value_[u] == kTrue;
                size_[u] = 1;
                next_[u] = orthStart_[u];
                stack_[top++] = u;
            } else if (u != parent_[v]) {
                low_[v] = std::min(low_[v], disc_[u]);
            }
            continue;
        }
        --top;
        const int p = parent_[v];
        if (p < 0) continue;
        low_[p] = std::min(low_[p], low_[v]);
        sub_[p] += sub_[v];
        size_[p] += size_[v];
        if (low_[v] >= disc_[p] && sub_[v] > 0 && value_[p] == kUnset) cut_[cuts++] = v;
    }
    // The white cells round order_[from, to) but for `skip`, once each
    // since the mark was last moved on.
    const auto boundary = [&](int from, int to, int skip) {
        for (int i = from; i < to; ++i) {
            const int c = order_[i];
            if (c == skip) continue;
            for (int e = orthStart_[c]; e < orthStart_[c + 1]; ++e) {
                const int d = orth_[e];
                if (value_[d] != kFalse || mark_[d] == markNow_) continue;
                mark_[d] = markNow_;
                addExpl(PosLit(d));
            }
        }
    };
    // The cells outside that search, pocket by pocket.
    int end = timer;
    for (int c0 = 0; c0 < cells_; ++c0) {
        if (stamp_[c0] == stampNow_ || value_[c0] == kFalse) continue;
        const int from = end;
        int black = -1;
        stamp_[c0] = stampNow_;
        order_[end++] = c0;
        for (int i = from; i < end; ++i) {
            const int c = order_[i];
            if (value_[c] == kTrue && black < 0) black = c;
            for (int e = orthStart_[c]; e < orthStart_[c + 1]; ++e) {
                const int d = orth_[e];
                if (value_[d] == kFalse || stamp_[d] == stampNow_) continue;
                stamp_[d] = stampNow_;
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
    for (int i = 0; i < cuts; ++i) {
        const int v = cut_[i], p = parent_[v];
        if (value_[p] != kUnset) continue;
        const int lo = disc_[v], hi = disc_[v] + size_[v];
        int s = -1;
        for (int j = lo; j < hi && s < 0; ++j)
            if (value_[order_[j]] == kTrue) s = order_[j];
        expl_.clear();
        ++markNow_;
        addExpl(NegLit(s0));
        addExpl(NegLit(s));
        const std::size_t head = expl_.size();
        boundary(lo, hi, -1);
        spare_ = expl_;
        expl_.resize(head);
        ++markNow_;
        boundary(0, lo, p);
        boundary(hi, timer, p);
        if (spare_.size() < expl_.size()) expl_ = spare_;
        enqueue(PosLit(p), storeExpl());
    }
    return true;
}

void Engine::newLevel() {
    levelTrail_.push_back(static_cast<int>(trail_.size()));
    levelArena_.push_back(static_cast<int>(arena_.size()));
}

void Engine::backtrack(int to) {
    if (level() <= to) return;
    const int keep = levelTrail_[to];
    for (int i = static_cast<int>(trail_.size()) - 1; i >= keep; --i) {
        const int v = VarOf(trail_[i]);
        if (isX(v) && value_[v] == kTrue) --trueCount_[xArea(v)];
        phase_[v] = value_[v] == kTrue;
        value_[v] = kUnset;
        reason_[v] = kNoReason;
        if (heapPos_[v] < 0) heapInsert(v);
    }
    trail_.resize(keep);
    arena_.resize(levelArena_[to]);
    levelTrail_.resize(to);
    levelArena_.resize(to);
    qhead_ = trail_.size();
    for (int k : dirtyAreas_)
        areaDirty_[k] = 0;
    for (int k : fullAreas_)
        areaFull_[k] = 0;
    dirtyAreas_.clear();
    fullAreas_.clear();
    blackDirty_ = false;
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
        if (r < 0 || !clauses_[r].learnt) return;
        if ((clauses_[r].activity += static_cast<float>(clauseInc_)) > 1e20f) {
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
// level 0 alone, through literals of the clause's levels.
bool Engine::redundant(Lit p, std::uint64_t levels) {
    stackLits_.clear();
    stackLits_.push_back(p);
    const std::size_t top = analyzed_.size();
    while (!stackLits_.empty()) {
        const int v = VarOf(stackLits_.back());
        stackLits_.pop_back();
        const Lit* b;
        const Lit* e;
        if (reason_[v] >= 0) {
            b = clauses_[reason_[v]].lits.data();
            e = b + clauses_[reason_[v]].lits.size();
        } else {
            const int off = -reason_[v] - 2;
            b = arena_.data() + off + 1;
            e = b + arena_[off];
        }
        for (; b != e; ++b) {
            const int u = VarOf(*b);
            if (u == v || seen_[u] || level_[u] == 0) continue;
            if (reason_[u] != kNoReason && (levels >> (level_[u] & 63) & 1)) {
                seen_[u] = 1;
                analyzed_.push_back(u);
                stackLits_.push_back(*b);
                continue;
            }
            for (std::size_t i = top; i < analyzed_.size(); ++i)
                seen_[analyzed_[i]] = 0;
            analyzed_.resize(top);
            return false;
        }
    }
    return true;
}

void Engine::learn(int btLevel) {
    backtrack(btLevel);
    if (learnt_.size() == 1) {
        enqueue(learnt_[0], kNoReason);
        return;
    }
    int cref;
    if (!freeClauses_.empty()) {
        cref = freeClauses_.back();
        freeClauses_.pop_back();
        clauses_[cref] = Clause{};
    } else {
        cref = static_cast<int>(clauses_.size());
        clauses_.emplace_back();
    }
    Clause& c = clauses_[cref];
    c.lits = learnt_;
    c.learnt = true;
    c.activity = static_cast<float>(clauseInc_);
    ++levelMarkNow_;
    for (Lit l : learnt_) {
        const int lv = level_[VarOf(l)];
        if (levelMark_[lv] != levelMarkNow_) {
            levelMark_[lv] = levelMarkNow_;
            ++c.lbd;
        }
    }
    ++learnts_;
    attach(cref);
    enqueue(learnt_[0], cref);
}

bool Engine::locked(int cref) const {
    const Lit l = clauses_[cref].lits[0];
    return reason_[VarOf(l)] == cref && litValue(l) == kTrue;
}

// Drops about half the learnt clauses: not those of glue 2 or less, nor those
// that are the reason of a set literal; the least active first.
void Engine::reduce() {
    std::vector<int> cand;
    for (int i = 0; i < static_cast<int>(clauses_.size()); ++i) {
        const Clause& c = clauses_[i];
        if (c.learnt && !c.deleted && c.lbd > 2 && !locked(i)) cand.push_back(i);
    }
    std::sort(cand.begin(), cand.end(), [&](int a, int b) {
        if (clauses_[a].lbd != clauses_[b].lbd) return clauses_[a].lbd > clauses_[b].lbd;
        return clauses_[a].activity < clauses_[b].activity;
    });
    cand.resize(cand.size() / 2);
    for (int i : cand) {
        clauses_[i].deleted = true;
        clauses_[i].lits = {};
        freeClauses_.push_back(i);
        --learnts_;
    }
    for (auto& ws : watches_)
        ws.erase(std::remove_if(ws.begin(), ws.end(),
                                [&](const Watch& w) { return clauses_[w.clause].deleted; }),
                 ws.end());
}

void Engine::bumpVar(int v) {
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

// The most active unset variable, or -1 when all are set.
int Engine::pickBranch() {
    while (!heap_.empty()) {
        const int v = heap_[0];
        heapPos_[v] = -1;
        heap_[0] = heap_.back();
        heap_.pop_back();
        if (!heap_.empty()) heapDown(0);
        if (value_[v] == kUnset) return v;
    }
    return -1;
}

bool Engine::stopRequested() {
    if (stopped_) return true;
    if (limits_.cancel && limits_.cancel->load(std::memory_order_relaxed)) return stopped_ = true;
    if (limits_.maxNodes && nodes_ >= limits_.maxNodes) return stopped_ = true;
    if ((++ticks_ & 63) == 0) {
        const auto now = Clock::now();
        if (limits_.seconds > 0 &&
            std::chrono::duration<double>(now - start_).count() >= limits_.seconds)
            return stopped_ = true;
        if (limits_.observer && now - lastReport_ >= std::chrono::milliseconds(50)) {
            lastReport_ = now;
            limits_.observer->progress(nodes_, level());
        }
    }
    return false;
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
                const int u = VarOf(trail_[settled]), c = isX(u) ? xCell(u) : u;
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
    std::uint64_t restartAt = conflicts_ + 64;
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
                restartAt = conflicts_ + static_cast<std::uint64_t>(64 * Luby(2, ++restarts));
                backtrack(0);
            }
            continue;
        }
        if (stopRequested()) return Outcome::Stopped;
        if (static_cast<std::size_t>(learnts_) >= maxLearnts) {
            reduce();
            maxLearnts += maxLearnts / 10;
        }
        const int v = pickBranch();
        if (v < 0) return Outcome::Sat;
        ++nodes_;
        newLevel();
        enqueue(phase_[v] ? PosLit(v) : NegLit(v), kNoReason);
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
bool Engine::blockSolution() {
    std::vector<Lit> lits;
    for (int c = 0; c < cells_; ++c)
        if (clueArea_[c] < 0 && !given_[c])
            lits.push_back(value_[c] == kTrue ? NegLit(c) : PosLit(c));
    backtrack(0);
    return addClause(std::move(lits));
}

AnalysisResult Engine::Run() {
    AnalysisResult result;
    start_ = lastReport_ = Clock::now();
    long long clueSum = 0;
    for (int x = 1; x <= puzzle_.width; ++x)
        for (int y = 1; y <= puzzle_.height; ++y)
            if (isClue(puzzle_.state(x, y))) clueSum += puzzle_.state(x, y);
    int found = 0;
    bool stopped = false;
    if (clueSum <= static_cast<long long>(puzzle_.width) * puzzle_.height && build()) {
        const Outcome probed = probeRoot();
        stopped = probed == Outcome::Stopped;
        while (found < 2 && probed == Outcome::Sat) {
            const Outcome o = solve();
            if (o == Outcome::Stopped) stopped = true;
            if (o != Outcome::Sat) break;
            storeSolution(result.solutions[found++]);
            if (found == 2 || !blockSolution()) break;
        }
    }
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
    result.seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    return result;
}

} // namespace

AnalysisResult AnalyzeByLearning(const Board& puzzle, const AnalysisLimits& limits) {
    Engine engine(puzzle, limits);
    return engine.Run();
}

} // namespace ombrix
