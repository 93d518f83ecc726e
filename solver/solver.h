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
#include <iterator>

namespace ombrix {

// Optional observer of a solve: told after every rule run which rule it was
// and whether the pass has changed anything so far. The solver never prints.
struct SolveTrace {
    virtual ~SolveTrace() = default;
    virtual void afterRule(const char* rule, const Board& board) = 0;
    virtual void afterTrial(const Board& board) = 0;
};

// The solver's working storage beside the board: the two whole-grid snapshots
// of the trial search and the scratch of the region walks. It lives for one
// solve (on the caller's stack or inside a longer-lived object).
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
    int countReaching(int tx, int ty, int enough);
    bool areaReaches(int i, int tx, int ty) const;
    int areaSlack(int i, int tx, int ty) const;
    void unreachableWithWitnesses();
    void buildAreaIndex();
    void RunFirstList();
    void RunSecondList();
    void runRule(int index, void (Solver::*run)(), const char* name);
    // Local rules: the rule at one cell, and the scan that runs it.
    void areaGapAt(int x, int y);
    void areaDiagonalAt(int x, int y);
    void blackDeadEndAt(int x, int y);
    void whiteDeadEndAt(int x, int y);
    void clueTwoAt(int x, int y);
    void undecidedCellAt(int x, int y);
    void blackBlockAt(int x, int y);
    template <void (Solver::*At)(int, int)> void scanCells(int index, int radius);
    template <void (Solver::*At)(int, int)> bool candidateScan(int index, int radius);
    void addCandidates(int x, int y, int radius, int after);
    bool stopped() const { return quick_ && b_.status == StatusContradiction; }
    void noteChange(int x, int y);
    void paintWhite(int x, int y);
    void forgetChanges();
    void ClearMarks();
    void PromoteMarks(); // every mark 1 or 2 becomes 3
    void singleTest(int x, int y, bool& decided);
    void windowTest(int x, int y, bool& decided);
    bool windowBranch(int x, int y, int xlo, int xhi, int ylo, int yhi);

    // The change log: every cell whose state or area id changed, in order.
    // A rule that ran from log position p and changed nothing need not run
    // again while the log still ends at p: it is a function of the board.
    static constexpr int kRuleCount = 15; // the first list, then the second
    static constexpr int kLogCapacity = 8192;
    static constexpr int kSnapshotLog = 1024;

    struct Snapshot {
        Cell cells[kGridWidth][kGridHeight];
        std::uint16_t undecidedCount;
        // The tail of the change log that the rules' start positions need.
        int logLen;
        std::int32_t ruleFrom[kRuleCount];
        std::uint16_t log[kSnapshotLog];
        // Where the black groups' trail stood, and in which build of them.
        int groupsBuild, groupsMark;
        std::uint32_t areaStamp[kGridWidth * kGridHeight + 1];
        bool cluePaths;
        int cluePathsFrom, newBlackCount, regionWithoutClue;
        std::uint16_t areaCount[kGridWidth * kGridHeight + 1];
        int keptLayout; // -1: the index was not kept
        std::uint64_t dots[(kGridWidth * kGridHeight + 63) / 64];
        std::uint64_t open[(kGridWidth * kGridHeight + 63) / 64];
        std::uint64_t inArea[(kGridWidth * kGridHeight + 63) / 64];
        int blackCount;
        // The marked list (count -1: unknown).
        int markedCount;
        std::uint16_t marked[kSnapshotLog];
    };
    void save(Snapshot& s, int mode);

    // The walk is compiled once per variant, so the variant's tests cost no
    // run-time dispatch.
    template <Walk V> void visit(int x, int y);
    template <Walk V> bool stopTest() const;
    template <Walk V> bool runFrom(int x, int y);
    template <Walk V> int walk(int x, int y);
    void touch(const Cell& v, int x, int y);

    Board& b_;
    SolveTrace* trace_;

    std::uint16_t changeLog_[kLogCapacity]{};
    int logLen_ = 0;
    std::uint32_t logGeneration_ = 0; // bumped whenever the log starts afresh
    // Per rule: the log position at the start of its last run, or -1 when it
    // must run (never ran, acted, or met a contradiction since).
    std::int32_t ruleFrom_[kRuleCount]{};
    // The trial search's deductions: rules that cannot act are skipped, and a
    // contradiction ends the deduction at once (its board is thrown away).
    bool quick_ = false;
    // The dot-escape rule was skipped this pass, so the marks it leaves for
    // the clue-reachability walk are not on the board.
    bool dotMarksSkipped_ = false;
    // Each area id's stamp is renewed whenever a cell joins the area or the
    // area is finished, so an unchanged stamp means unchanged area cells.
    std::uint32_t areaStamp_[kGridWidth * kGridHeight + 1]{};
    std::uint32_t stampCounter_ = 0;
    void renewStamp(int id) {
        areaStamp_[id] = ++stampCounter_;
        suspectWitnessesOf(id);
    }
    // The cells whose witness may no longer stand (trial search only): those
    // whose witness area changed, those in line with a new black cell, and
    // those a restore made undecided again.
    std::uint64_t suspect_[(kGridWidth * kGridHeight + 63) / 64]{};
    void suspect(int i) { suspect_[i / 64] |= std::uint64_t{1} << (i % 64); }
    void suspectWitnessesOf(int id) {
        if (!groups_.live()) return;
        for (int c = witnessHead_[id]; c >= 0; c = witnessNext_[c])
            suspect(c);
    }
    void suspectInLine(int x, int y);
    void setWitness(int c, int id);
    // The cells witnessed by each area id, as lists through witnessNext_.
    std::int16_t witnessHead_[kGridWidth * kGridHeight + 1]{};
    std::int16_t witnessNext_[kGridWidth * kGridHeight]{};
    std::int16_t witnessPrev_[kGridWidth * kGridHeight]{};
    int stampCount() const {
        return std::min<int>(static_cast<int>(b_.nextAreaId) + 1, kGridWidth * kGridHeight + 1);
    }
    // Per cell, during the trial search: an area that reached it when the
    // unreachable-cell rule last asked (id 0: none), its cell count and era
    // then, and the reach estimate's margin.
    struct Witness {
        std::uint16_t id, count;
        std::uint32_t era, stamp;
        std::int16_t slack;
        bool blackBetween; // a black cell stood in line between clue and cell
    };
    Witness witness_[kGridWidth * kGridHeight]{};
    Witness dotWitness_[kGridWidth * kGridHeight][2]{};
    bool blackBetween(int i, int x, int y) const;
    Witness makeWitness(int i, int x, int y) const;
    bool witnessHolds(Witness& w, int x, int y);
    int dotReaching(int x, int y);
    int firstReaching_ = 0;
    // By area id: bumped whenever the kept cells of the area may be other
    // than a superset of what they were (a restore took some away).
    std::uint32_t areaEra_[kGridWidth * kGridHeight + 1]{};
    // The undecided cells by scan index, during the trial search.
    std::uint64_t open_[(kGridWidth * kGridHeight + 63) / 64]{};
    int lastReaching_ = 0; // index entry of the last area counted by countReaching
    std::uint8_t clueXOfId_[kGridWidth * kGridHeight + 1]{},
        clueYOfId_[kGridWidth * kGridHeight + 1]{};

    // The black groups, kept up to date during the trial search only.
    BlackGroups groups_;
    int groupsBuild_ = 0;
    void decided(int x, int y) {
        if (!groups_.live()) return;
        groups_.Decided(b_, x, y);
        const std::uint8_t s = b_.state(x, y);
        {
            const int i = x * kGridHeight + y;
            open_[i / 64] &= ~(std::uint64_t{1} << (i % 64));
        }
        if (isBlack(s)) {
            newBlack_[newBlackCount_++] = static_cast<std::uint16_t>(x * kGridHeight + y);
            ++blackCount_;
            suspectInLine(x, y);
        } else if (s == WhiteDot) {
            setDot(x, y, true);
        }
    }
    const Cell& cellAt(int i) const { return b_.cells[i / kGridHeight][i % kGridHeight]; }
    Cell& cellAt(int i) { return b_.cells[i / kGridHeight][i % kGridHeight]; }
    // Known during the trial search: every undecided cell is joined to a clue
    // through cells that are not black, as of the cells turned black before
    // newBlack_[cluePathsFrom_].
    bool cluePaths_ = false;
    int cluePathsFrom_ = 0;
    // Otherwise, an undecided cell found cut off from every clue (0: none).
    int regionWithoutClue_ = 0;
    std::uint16_t newBlack_[kGridWidth * kGridHeight]{};
    int newBlackCount_ = 0;
    // Visit stamps of the searches for clues.
    std::uint32_t pathSeen_[kGridWidth * kGridHeight]{};
    std::uint32_t pathGood_[kGridWidth * kGridHeight]{};
    std::uint32_t pathEpoch_ = 0, pathVisit_ = 0;
    bool everyRegionHasClue();
    bool leadsToClue(int start);
    bool changedNear(int from, int x, int y, int radius);
    int nearFrom_ = 0, nearTo_ = 0;
    int nearULo_ = 0, nearUHi_ = 0, nearVLo_ = 0, nearVHi_ = 0;
    std::uint32_t nearGeneration_ = 0;
    std::uint8_t nearX_[kLogCapacity]{}, nearY_[kLogCapacity]{};
    // Calls f(x, y) for each white dot in scan order, as each is reached,
    // until f returns false. No rule that goes through the dots makes new
    // ones behind its back, so the trial search's set of dots serves.
    template <class F> void forEachWhiteDot(F f) {
        if (groups_.live()) {
            std::uint64_t words[kDotWords];
            std::copy(std::begin(dots_), std::end(dots_), words);
            for (int k = 0; k < kDotWords; ++k) {
                for (std::uint64_t m = words[k]; m != 0; m &= m - 1) {
                    const int i = k * 64 + std::countr_zero(m);
                    if (cellAt(i).state == WhiteDot && !f(i / kGridHeight, i % kGridHeight)) return;
                }
            }
            return;
        }
        for (int x = 1; x <= b_.width; ++x)
            for (int y = 1; y <= b_.height; ++y)
                if (b_.state(x, y) == WhiteDot && !f(x, y)) return;
    }
    // During the trial search: the white dots by scan index, and the number
    // of black cells.
    static constexpr int kDotWords = (kGridWidth * kGridHeight + 63) / 64;
    std::uint64_t dots_[kDotWords]{};
    int blackCount_ = 0;
    // The cells of unfinished areas (area id not 0), during the trial search.
    std::uint64_t inArea_[kDotWords]{};
    static void setBit(std::uint64_t* bits, int x, int y, bool on) {
        const int i = x * kGridHeight + y;
        if (on)
            bits[i / 64] |= std::uint64_t{1} << (i % 64);
        else
            bits[i / 64] &= ~(std::uint64_t{1} << (i % 64));
    }
    void setDot(int x, int y, bool on) {
        const int i = x * kGridHeight + y;
        if (on)
            dots_[i / 64] |= std::uint64_t{1} << (i % 64);
        else
            dots_[i / 64] &= ~(std::uint64_t{1} << (i % 64));
    }
    void whiteDotJoinAt(int x, int y);
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
    // The cells whose mark may be set: every mark set since the last
    // ClearMarks is on the list, unless marksUnknown_.
    std::uint16_t marked_[2 * kGridWidth * kGridHeight]{};
    int markedCount_ = 0;
    bool marksUnknown_ = true;
    static constexpr int kAreaGrowthRule = 9, kBlackCountRule = 10, kDotEscapeRule = 11;
    static constexpr int kAreaReachRule = 13, kFragmentRule = 14;
    bool cannotAct(int index) const;
    std::uint16_t queue_[kGridWidth * kGridHeight]{};
    // The cells a local rule still has to look at, by scan index x * height + y.
    std::uint64_t candidates_[(kGridWidth * kGridHeight + 63) / 64]{};
    Snapshot outer_{};
    Snapshot inner_{};

    // Per-visit counters and the branch list of the current walk. Sized for
    // the whole grid: an entry is added only before a step onto an unvisited
    // cell, so no group can overflow it.
    std::int32_t newCount_ = 0, backCount_ = 0;
    std::int32_t nextX_ = 0, nextY_ = 0, backX_ = 0, backY_ = 0;
    static constexpr int kBranchCapacity = kGridWidth * kGridHeight;
    std::uint8_t branchX_[kBranchCapacity]{};
    std::uint8_t branchY_[kBranchCapacity]{};
    int branchCount_ = 0;
    // The cells whose mark the current walk took from 0, so that rules can
    // clear or promote exactly those instead of scanning the whole board.
    std::uint8_t touchedX_[kBranchCapacity]{};
    std::uint8_t touchedY_[kBranchCapacity]{};
    int touchedCount_ = 0;

    // The unfinished areas for the reach query: their clue cells in board
    // order, and the cells of each area id. Rebuilt when it lags the epoch.
    static constexpr int kCells = kGridWidth * kGridHeight;
    // Bumped whenever a cell joins or leaves an area (joins, sealing,
    // preparation, snapshot restores), and by a reach rule or query called
    // on its own, since the board may then have changed behind its back.
    std::uint32_t areaEpoch_ = 1;
    std::uint32_t indexEpoch_ = 0; // no index built yet
    // True while the driver or the deduction loop runs the rules: then no
    // one but the solver writes the board, and the epoch can be trusted.
    bool inDriver_ = false;
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
    // True from PrepareBoard on while JoinArea keeps the index.
    bool keptIndex_ = false;
    int keptLayout_ = 0; // bumped by every keepAreaIndex that succeeds
    void keepAreaIndex();
    void keepJoin(int id, int x, int y);
    void boardMayHaveChanged();
    bool alive(int i) const { return b_.at(clueX_[i], clueY_[i]).areaId != 0; }
};

// Solves `board` in place; the outcome is in board.status.
void AutoSolve(Board& board, SolveTrace* trace = nullptr);

} // namespace ombrix
