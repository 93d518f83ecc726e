// The automatic solver: deduction rules run to a fixed point over the one
// board, and a trial search that decides one cell at a time by hypothesis and
// contradiction when the rules stall. Every operation leaves its outcome in
// the board's status byte; nothing is allocated while solving.
#pragma once

#include "black_groups.h"
#include "board.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace ombrix {

// Optional observer of a solve: told after every rule run which rule it was
// and whether the pass has changed anything so far. The solver never prints.
struct SolveTrace {
    virtual ~SolveTrace() = default;
    virtual void afterRule(const char* rule, const Board& board) = 0;
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

    // First rule list.
    void RuleAreaGap();
    void RuleAreaDiagonal();
    void RuleBlackDeadEnd();
    void RuleWhiteDeadEnd();
    void RuleClueTwo();
    void RuleUndecidedCell();
    void RuleWhiteDotJoin();
    void RuleBlackConnected();
    void CheckBlackBlocks();
    void RuleAreaGrowth();
    void CheckBlackCount();
    void RuleWhiteDotEscape();
    // Second rule list.
    void RuleUnreachable();
    void RuleAreaReach();
    void RuleAreaFragment();

    // Rebuilds the area index first, so it may follow any change to the board.
    int CountReachingAreas(int tx, int ty);
    bool HasDecidedNeighbour(int x, int y) const;
    void SealArea(std::uint16_t k);
    void WhitenUndecided();
    void WhitenReached();
    void SaveOuter(int mode);
    void SaveInner(int mode);

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

    struct RuleEntry {
        const char* name;
        void (Solver::*run)();
        bool ombrixOnly;
    };
    static const RuleEntry kFirstList[12];
    static const RuleEntry kSecondList[3];

  private:
    static constexpr int kCells = kGridWidth * kGridHeight;
    static constexpr int kWords = (kCells + 63) / 64; // a set of cells as bits
    static constexpr int kRuleCount = 15;             // the first list, then the second
    static constexpr int kAreaGrowthRule = 9, kBlackCountRule = 10, kDotEscapeRule = 11;
    static constexpr int kAreaReachRule = 13, kFragmentRule = 14;

    // ---- Running the rules -------------------------------------------------
    void RunFirstList();
    void RunSecondList();
    void runRule(int index, void (Solver::*run)(), const char* name);
    bool cannotAct(int index) const;
    bool stopped() const { return quick_ && b_.status == StatusContradiction; }
    // Local rules: the rule at one cell, and the scan that runs it.
    void areaGapAt(int x, int y);
    void areaDiagonalAt(int x, int y);
    void blackDeadEndAt(int x, int y);
    void whiteDeadEndAt(int x, int y);
    void clueTwoAt(int x, int y);
    void undecidedCellAt(int x, int y);
    void blackBlockAt(int x, int y);
    void whiteDotJoinAt(int x, int y);
    // A local rule acts only at cells of one kind (in `kind` or `kind2`, as
    // they stand when the scan reaches them).
    template <void (Solver::*At)(int, int)>
    void scanCells(int index, int radius, const std::uint64_t* kind,
                   const std::uint64_t* kind2 = nullptr);
    template <void (Solver::*At)(int, int)>
    bool candidateScan(int index, int radius, const std::uint64_t* kind,
                       const std::uint64_t* kind2 = nullptr);
    void addCandidates(int x, int y, int radius, int after, std::uint64_t* bits = nullptr);
    void ClearMarks();
    void PromoteMarks(); // every mark 1 or 2 becomes 3
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
    // True while the driver or the deduction loop runs the rules: then no
    // one but the solver writes the board, and what is kept can be trusted.
    bool inDriver_ = false;

    // ---- The change log ----------------------------------------------------
    // Every cell whose state or area id changed, in order. A rule is a
    // function of the board: run from log position p without meeting a
    // contradiction, it cannot act while nothing it looks at has changed
    // since p, and its own changes are in the log after p.
    static constexpr int kLogCapacity = 8192;
    void noteChange(int x, int y);
    void forgetChanges(); // the log starts afresh: every rule runs in full
    std::uint16_t changeLog_[kLogCapacity]{};
    int logLen_ = 0;
    std::uint32_t logGeneration_ = 0; // bumped whenever the log starts afresh
    // Per rule: the log position at the start of its last run, or -1 when it
    // must run in full (never ran, or met a contradiction).
    std::int32_t ruleFrom_[kRuleCount]{};
    // The trial search's deductions: rules that cannot act are skipped, and a
    // contradiction ends the deduction at once (its board is thrown away).
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
    // The cells whose mark may be set: every mark set since the last
    // ClearMarks is on the list, unless marksUnknown_.
    std::uint16_t marked_[2 * kCells]{};
    int markedCount_ = 0;
    bool marksUnknown_ = true;

    // ---- The area index of the reach query ---------------------------------
    // The unfinished areas' clue cells in board order, and the cells of each
    // area id. Outside the driver it is rebuilt when it lags the epoch; the
    // driver keeps it as cells join (keptIndex_).
    int countReaching(int tx, int ty, int enough);
    bool areaReaches(int i, int tx, int ty) const;
    int areaSlack(int i, int tx, int ty) const;
    void buildAreaIndex();
    void keepAreaIndex();
    void keepJoin(int id, int x, int y);
    void boardMayHaveChanged();
    bool alive(int i) const { return b_.at(clueX_[i], clueY_[i]).areaId != 0; }
    // Calls f(x, y) for each unfinished area's clue cell in scan order, as
    // each is reached (an area finished on the way is passed over).
    template <class F> void forEachAreaClue(F f) {
        if (keptIndex_) {
            for (int i = 0; i < clueCount_; ++i)
                if (alive(i)) f(clueX_[i], clueY_[i]);
            return;
        }
        for (int x = 1; x <= b_.width; ++x)
            for (int y = 1; y <= b_.height; ++y)
                if (const Cell& c = b_.at(x, y); c.areaId != 0 && c.state < 48) f(x, y);
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
        if (!(keptIndex_ && areasNearKnown_)) {
            // No list to go by: every area may be concerned.
            forEachAreaClue(f);
            return;
        }
        const std::uint32_t stamp = ++nearStamp_;
        const std::uint32_t generation = logGeneration_;
        std::fill(std::begin(areaDirty_), std::end(areaDirty_), 0);
        int seen = from;
        // Take in the changes made so far.
        auto takeIn = [&] {
            if (generation != logGeneration_) {
                std::fill(std::begin(areaDirty_), std::end(areaDirty_), ~std::uint64_t{0});
                return;
            }
            for (; seen < logLen_; ++seen) {
                const int c = changeLog_[seen];
                if (areaNearSeen_[c] == stamp) continue;
                areaNearSeen_[c] = stamp;
                const int cx = c / kGridHeight, cy = c % kGridHeight;
                for (int k = areasNearStart_[c]; k < areasNearStart_[c + 1]; ++k) {
                    const int j = areasNear_[k];
                    if (std::abs(clueX_[j] - cx) + std::abs(clueY_[j] - cy) <= clueN_[j] + extra)
                        setBit(areaDirty_, j, true);
                }
            }
        };
        takeIn();
        forEachBit([&](int k) { return areaDirty_[k]; },
                   [&](int i) {
                       if (i >= clueCount_) return false;
                       if (alive(i)) f(clueX_[i], clueY_[i]);
                       takeIn();
                       return true;
                   });
    }
    void listAreasNear();
    int reachCount(int x, int y);
    static constexpr int kAreasNearCapacity = 1 << 16;
    bool areasNearKnown_ = false;
    int areasNearStart_[kCells + 1]{};
    std::uint16_t areasNear_[kAreasNearCapacity]{};
    std::uint64_t areaDirty_[kWords]{};    // by index entry: a change may concern it
    std::uint32_t areaNearSeen_[kCells]{}; // by cell: the stamp of the pass that took it in
    std::uint32_t nearStamp_ = 0;
    // Bumped whenever a cell joins or leaves an area (joins, sealing,
    // preparation, snapshot restores), and by a reach rule or query called
    // on its own, since the board may then have changed behind its back.
    std::uint32_t areaEpoch_ = 1;
    std::uint32_t indexEpoch_ = 0; // no index built yet
    int idLimit_ = 0;
    int clueCount_ = 0;
    std::uint8_t clueX_[kCells]{}, clueY_[kCells]{}, clueN_[kCells]{};
    std::uint16_t clueId_[kCells]{};
    std::uint16_t columnStart_[kGridWidth + 1]{}; // first clue of each column
    int maxClue_ = 0;
    std::uint16_t areaStart_[kCells + 2]{}; // by area id: first entry in areaCellX_/Y_
    std::uint8_t areaCellX_[kCells]{}, areaCellY_[kCells]{};
    std::uint16_t areaCount_[kCells + 2]{}; // by area id: its number of entries
    std::int16_t clueOfId_[kCells + 2]{};   // by area id: its clue's entry, or -1
    std::uint8_t clueXOfId_[kCells + 1]{}, clueYOfId_[kCells + 1]{};
    bool keptIndex_ = false;
    int keptLayout_ = 0;                       // bumped by every keepAreaIndex that succeeds
    int firstReaching_ = 0, lastReaching_ = 0; // entries counted by countReaching
    // Each area id's stamp is renewed whenever a cell joins the area or the
    // area is finished, so an unchanged stamp means unchanged area cells.
    std::uint32_t areaStamp_[kCells + 1]{};
    std::uint32_t stampCounter_ = 0;
    void renewStamp(int id) {
        areaStamp_[id] = ++stampCounter_;
        suspectWitnessesOf(id);
        if (renewedCount_ < kCells)
            renewed_[renewedCount_++] = static_cast<std::uint16_t>(id);
        else
            renewedOverrun_ = true;
    }
    // The ids renewed, in order, so that a restore goes back over those
    // alone (unless the list ran over).
    std::uint16_t renewed_[kCells]{};
    int renewedCount_ = 0;
    bool renewedOverrun_ = false;
    // By area id: bumped whenever the kept cells of the area may be other
    // than a superset of what they were (a restore took some away).
    std::uint32_t areaEra_[kCells + 1]{};
    int stampCount() const { return std::min(static_cast<int>(b_.nextAreaId) + 1, kCells + 1); }

    // ---- The trial search --------------------------------------------------
    void singleTest(int x, int y, bool& decided);
    void windowTest(int x, int y, bool& decided);
    bool windowBranch(int x, int y, int xlo, int xhi, int ylo, int yhi);
    void startTrials();

    // What the trial search keeps up to date as cells are decided (while the
    // black groups are live): the black groups, the undecided cells, the
    // white dots, the cells of unfinished areas, the black cells and their
    // count.
    BlackGroups groups_;
    int groupsBuild_ = 0;
    std::uint64_t open_[kWords]{};
    std::uint64_t dots_[kWords]{};
    std::uint64_t inArea_[kWords]{};
    std::uint64_t blacks_[kWords]{};
    int blackCount_ = 0;
    void decided(int x, int y);
    // Calls f(x, y) for each white dot in scan order, as each is reached,
    // until f returns false. No rule that goes through the dots makes new
    // ones behind its back, so the kept set of dots serves; dots that join an
    // area on the way leave it.
    template <class F> void forEachWhiteDot(F f) {
        if (groups_.live()) {
            forEachBit([&](int k) { return dots_[k]; },
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

    // Witnesses of the reach query. Per undecided cell, an area that reached
    // it when the unreachable-cell rule last asked (id 0: none), with the
    // area's cell count, era and stamp then, and the estimate's margin; per
    // white dot, two such areas.
    struct Witness {
        std::uint16_t id, count;
        std::uint32_t era, stamp;
        std::int16_t slack;
        bool blackBetween; // a black cell stood in line between clue and cell
    };
    Witness witness_[kCells]{};
    Witness dotWitness_[kCells][2]{};
    void unreachableWithWitnesses();
    bool blackBetween(int i, int x, int y) const;
    Witness makeWitness(int i, int x, int y) const;
    bool witnessHolds(Witness& w, int x, int y);
    int dotReaching(int x, int y);
    void setWitness(int c, int id);
    // The cells witnessed by each area id, as lists through witnessNext_.
    std::int16_t witnessHead_[kCells + 1]{};
    std::int16_t witnessNext_[kCells]{};
    std::int16_t witnessPrev_[kCells]{};
    // The cells whose witness may no longer stand: those whose witness area
    // changed, those in line with a new black cell, and those a restore made
    // undecided again.
    std::uint64_t suspect_[kWords]{};
    void suspect(int i) { setBit(suspect_, i, true); }
    void suspectWitnessesOf(int id) {
        if (!groups_.live()) return;
        for (int c = witnessHead_[id]; c >= 0; c = witnessNext_[c])
            suspect(c);
    }
    void suspectInLine(int x, int y);

    // Known: every undecided cell is joined to a clue through cells that are
    // not black, as of the cells turned black before newBlack_[cluePathsFrom_].
    bool cluePaths_ = false;
    int cluePathsFrom_ = 0;
    // Otherwise, an undecided cell found cut off from every clue (0: none).
    int regionWithoutClue_ = 0;
    std::uint16_t newBlack_[kCells]{};
    int newBlackCount_ = 0;
    bool everyRegionHasClue();
    bool leadsToClue(int start);
    // Visit stamps of the searches for clues.
    std::uint32_t pathSeen_[kCells]{};
    std::uint32_t pathGood_[kCells]{};
    std::uint32_t pathEpoch_ = 0, pathVisit_ = 0;
    std::uint16_t queue_[kCells]{};

    // A snapshot holds the board and all that is kept about it, so that a
    // restored board comes back with what is known of it.
    static constexpr int kSnapshotLog = 1024;
    struct Snapshot {
        Cell cells[kGridWidth][kGridHeight];
        std::uint16_t undecidedCount;
        // The tail of the change log that the rules' start positions need.
        int logLen;
        std::int32_t ruleFrom[kRuleCount];
        std::uint16_t log[kSnapshotLog];
        // The marked list (count -1: unknown).
        int markedCount;
        std::uint16_t marked[kSnapshotLog];
        // The kept area index's counts (-1: the index was not kept).
        int keptLayout;
        int renewedCount;
        std::uint16_t areaCount[kCells + 1];
        std::uint32_t areaStamp[kCells + 1];
        // Where the black groups' trail stood, and in which build of them.
        int groupsBuild, groupsMark;
        std::uint64_t open[kWords], dots[kWords], inArea[kWords], blacks[kWords];
        int blackCount;
        bool cluePaths;
        int cluePathsFrom, newBlackCount, regionWithoutClue;
    };
    void save(Snapshot& s, int mode);
    Snapshot outer_{};
    Snapshot inner_{};

    // ---- The region walk ---------------------------------------------------
    // The walk is compiled once per variant, so the variant's tests cost no
    // run-time dispatch.
    template <Walk V> void visit(int x, int y);
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

// Solves `board` in place; the outcome is in board.status.
void AutoSolve(Board& board, SolveTrace* trace = nullptr);

} // namespace ombrix
