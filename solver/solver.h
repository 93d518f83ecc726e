// The automatic solver: deduction rules run to a fixed point over the one
// board, and a trial search that decides one cell at a time by hypothesis and
// contradiction when the rules stall. Every operation leaves its outcome in
// the board's status byte; nothing is allocated while solving.
#pragma once

#include "black_groups.h"
#include "board.h"
#include "solver_parts.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <span>

namespace ombrix {

// One cell a rule run changed: its place and its state code before and after
// the run.
struct CellChange {
    std::uint8_t x, y;
    std::uint8_t before, after;
};

// One rule run as a trace hears it.
struct RuleRun {
    Rule rule;
    const char* name; // as the rule table names it
    // The playable cells whose state code the run changed, column by column
    // (area ids and walk marks are not states). Empty when the trace did not
    // want them (SolveTrace::wantsChanges).
    std::span<const CellChange> changes;
};

// Optional observer of a solve: told after every rule run which rule it was
// and which cells it changed, and when the trial search starts and ends. The
// rule runs between beforeTrial and afterTrial are the trial search's
// hypotheses, whose boards are thrown away. The solver never prints.
struct SolveTrace {
    virtual ~SolveTrace() = default;
    virtual void afterRule(const RuleRun& run, const Board& board) = 0;
    // Whether the next rule run's changed cells are wanted. Finding them
    // costs a copy of the states before the run and a comparison after it;
    // a trace that does not want them costs nothing of the kind.
    virtual bool wantsChanges() const { return true; }
    // The driver's rules have stalled: the trial search starts.
    virtual void beforeTrial(const Board&) {}
    virtual void afterTrial(const Board& board) = 0;
    // The trial search found no single hypothesis that decides a cell and
    // turns to its window stage.
    virtual void beforeWindowStage(const Board&) {}
};

// The solver's working storage beside the board: the two whole-grid snapshots
// of the trial search, what it keeps up to date about the board, and the
// scratch of the region walks. It lives for one solve; at about 600 KB it is
// best kept on the heap or inside a longer-lived object.
class Solver {
  public:
    explicit Solver(Board& board, SolveTrace* trace = nullptr) : b_(board), trace_(trace) {}

    // Entry point: prepare the board from its clues and solve it.
    void AutoSolve();
    // The driver of AutoSolve from the board as PrepareBoard left it, or
    // changed since only through MarkBlack and MarkWhite: rule passes and
    // trial searches until the board is complete, contradictory or stuck,
    // or `trials` trial searches have run (negative: no limit).
    void SolveOn(int trials = -1);

    // True: the driver keeps its indexes up to date as cells change, and the
    // trial search's deductions skip what cannot act. False: every rule runs
    // in full as written, with nothing kept between runs, which is what the
    // tests hold the kept forms against. The outcome is the same.
    bool incremental = true;

    // The pieces, public so that tests can drive them one at a time.
    void PrepareBoard();
    void RunDeduction();
    void TrialSearch();

    void MarkBlack(int x, int y);
    void MarkWhite(int x, int y);
    void JoinArea(int x, int y, int sx, int sy);

    // Runs one rule once over the whole board, as written.
    void Run(Rule rule) { (this->*kRules[index(rule)].run)(); }

    // Rebuilds the area index first, so it may follow any change to the board.
    int CountReachingAreas(int tx, int ty);
    bool HasDecidedNeighbour(int x, int y) const;
    void SealArea(std::uint16_t k);
    void WhitenUndecided();
    void WhitenReached();

    // The region walk and its variants.
    enum class Walk { BlackGroup, Area, DotGroup, Reach, ToClue, Fragment };
    int WalkRegion(Walk variant, int x, int y);
    int WalkBlackGroup(int x, int y) { return WalkRegion(Walk::BlackGroup, x, y); }
    int WalkArea(int x, int y) { return WalkRegion(Walk::Area, x, y); }
    int WalkDotGroup(int x, int y) { return WalkRegion(Walk::DotGroup, x, y); }
    int WalkReach(int x, int y) { return WalkRegion(Walk::Reach, x, y); }
    int WalkToClue(int x, int y) { return WalkRegion(Walk::ToClue, x, y); }
    int WalkFragment(int x, int y) { return WalkRegion(Walk::Fragment, x, y); }

    // Walk scratch, read by the rules right after a walk (and by tests).
    std::int32_t exitCount = 0;
    std::int32_t lastExitX = 0, lastExitY = 0;
    std::int32_t visitedCount = 0;
    std::uint32_t reachArea = 0;
    std::int32_t reachLimit = 0;
    std::int32_t fragmentCode = 0;

    // The cells a rule looks at in the trial search, where it runs again
    // after changes to a board it has seen.
    enum class Looks : std::uint8_t {
        Board,           // the whole board
        AreaCells,       // local: the cells of unfinished areas
        AreaCellsOrDots, // local: those and the white dots
        BlackCells,      // local: the black cells
        UndecidedCells,  // local: the undecided cells
        NearAreas,       // the unfinished areas with a change within their number + radius
    };
    // What lets the trial search skip a rule that ran before without a
    // contradiction. Every rule is skipped when nothing at all has changed
    // since; a local rule looks only at the cells of its kind within its
    // radius of a change (all of them after many changes).
    enum class Skip : std::uint8_t {
        Unchanged,      // only when nothing changed
        NoChangeNear,   // local: no change within its radius of a cell of its kind
        NoWhiteTouched, // no change at or next to a white cell
        NoNewBlack,     // no change to a black cell
    };
    struct RuleInfo {
        Rule id;
        const char* name;             // as the trace names it
        void (Solver::*run)();        // the rule over the whole board
        void (Solver::*at)(int, int); // a local rule at one cell, or null
        bool secondPass;              // runs only when the first pass changed nothing
        bool ombrixOnly;
        int radius; // see Looks
        Looks looks;
        Skip skip;
    };
    // Entry i is rule i; the table is checked below the class.
    static const RuleInfo kRules[kRuleCount];

  private:
    static constexpr int kCells = kGridWidth * kGridHeight;
    static constexpr int kWords = (kCells + 63) / 64; // a set of cells as bits

    // ---- Running the rules -------------------------------------------------
    void RuleWhiteDotJoin();
    void RuleBlackConnected();
    void CheckBlackBlocks();
    void RuleAreaGrowth();
    void CheckBlackCount();
    void RuleWhiteDotEscape();
    void RuleUnreachable();
    // Area reach, then clue reachability from the marks it hands over.
    void RuleAreaReach();
    bool areaReach(bool& cleared);
    bool handOffReachMarks(bool& cleared);
    void clueReachability();
    void walkAreaReach(int x, int y, bool& cleared);
    void RuleAreaFragment();
    // One pass of the rules in table order (the first or the second).
    void runPass(bool secondPass);
    // Runs a rule with the change log's bookkeeping; traced unless it is the
    // deduction loop's second block check.
    void runRule(Rule rule, bool traced = true);
    bool cannotAct(Rule rule) const;
    bool touchesOtherArea(int x, int y, std::uint16_t id) const;
    void finishClueTwo(int x, int y, int sx, int sy);
    bool stopped() const { return quick_ && b_.status == StatusContradiction; }
    // Where the trial search's run of a rule may start looking: the log
    // position of its last run, or -1 for the whole board.
    int quickFrom(Rule rule) const { return quick_ ? log_.ruleFrom[index(rule)] : -1; }
    static constexpr Rule firstLocalRule() {
        for (const RuleInfo& r : kRules)
            if (r.skip == Skip::NoChangeNear) return r.id;
        return Rule::AreaGap;
    }
    // Local rules: the rule at one cell, and the scan that runs it.
    void areaGapAt(int x, int y);
    void areaDiagonalAt(int x, int y);
    void blackDeadEndAt(int x, int y);
    void whiteDeadEndAt(int x, int y);
    void clueTwoAt(int x, int y);
    void undecidedCellAt(int x, int y);
    void blackBlockAt(int x, int y);
    void whiteDotJoinAt(int x, int y);
    // A local rule acts only at cells of its kind, as they stand when the
    // scan reaches them.
    template <Rule R> void scanCells();
    template <Rule R> bool candidateScan();
    void addCandidates(int x, int y, int radius, int after, std::uint64_t* bits = nullptr);
    void markNearChanges(bool restart, int from);
    void takeInChanges(int i, int radius, int& seen, std::uint32_t& generation);
    void ClearMarks();
    void PromoteMarks(); // every mark Open or Done becomes Settled
    void paintWhite(int x, int y);
    const Cell& cellAt(int i) const { return b_.cells[i / kGridHeight][i % kGridHeight]; }
    Cell& cellAt(int i) { return b_.cells[i / kGridHeight][i % kGridHeight]; }
    static void setBit(std::uint64_t* bits, int i, bool on) {
        if (on)
            bits[i / 64] |= std::uint64_t{1} << (i % 64);
        else
            bits[i / 64] &= ~(std::uint64_t{1} << (i % 64));
    }
    static int indexOf(int x, int y) { return x * kGridHeight + y; }
    // Calls f(i) for each set bit i of the cell set whose word k is word(k),
    // in scan order. Each word is read afresh after every call, so cells
    // added beyond i on the way are taken in, and cells taken out are passed
    // over. Stops when f returns false.
    template <class Word, class F> static void forEachBit(Word word, F f) {
        for (int k = 0; k < kWords; ++k) {
            std::uint64_t above = ~std::uint64_t{0};
            for (std::uint64_t m; (m = word(k) & above) != 0;) {
                const int bit = std::countr_zero(m);
                above = bit == 63 ? 0 : ~std::uint64_t{0} << (bit + 1);
                if (!f(k * 64 + bit)) return;
            }
        }
    }

    Board& b_;
    SolveTrace* trace_;

    // ---- The trace ---------------------------------------------------------
    // The states before a traced rule run, and the cells it changed.
    std::uint8_t traceBefore_[kCells]{};
    CellChange traceChanges_[kCells]{};

    // ---- Which fast path holds where ---------------------------------------
    // Standalone: a rule, RunDeduction or TrialSearch called on its own
    // (tests); driver: AutoSolve's rule passes; trial: the deductions of the
    // trial search. With `incremental` false none of the fast paths is taken.
    //
    //   flag              standalone     driver           trial
    //   inDriver_         false          true             true
    //   keeping()         false          = incremental    = incremental
    //   keptSets()        false          false            = incremental
    //   quick_            false          false            = incremental (*)
    //   index_.kept       false (**)     when it fits     when it fits
    //   near_.known       -              when it fits     when it fits
    //   marks_.unknown    true at entry  false once cleared, while the list holds
    //   dotMarksSkipped_  false          false            the dot rule was skipped
    //
    // inDriver_: no one but the solver writes the board, so the area epoch
    // and the marked list can be trusted (else RunDeduction and the reach
    // rules start from "the board may have changed"). keeping(): the driver
    // keeps its indexes as cells change (the area index through JoinArea,
    // the marked list for ClearMarks). keptSets(): the trial search's kept
    // black groups, cell sets, witnesses and clue paths are up to date.
    // quick_: rules that cannot act are skipped, local rules and area rules
    // look only near the changes, and a contradiction ends the deduction.
    // index_.kept and near_.known fall back to the slow forms when the area
    // index or the near lists would not fit.
    // (*) quick_ implies keptSets(); it is off for the full deduction that
    // keeps a second solution. (**) as PrepareBoard left it until a reach
    // rule or RunDeduction called on its own drops it; the reach query then
    // builds the index afresh whenever the epoch moved.
    bool inDriver_ = false;
    bool keeping() const { return inDriver_ && incremental; }
    bool keptSets() const { return kept_.groups.live(); }

    // ---- The parts (solver_parts.h) ------------------------------------------
    ChangeLog log_;
    MarkedList marks_;
    AreaIndex index_;
    NearLists near_;
    Witnesses wit_;
    KeptSets kept_;
    CluePaths paths_;

    // ---- The change log ----------------------------------------------------
    void noteChange(int x, int y);
    void forgetChanges(); // the log starts afresh: every rule runs in full
    // The trial search's deductions (see the table above).
    bool quick_ = false;
    // The dot-escape rule was skipped this pass, so the marks it leaves for
    // the clue-reachability walk are not on the board.
    bool dotMarksSkipped_ = false;
    // The cells a local rule still has to look at, and the cells within one
    // and two of the changes since sharedFrom_ (up to sharedTo_).
    std::uint64_t candidates_[kWords]{};
    std::uint64_t shared_[2][kWords]{};
    int sharedFrom_ = 0, sharedTo_ = 0;
    std::uint32_t sharedGeneration_ = 0;

    // ---- The area index of the reach query ---------------------------------
    // The unfinished areas' clue cells in board order, and the cells of each
    // area id. Outside the driver it is rebuilt when it lags the epoch; the
    // driver keeps it as cells join (index_.kept).
    int countReaching(int tx, int ty, int enough);
    bool areaReaches(int i, int tx, int ty) const;
    int areaSlack(int i, int tx, int ty) const;
    void buildAreaIndex();
    void keepAreaIndex();
    void keepJoin(int id, int x, int y);
    void boardMayHaveChanged();
    bool alive(int i) const { return b_.at(index_.clueX[i], index_.clueY[i]).areaId != 0; }
    // Calls f(x, y) for each unfinished area's clue cell in scan order, as
    // each is reached (an area finished on the way is passed over).
    template <class F> void forEachAreaClue(F f) {
        if (index_.kept) {
            for (int i = 0; i < index_.clueCount; ++i)
                if (alive(i)) f(index_.clueX[i], index_.clueY[i]);
            return;
        }
        for (int x = 1; x <= b_.width; ++x)
            for (int y = 1; y <= b_.height; ++y)
                if (const Cell& c = b_.at(x, y); c.areaId != 0 && isWorkedClue(c.state)) f(x, y);
    }
    // Calls f(x, y), as forEachAreaClue, for the areas that a change since
    // log position `from` (-1: all) may concern: a changed cell within the
    // area's number plus `extra` of its clue, changes made on the way
    // included.
    template <class F> void forEachAreaNear(int from, int extra, F f) {
        if (from < 0) {
            forEachAreaClue(f);
            return;
        }
        if (!(index_.kept && near_.known)) {
            // No list to go by: every area may be concerned.
            forEachAreaClue(f);
            return;
        }
        const std::uint32_t stamp = ++near_.stampCounter;
        const std::uint32_t generation = log_.generation;
        std::fill(std::begin(near_.dirty), std::end(near_.dirty), 0);
        int seen = from;
        // Take in the changes made so far.
        auto takeIn = [&] {
            if (generation != log_.generation) {
                std::fill(std::begin(near_.dirty), std::end(near_.dirty), ~std::uint64_t{0});
                return;
            }
            for (; seen < log_.len; ++seen) {
                const int c = log_.cells[seen];
                if (near_.seen[c] == stamp) continue;
                near_.seen[c] = stamp;
                const int cx = c / kGridHeight, cy = c % kGridHeight;
                for (int k = near_.start[c]; k < near_.start[c + 1]; ++k) {
                    const int j = near_.entries[k];
                    if (std::abs(index_.clueX[j] - cx) + std::abs(index_.clueY[j] - cy) <=
                        index_.clueN[j] + extra)
                        setBit(near_.dirty, j, true);
                }
            }
        };
        takeIn();
        forEachBit([&](int k) { return near_.dirty[k]; },
                   [&](int i) {
                       if (i >= index_.clueCount) return false;
                       if (alive(i)) f(index_.clueX[i], index_.clueY[i]);
                       takeIn();
                       return true;
                   });
    }
    void listAreasNear();
    int reachCount(int x, int y);
    // A cell joined area `id` or the area was finished: a new stamp, and its
    // witnesses are in doubt.
    void renewStamp(int id) {
        index_.renew(id);
        suspectWitnessesOf(id);
    }
    int stampCount() const { return std::min(static_cast<int>(b_.nextAreaId) + 1, kCells + 1); }

    // ---- The trial search --------------------------------------------------
    void singleTest(int x, int y, bool& decided);
    void windowTest(int x, int y, bool& decided);
    bool windowBranch(int x, int y, int xlo, int xhi, int ylo, int yhi);
    void startTrials();
    bool tryColumns(int first, int last, void (Solver::*test)(int, int, bool&));

    // Undecided cell (x, y) has just been decided: the kept sets follow.
    void decided(int x, int y);
    // Calls f(x, y) for each white dot in scan order, as each is reached,
    // until f returns false. No rule that goes through the dots makes new
    // ones behind its back, so the kept set of dots serves; dots that join an
    // area on the way leave it.
    template <class F> void forEachWhiteDot(F f) {
        if (keptSets()) {
            forEachBit([&](int k) { return kept_.dots[k]; },
                       [&](int i) {
                           return cellAt(i).state != WhiteDot ||
                                  f(i / kGridHeight, i % kGridHeight);
                       });
            return;
        }
        for (int x = 1; x <= b_.width; ++x)
            for (int y = 1; y <= b_.height; ++y)
                if (b_.state(x, y) == WhiteDot && !f(x, y)) return;
    }

    // The reach witnesses.
    using Witness = Witnesses::Witness;
    void unreachableWithWitnesses();
    bool blackBetween(int i, int x, int y) const;
    Witness makeWitness(int i, int x, int y) const;
    bool witnessHolds(Witness& w, int x, int y);
    int dotReaching(int x, int y);
    void setWitness(int c, int id);
    void suspect(int i) { setBit(wit_.suspect, i, true); }
    void suspectWitnessesOf(int id) {
        if (!keptSets()) return;
        for (int c = wit_.head[id]; c >= 0; c = wit_.next[c])
            suspect(c);
    }
    void suspectInLine(int x, int y);

    // The clue paths.
    bool everyRegionHasClue();
    bool newBlacksKeepPaths();
    void searchFromClues();
    bool leadsToClue(int start);

    // A snapshot holds the board and all that is kept about it, so that a
    // restored board comes back with what is known of it.
    // One Saved record per part that a snapshot holds; saveSnapshot and
    // restoreSnapshot go through them all.
    struct Snapshot {
        Cell cells[kGridWidth][kGridHeight];
        std::uint16_t undecidedCount;
        ChangeLog::Saved log;
        MarkedList::Saved marks;
        AreaIndex::Saved areas;
        KeptSets::Saved kept;
        CluePaths::Saved paths;
    };
    void saveSnapshot(Snapshot& s);
    void restoreSnapshot(Snapshot& s);
    void restoreAreas(AreaIndex::Saved& s);
    Snapshot outer_{};
    Snapshot inner_{};

    // ---- The region walk ---------------------------------------------------
    // The walk is compiled once per variant, so the variant's tests cost no
    // run-time dispatch.
    template <Walk V> void visit(int x, int y);
    enum class Step { Skip, Member, Stop };
    template <Walk V> Step neighbour(const Cell& v, const Cell& n, int x, int y, int nx, int ny);
    bool reachBlocked(int x, int y, int nx, int ny) const;
    template <Walk V> bool stopTest() const;
    template <Walk V> bool runFrom(int x, int y);
    template <Walk V> int walk(int x, int y);
    void touch(const Cell& v, int x, int y);
    // Per-visit counters and the branch list of the current walk. Sized for
    // the whole grid: an entry is added only before a step onto an unvisited
    // cell, so no group can overflow it.
    std::int32_t newCount_ = 0, backCount_ = 0;
    std::int32_t nextX_ = 0, nextY_ = 0, backX_ = 0, backY_ = 0;
    static constexpr int kBranchCapacity = kCells;
    std::uint8_t branchX_[kBranchCapacity]{};
    std::uint8_t branchY_[kBranchCapacity]{};
    int branchCount_ = 0;
    // The cells whose mark the current walk took from 0, so that rules can
    // clear or promote exactly those instead of scanning the whole board.
    std::uint8_t touchedX_[kBranchCapacity]{};
    std::uint8_t touchedY_[kBranchCapacity]{};
    int touchedCount_ = 0;
};

inline constexpr Solver::RuleInfo Solver::kRules[kRuleCount] = {
    // id, name, whole, at one cell, second pass, Ombrix only, radius, looks, skip
    {Rule::AreaGap, "RuleAreaGap", &Solver::scanCells<Rule::AreaGap>, &Solver::areaGapAt, false,
     false, 2, Looks::AreaCells, Skip::NoChangeNear},
    {Rule::AreaDiagonal, "RuleAreaDiagonal", &Solver::scanCells<Rule::AreaDiagonal>,
     &Solver::areaDiagonalAt, false, false, 1, Looks::AreaCells, Skip::NoChangeNear},
    {Rule::BlackDeadEnd, "RuleBlackDeadEnd", &Solver::scanCells<Rule::BlackDeadEnd>,
     &Solver::blackDeadEndAt, false, false, 1, Looks::BlackCells, Skip::NoChangeNear},
    {Rule::WhiteDeadEnd, "RuleWhiteDeadEnd", &Solver::scanCells<Rule::WhiteDeadEnd>,
     &Solver::whiteDeadEndAt, false, false, 2, Looks::AreaCellsOrDots, Skip::NoChangeNear},
    {Rule::ClueTwo, "RuleClueTwo", &Solver::scanCells<Rule::ClueTwo>, &Solver::clueTwoAt, false,
     false, 2, Looks::AreaCells, Skip::NoChangeNear},
    {Rule::UndecidedCell, "RuleUndecidedCell", &Solver::scanCells<Rule::UndecidedCell>,
     &Solver::undecidedCellAt, false, false, 1, Looks::UndecidedCells, Skip::NoChangeNear},
    {Rule::WhiteDotJoin, "RuleWhiteDotJoin", &Solver::RuleWhiteDotJoin, nullptr, false, false, 0,
     Looks::Board, Skip::Unchanged},
    {Rule::BlackConnected, "RuleBlackConnected", &Solver::RuleBlackConnected, nullptr, false, false,
     0, Looks::Board, Skip::Unchanged},
    // The block check has its own whole-board form.
    {Rule::BlackBlocks, "CheckBlackBlocks", &Solver::CheckBlackBlocks, &Solver::blackBlockAt, false,
     true, 1, Looks::BlackCells, Skip::NoChangeNear},
    {Rule::AreaGrowth, "RuleAreaGrowth", &Solver::RuleAreaGrowth, nullptr, false, false, 0,
     Looks::NearAreas, Skip::NoWhiteTouched},
    {Rule::BlackCount, "CheckBlackCount", &Solver::CheckBlackCount, nullptr, false, false, 0,
     Looks::Board, Skip::NoNewBlack},
    {Rule::WhiteDotEscape, "RuleWhiteDotEscape", &Solver::RuleWhiteDotEscape, nullptr, false, false,
     0, Looks::Board, Skip::NoWhiteTouched},
    {Rule::Unreachable, "RuleUnreachable", &Solver::RuleUnreachable, nullptr, true, false, 0,
     Looks::Board, Skip::Unchanged},
    // A reach walk looks up to three cells beyond its last step.
    {Rule::AreaReach, "RuleAreaReach", &Solver::RuleAreaReach, nullptr, true, false, 3,
     Looks::NearAreas, Skip::Unchanged},
    {Rule::AreaFragment, "RuleAreaFragment", &Solver::RuleAreaFragment, nullptr, true, false, 0,
     Looks::Board, Skip::NoWhiteTouched},
};

constexpr bool RuleTableInOrder() {
    for (int i = 0; i < kRuleCount; ++i)
        if (index(Solver::kRules[i].id) != i) return false;
    return true;
}
static_assert(RuleTableInOrder(), "entry i of Solver::kRules must be rule i");

// Solves `board` in place; the outcome is in board.status.
void AutoSolve(Board& board, SolveTrace* trace = nullptr);

} // namespace ombrix
