// The engine of the learning analysis (analysis_learn.h), shared by its
// files: analysis_learn.cpp builds the variables and clauses and runs the
// search, analysis_learn_rules.cpp and analysis_learn_cuts.cpp hold the
// propagators.
//
// Variables: b(c), cell c is black, for every playable cell; x(c, k), cell c
// belongs to the area of clue k, only for the cells nearer to clue k than its
// number (no other cell can be in that area) and not on another clue or a
// given black cell. Clues are white and in their own area, given black cells
// black (units at level 0).
//
// Clauses: x(c, k) -> not b(c); not b(c) -> some x(c, k); under Ombrix no
// 2 x 2 block of b. After a long search also each area's count as a
// sequential counter (addCounter).
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
//   - area reach: K, the cells of area k joined to its clue through cells of
//     it, and the cells at most n_k - |K| steps from K over cells whose
//     x(c, k) is not false; the area holds K and a path from K to each other
//     cell, so a cell not reached is not in it, a reach of fewer than n_k
//     cells fails and one of exactly n_k takes them all, because of K and the
//     false x(d, k) beside the reached cells (for one cell, only those from
//     which it could still be met in time);
//   - area part: G, the cells whose x(c, k) is not false joined to the clue
//     through such cells; a cell outside G is not in the area (because of the
//     false cells round G, or round its own pocket when fewer), fewer than
//     n_k cells fail, exactly n_k are the area (because of those round G);
//   - area chokepoints: an undecided cell p of G such that the part of
//     G \ {p} joined to the clue holds fewer than n_k cells, or misses a cell
//     of the area, is in the area: because of the false cells round that part
//     (and the missed cell); found with Tarjan's low links over G;
//   - colour count: the areas cover every white cell once, so the board holds
//     exactly sum n_k white cells: with that many white (black) cells every
//     other cell is black (white), because of them (one more fails);
//   - black connectivity: the cells that are not white, searched from one
//     black cell s with Tarjan's low links: a black cell outside that search
//     fails and an undecided one is white (because of b(s) and the white cells
//     round its pocket); an undecided articulation cell whose removal cuts off
//     a part holding a black cell is black (because of b(s), that black cell
//     and the white cells round one of the two sides).
// A full assignment that passes all of them obeys every rule.
#pragma once

#include "analysis.h"
#include "analysis_learn_exchange.h"
#include "analysis_watch.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <utility>
#include <vector>

namespace ombrix::learn {

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
// A reason: -1 none (a decision or a unit at level 0), >= 0 a clause (where
// its literals lie in the store), <= -2 an explanation in the arena at offset
// -reason - 2.
constexpr int kNoReason = -1;

// A clause's literals lie in the flat store at `start`; just before them, its
// index times two (plus one if learnt), then its size.
struct Clause {
    int start = 0;
    float activity = 0;
    int lbd = 0;
    std::uint64_t used = 0;  // the last conflict whose analysis met it
    std::uint64_t tried = 0; // vivify: 1 + the conflicts when it last tried it, else 0
    bool learnt = false;
    bool deleted = false;
};

// A clause watched from one of its first two literals: `ref` is where its
// literals lie in the store, or for a clause of two -1 minus that (its
// literals are then never looked at); `blocker` is another of its literals
// (for a clause of two, the other one).
struct Watch {
    int ref;
    Lit blocker;
};

enum class Outcome { Sat, Unsat, Stopped };

class Engine {
  public:
    // `exchange`: shared with the other searches of the puzzle (or null);
    // `style` (0 or 1) picks the restarts.
    Engine(const Board& puzzle, const AnalysisLimits& limits, Exchange* exchange = nullptr,
           int style = 0)
        : puzzle_(puzzle), limits_(limits), exchange_(exchange), style_(style) {}
    AnalysisResult Run();

  private:
    int cell(int x, int y) const { return (x - 1) * h_ + (y - 1); }
    int level() const { return static_cast<int>(levelTrail_.size()); }
    std::int8_t litValue(Lit l) const { return litValue_[l]; }
    bool isX(int v) const { return v >= cells_ && v < xEnd_; }
    int xCell(int v) const { return xCell_[v - cells_]; }
    int xArea(int v) const { return xArea_[v - cells_]; }
    int varAt(int k, int c) const { return varAt_[static_cast<std::size_t>(k) * cells_ + c]; }

    bool build();
    bool addCounters();
    void addCounter(int k, int base);
    bool addClause(std::vector<Lit> lits);
    int newClause(const std::vector<Lit>& lits);
    Lit* lits(int cref) { return store_.data() + clauses_[cref].start; }
    int size(int cref) const { return store_[clauses_[cref].start - 1]; }
    int clauseAt(int start) const { return store_[start - 2] >> 1; }
    void attach(int cref);
    void enqueue(Lit l, int reason);
    bool imply(Lit l, int ref);
    void impliedFalse(Lit l, int ref);
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
    bool reachArea(int k, bool* joined = nullptr);
    template <int W> bool reachQuick(int k, bool* joined);
    bool chokeArea(int k);
    bool joinArea(int k);
    int joinedWithout(int k, int p, int& trues);
    bool connectBlack();
    std::uint64_t beside(const std::uint64_t* s, int i, int words) const;
    int besideCount(const std::uint64_t* s, const std::uint64_t* within) const;
    bool leafQuiet(int w) const;
    int deadBlock(int w) const;
    bool ringQuiet(int w) const;
    bool nearRing(int w) const;
    bool countColours();

    Outcome solve();
    Outcome probeRoot();
    void newLevel();
    void backtrack(int to);
    int analyze();
    bool redundant(Lit p, std::uint64_t levels);
    void learn(int btLevel);
    int addLearnt(const std::vector<Lit>& lits, int lbd, float activity, std::uint64_t used);
    void dropLearnt(int cref);
    void reduce();
    bool vivify();
    void learnFromVivify();
    int glue(const Lit* L, int n);
    void compact();
    bool locked(int cref) const;
    int pickBranch();
    void bumpVar(int v);
    void heapUp(int i);
    void heapDown(int i);
    void heapInsert(int v);
    bool stopRequested();
    void storeSolution(Board& out) const;
    std::vector<Lit> blockingClause() const;
    bool swap();
    void deal();
    std::vector<int> mostActive(std::size_t n) const;

    const Board& puzzle_;
    const AnalysisLimits& limits_;
    int w_ = 0, h_ = 0, cells_ = 0, xEnd_ = 0, vars_ = 0; // b, then x, then counters
    bool tandrel_ = false;
    std::vector<int> clueArea_; // per cell: its clue's area, else -1
    std::vector<char> given_;
    std::vector<int> areaCell_, areaSize_;
    std::vector<int> areaStart_, areaVars_; // per area: its x variables
    std::vector<int> cellStart_, cellVars_; // per cell: its x variables
    std::vector<int> varAt_;                // area * cells + cell: variable or -1
    std::vector<int> xCell_, xArea_;
    std::vector<int> orthStart_, orth_, ringStart_, ring_;
    std::vector<int> col_, row_; // per cell: x - 1, y - 1

    std::vector<std::int8_t> value_;
    std::vector<std::int8_t> litValue_; // per literal: kTrue, kFalse or kUnset
    std::vector<int> level_, reason_;
    std::vector<Lit> trail_;
    std::vector<int> levelTrail_, levelArena_;
    std::size_t qhead_ = 0;
    std::vector<int> arena_;

    std::vector<Clause> clauses_;
    std::vector<Lit> store_;  // per clause: its index and kind, its size, its literals
    std::size_t garbage_ = 0; // literals of deleted clauses still in store_
    std::vector<int> freeClauses_;
    std::vector<std::vector<Watch>> watches_;
    int learnts_ = 0;
    bool unsat_ = false, countersAdded_ = false;

    std::vector<int> trueCount_, openCount_; // per area: its x true, its x not false
    std::vector<int> cellOpen_;              // per cell: its x not false
    // On a board of at most kBitWords * 64 cells and fewer than 64 rows, in
    // bitWords_ words (else 0): per area (area * kBitWords), its cells whose x
    // is not false and those whose x is true as bits (cell c at bit c), for
    // the quick look of reachArea; and the cells not in the first (last) row.
    static constexpr int kBitWords = 4;
    int bitWords_ = 0;
    std::vector<std::uint64_t> openBits_, trueBits_;
    std::array<std::uint64_t, kBitWords> notFirstRow_{}, notLastRow_{};
    std::vector<char> areaDirty_, areaFull_;
    // Per area, which of joinArea (kJoinClean), reachArea and chokeArea would
    // find nothing: set when one has run, cleared when a cell of the part G
    // of its last joinArea turns false, a cell of the area true (but for
    // joinArea, whose part stays), or a literal of the area is undone.
    // Cells outside G are false and stay so while these stand.
    static constexpr char kJoinClean = 1, kReachClean = 2, kChokeClean = 4;
    std::vector<char> clean_;
    // Per x variable, per area: the stamp of the area's last part, or
    // kWholePart when it held every cell whose x(c, k) was not false.
    static constexpr int kWholePart = -1;
    std::vector<int> partOf_, partNow_;
    int partStamp_ = 0;
    std::vector<int> dirtyAreas_, fullAreas_;
    bool blackDirty_ = true;
    // Black connectivity, after its last pass (which leaves nothing to find,
    // once what it found is set): the trail's length then (blackPassAt_;
    // kNoPass when that state is gone) and how far it has been looked at
    // since (blackPass_), its search (stamp, tree, low links, black cells per
    // subtree, subtree sizes) and the cells (sens_ == sensNow_) whose turning
    // black could force a cut cell. A pass finds nothing again while no such
    // cell has turned black and every cell turned white since is, in the
    // graph without the others, one of: a cell whose eight neighbours are not
    // white (ringQuiet; then no later white cell beside it: nearRing), a leaf
    // that leafQuiet lets be, or a cell of a block with no black cell below it
    // (deadBlock, one per block); with no cells of both latter kinds, and
    // neither with a cell off the tree paths to black cells turned black
    // (leafSince_, deadSince_, offSpineSince_).
    static constexpr std::size_t kNoPass = ~std::size_t{0};
    std::size_t blackPass_ = kNoPass, blackPassAt_ = kNoPass;
    std::vector<int> sens_, quiet_;
    int sensNow_ = 0, blackStampNow_ = 0;
    struct BlackCell {
        int stamp, disc, low, parent, sub, size, next;
        int unused; // eight ints: an index is a shift
    };
    std::vector<BlackCell> black_;
    std::vector<int> blockUsed_, ringMark_;
    bool leafSince_ = false, deadSince_ = false, offSpineSince_ = false;
    int blackCount_ = 0, whiteCount_ = 0, blackTotal_ = 0, whiteTotal_ = 0;
    bool countDirty_ = false;
    std::vector<Lit> conflict_, expl_, spare_;
    struct Fence {
        int cell, steps, x, y;
    };
    std::vector<Fence> fence_; // reach: false cells beside, steps to them, where they lie

    std::vector<int> stamp_, mark_, levelMark_;
    int stampNow_ = 0, markNow_ = 0, levelMarkNow_ = 0;
    std::vector<int> depth_, queue_, order_, cut_;
    std::vector<char> chokeDirty_; // areas whose chokepoints are to be looked at
    std::vector<int> chokeAreas_;
    // chokeArea's walk, per x variable (its index from cells_): its
    // neighbours' x variables of the same area (xOrth_ from xOrthStart_, as
    // such indices, in the order of orth_) and the walk's values.
    std::vector<int> xOrthStart_, xOrth_;
    struct ChokeCell {
        int stamp, disc, low, parent, sub, cutSize, cutCell, next;
    };
    std::vector<ChokeCell> choke_;
    int chokeStampNow_ = 0;
    // joinedWithout's and joinArea's marks, per x variable (likewise).
    std::vector<int> xMark_, xSeen_;
    int xMarkNow_ = 0, xSeenNow_ = 0;

    std::vector<double> activity_;
    double varInc_ = 1, clauseInc_ = 1;
    std::vector<int> heap_, heapPos_;
    std::vector<char> seen_;
    std::vector<Lit> learnt_, analyzed_;
    struct Step {
        int var;
        const Lit* next;
        const Lit* end;
    };
    std::vector<Step> path_; // redundant(): the walk's path, each with its reason literals left

    std::uint64_t nodes_ = 0, conflicts_ = 0;
    // Vivification: the literals undone by backtracking, those set by vivify
    // (and the clauses it tried), the search's part when vivify last ran, and
    // what vivify may still set (below 0: what it overspent).
    std::uint64_t undone_ = 0, vivSpent_ = 0, vivTried_ = 0, vivSearch_ = 0;
    std::int64_t vivBudget_ = 0;
    std::vector<int> vivCand_, vivMarked_;
    std::vector<Lit> vivLits_, vivKeep_;
    LimitWatch watch_;
    bool stopped_ = false;

    // Sharing (see swap): the solutions known (their blocking clauses, in
    // the result), what is to be logged, what was read, where this search
    // stands in the log and in its own level 0.
    Exchange* exchange_;
    int style_, id_ = 0;
    AnalysisResult* result_ = nullptr;
    std::vector<std::vector<Lit>> blocks_;
    std::vector<Exchange::Entry> outbox_, inbox_;
    std::size_t cursor_ = 0, unitsLogged_ = 0;
    // The cube (see deal): the literal decided first at level 0 (-1 none),
    // the number of the deal it came from, and whether to deal at level 0.
    Lit cube_ = -1;
    int cubeDeal_ = 0;
    bool cubeDue_ = false;
};

// Sets `l` with `reason` (in the header, so that the propagators' loops take
// it inline). The values, bytes, are stored last: a store through a byte may
// change anything, so every other load would be made again after it.
inline void Engine::enqueue(Lit l, int reason) {
    const int v = VarOf(l);
    std::int8_t* const value = value_.data();
    std::int8_t* const lit = litValue_.data();
    level_[v] = level();
    reason_[v] = reason;
    trail_.push_back(l);
    if (v < cells_) {
        blackDirty_ = true;
        if ((l & 1) ? ++whiteCount_ >= whiteTotal_ : ++blackCount_ >= blackTotal_)
            countDirty_ = true;
    } else if (isX(v)) {
        const int k = xArea(v);
        char* const clean = clean_.data();
        if (bitWords_) {
            const int c = xCell(v);
            std::uint64_t* const bits = ((l & 1) ? openBits_ : trueBits_).data();
            bits[k * kBitWords + (c >> 6)] ^= std::uint64_t{1} << (c & 63);
        }
        if (l & 1) {
            --openCount_[k];
            --cellOpen_[xCell(v)];
            if (partNow_[k] == kWholePart || partOf_[v - cells_] == partNow_[k]) clean[k] = 0;
        } else {
            clean[k] &= kJoinClean;
            if (++trueCount_[k] >= areaSize_[k] && !areaFull_[k]) {
                areaFull_[k] = 1;
                fullAreas_.push_back(k);
            }
        }
        markArea(k);
    }
    value[v] = (l & 1) ? kFalse : kTrue;
    lit[l] = kTrue;
    lit[Neg(l)] = kFalse;
}

// Sets `l` with the arena explanation `ref`; false (with the conflict) when
// `l` is already false.
inline bool Engine::imply(Lit l, int ref) {
    const std::int8_t v = litValue(l);
    if (v == kTrue) return true;
    if (v == kUnset) {
        enqueue(l, ref);
        return true;
    }
    impliedFalse(l, ref);
    return false;
}

} // namespace ombrix::learn
