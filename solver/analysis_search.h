// The complete analysis's search and its propagators, over a padded colour
// grid (one border of Outside cells round the board). The class is split over
// files by part:
//   analysis.cpp            the search, its stack and restarts, the result;
//   analysis_propagate.cpp  the fixed point, single hypotheses (probe) and the
//                           automatic solver as a propagator near the root;
//   analysis_areas.cpp      white groups, cells beside areas, reach;
//   analysis_shapes.cpp     the shapes of small areas and their cache;
//   analysis_black.cpp      the black count, 2 x 2 blocks, the connectivity cut.
// Each rule never loses a solution: see analysis.cpp for the list.
#pragma once

#include "analysis.h"
#include "analysis_watch.h"
#include "solver.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

namespace ombrix::analysis {

// Areas with at most kShapeRem cells to go have their shapes counted, up to
// kShapeCap shapes; beyond that the walk's reach stands alone.
constexpr int kShapeRem = 5, kShapeCap = 30;
// The automatic solver runs at nodes down to this depth, at most this many
// times in all and until this many calls in a row have decided nothing, on
// boards of at most this many cells (see Search::solverStep).
constexpr int kSolverStepDepth = 8, kSolverStepCalls = 16, kSolverStepIdle = 2;
constexpr std::size_t kSolverStepCells = 600;
// The dead ends of the plain search's first turn (see Search::Run), and on
// several threads also the seconds after which it pauses at its next branch
// (see RunPortfolio).
constexpr std::uint64_t kFirstTurn = 16;
constexpr double kFirstTurnSeconds = 0.025;

enum Colour : std::uint8_t { Open = 0, Dark = 1, Light = 2, Outside = 3 };

class Search {
  public:
    // `weighted`: the second search (see Run); `forget`: it forgets part of
    // its weights at each restart (see restart).
    Search(const Board& puzzle, const AnalysisLimits& limits, bool weighted = false,
           bool forget = false);
    // The plain search taking turns with a weighted one.
    AnalysisResult Run();
    // This search alone, to the end of its tree or a limit: Head runs it up
    // to `deadEnds` dead ends or, when `seconds` > 0, to its first branch
    // after that long (true when that settled the puzzle),
    // Rest from there on, maybe on another thread after Hand has given it
    // the cancel flag and observer to heed there.
    bool Head(std::uint64_t deadEnds, double seconds = 0);
    void Hand(const std::atomic<bool>* cancel, AnalysisObserver* observer);
    // On from Head for `seconds` more, up to the next branch after that;
    // true when it has ended (settled or stopped: Rest then gives the result).
    bool Resume(double seconds);
    std::uint64_t Nodes() const { return own_.nodes; }
    AnalysisResult Rest();

  private:
    // What the two searches share: the solutions found (in the result), the
    // colours of the first, the nodes of both, the automatic solver's calls
    // (see solverStep).
    struct Shared {
        AnalysisResult* result = nullptr;
        int found = 0;
        std::vector<std::uint8_t> known;
        std::uint64_t nodes = 0;
        int solverCalls = 0, solverIdle = 0;
    };
    enum class Progress { Paused, Done };
    struct Frame {
        int cell, mark;
        bool second;
        Colour first; // the colour tried first
    };
    // One area's reach walk (see walkArea).
    struct AreaWalk {
        int g = 0, rem = 0, reached = 0, frontier = 0, frontierCell = -1, pool = 0, length = 0;
    };
    // The outcome of trying both colours of one cell (see probeCell).
    struct ProbeOutcome {
        bool whiteOk, blackOk;
        int agreed, score;
    };

    int index(int x, int y) const { return y * stride_ + x; }
    bool set(int i, Colour c);
    void undo(int mark);
    bool stopRequested();
    void storeSolution(Board& out);

    // The search (analysis.cpp).
    Progress advance(std::uint64_t failEnd);
    bool beginRoot();
    void restart();
    bool takeSolution();
    bool branchDown();
    int weightiest() const;
    bool backtrack(bool& ok);
    double explored() const;
    bool settleNode(int mark);
    void finish(bool stopped, AnalysisResult& result);

    // Propagation (analysis_propagate.cpp).
    bool propagate(int from = -1);
    bool probe(int from);
    void enqueueProbe(int c);
    void enqueueAround(int c);
    bool nearDecided(int i) const;
    ProbeOutcome probeCell(int i);
    bool takeProbe(int i, const ProbeOutcome& o);
    int noisy(int score);
    bool solverStep();
    void markDecided();
    bool takeSolverCells();

    // Areas (analysis_areas.cpp).
    void labelWhite();
    void labelGroup(int start, int& tail);
    void markCornerTouches();
    bool touchesOtherArea(int i, int area) const;
    void decide(int i, bool white) { decisions_[pending_++] = i * 2 + (white ? 1 : 0); }
    bool areaRules();
    bool groupsFit() const;
    bool cellsBesideAreas();
    bool cornerClash(int i) const;
    bool whiteningFails(int i) const;
    bool cornerMeetsAreas(int i) const;
    bool reachRules();
    bool walkArea(int g, int rem);
    void pushWalk(int cell, int d);
    void walkStep(int cell, int d0);
    void walkGroup(int n, int d0);
    bool unreachedCells();
    bool cluelessExits();
    int exitsOf(int g, int& exitCell);

    // Shapes (analysis_shapes.cpp).
    bool shapeRule(int g, int rem, int walkLen);
    const int* shapeFindings(int g, int rem, int walkLen);
    int writeFindings(int found, int walkLen, int* res);
    int signature(int g, int walkLen);
    int shapeCode(int cell, int g) const;
    int shapes(int g, int rem);
    void growShape(int* untried, int count, int size);
    int offerAround(int base, int* next, int m);
    int addToShape(int cell);
    void recordShape();
    void countBorder(int n);

    // Black cells (analysis_black.cpp).
    bool countRule();
    bool blockRule(int from);
    bool blockAt(int x, int y);
    bool connectRule();
    int articulationWalk(int root, int& pending);
    void closeCutNode(int v, int& pending);

    const Board& puzzle_;
    AnalysisLimits limits_;
    int w_, h_, stride_, n_;
    bool tandrel_;
    int orth_[4], ring_[8];
    int budget_ = 0, blacks_ = 0, open_ = 0;
    std::vector<std::uint8_t> colour_, clue_;
    std::vector<int> cells_; // the playable cells in scan order

    std::vector<int> trail_;
    int trailLen_ = 0;
    // The trail's length when the rules last reached their fixed point (-1:
    // undone since), and the branch cell they chose there.
    int fixedLen_ = -1, fixedBranch_ = -1;
    bool changed_ = false;

    // White groups: group id per cell (-1 none), and per group its clue cell
    // (-1 none), size and first cell.
    // Group g's cells are members_[groupFirst_[g] ..+ groupSize_[g]]; touch_
    // is, for a clueless group under Tandrel, the area it touches at a corner
    // (-1 none, -2 several).
    std::vector<int> group_, groupClue_, groupSize_, groupFirst_, members_, touch_;
    struct Entry {
        int cell, next;
    };
    std::vector<Entry> entries_; // the walk's buckets by cost
    int bucket_[64];
    int groups_ = 0;
    std::vector<int> queue_, decisions_;
    // The area rules' decisions, collected first and applied after the walks
    // (which read the groups as labelled): cell * 2 + (white ? 1 : 0).
    int pending_ = 0;
    AreaWalk aw_{};

    // Reach: per cell the number of areas that reach it and the
    // distance stamp of the current walk.
    std::vector<int> reached_;

    // Shapes of small areas (Ombrix): per cell the number of shapes that
    // take it and that border it; the cells so counted; the shape being
    // grown; cells once offered to it.
    std::vector<int> shapeCount_, borderCount_, shapeCells_, walkCells_, shapeStack_, offered_,
        borderStamp_, untried_;
    std::vector<std::uint8_t> inShape_;
    // Counted shapes kept per area (slotOf_ its clue cell): the signature
    // they were counted for, and what they decided.
    static constexpr int kSigCap = 192, kResCap = 192;
    std::vector<int> slotOf_, cacheSig_, cacheRes_, sigBuf_;
    std::vector<std::uint8_t> victim_;
    std::vector<int> baseBorder_; // the undecided cells beside the area
    int baseBorderLen_ = 0, shapeBase_ = 0;
    int shapeTouched_ = 0, shapeTop_ = 0, shapeTarget_ = 0, shapeFound_ = 0, shapeArea_ = 0,
        borderRound_ = 0;
    std::vector<int> dist_, seen_;
    int walk_ = 0;
    int branch_ = -1; // where to branch next, chosen by the area rules
    int bestFrontier_ = 0;

    // Single hypotheses: the cells queued for a try (a ring buffer), the
    // colours the white try gave.
    std::vector<int> probeSeen_;
    std::vector<std::uint8_t> probeColour_;
    int probe_ = 0, round_ = 0, probeHead_ = 0, probeCount_ = 0;
    std::vector<int> queued_, probeQueue_;
    // Articulation cells.
    std::vector<int> disc_, low_, parent_, below_, next_, stack_;

    std::vector<Frame> frames_;
    Shared own_;
    std::unique_ptr<AnalysisResult> alone_; // the result of Head and Rest
    Shared* shared_ = &own_;
    // The run: whether the node it stands at holds, the trail at the root,
    // the dead ends at which a weighted run restarts, its budget and number.
    bool ok_ = true, begun_ = false, weighted_ = false, ended_ = false, forget_ = false;
    int rootMark_ = 0, attempt_ = 0;
    std::uint64_t runEnd_ = ~std::uint64_t{0}, runBudget_ = 16;
    double pauseAt_ = 0; // Head's seconds (0: no pause by the clock)
    Colour firstColour_ = Light;
    // Per cell the subtrees refuted on it (weighted search).
    std::vector<int> weight_;

    LimitWatch watch_;
    std::uint64_t nodes_ = 0, fails_ = 0;
    std::uint64_t rng_ = 0x9e3779b97f4a7c15ULL; // noise of the restarts
    bool noise_ = false;
    bool stopped_ = false;
    // The automatic solver as a further propagator near the root of small
    // boards (null on large ones): its board.
    std::unique_ptr<Board> work_;
    std::unique_ptr<Solver> solver_;
};

// The searches as entries of the portfolio (see analysis_portfolio.cpp).
AnalysisResult AnalyzeDepthFirst(const Board& puzzle, const AnalysisLimits& limits);
AnalysisResult AnalyzeByRestarts(const Board& puzzle, const AnalysisLimits& limits);
// The searches at once, one thread each (limits.threads >= 2).
AnalysisResult RunPortfolio(const Board& puzzle, const AnalysisLimits& limits);

} // namespace ombrix::analysis
