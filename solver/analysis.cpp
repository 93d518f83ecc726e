// The complete analysis: a depth-first search over the colours of the
// undecided cells. Each node propagates to a fixed point with rules that
// never lose a solution:
//   - white groups: two clues in one, or more cells than its number, fail;
//     a finished area closes its sides (and, under Tandrel, its corners);
//   - a cell whose whitening would join two clues or overflow an area, or
//     (Tandrel) touch two areas at a corner, is black;
//   - reach: each unfinished area spreads over the cells it could still take
//     with its remaining cells (not next to another area); an undecided cell
//     no area reaches is black, a white cell no area reaches fails, an area
//     that reaches too few cells fails, one that reaches exactly as many as
//     it needs takes them all, and an area or clueless white group with a
//     single way out takes it;
//   - shapes (Ombrix): an area with a few cells to go takes one of the shapes
//     it can still have; a cell in all of them is white, a cell beside all
//     of them black, a cell in none is not that area's;
//   - black cells: the black count must come out at the budget; under Ombrix
//     a 2 x 2 block needs a white cell; all black cells lie in one group of
//     the cells that may be black, and a cell whose removal would split the
//     black cells (an articulation cell, Tarjan's low links) is black, while
//     undecided cells cut off from every black cell are white.
//   - near the root of boards up to 600 cells, the automatic solver's driver
//     on the node's cells, whose window stage looks two cells deep.
// A node with no undecided cell left after propagation is a solution: the
// rules above check every condition of a finished board. Two searches take
// turns (see Run): the plain one and a weighted one that restarts.
#include "analysis.h"
#include "analysis_search.h"

#include <algorithm>
#include <chrono>
#include <memory>

namespace ombrix {

const char* VerdictName(Verdict v) {
    switch (v) {
    case Verdict::None:
        return "none";
    case Verdict::Unique:
        return "unique";
    case Verdict::Several:
        return "several";
    case Verdict::Stopped:
        break;
    }
    return "stopped";
}

namespace analysis {

namespace {

bool SameColours(const Board& a, const Board& b) {
    for (int x = 1; x <= a.width; ++x)
        for (int y = 1; y <= a.height; ++y)
            if (isBlack(a.state(x, y)) != isBlack(b.state(x, y))) return false;
    return true;
}

} // namespace

Search::Search(const Board& puzzle, const AnalysisLimits& limits, bool weighted, bool forget)
    : puzzle_(puzzle), limits_(limits), w_(puzzle.width), h_(puzzle.height), stride_(w_ + 2),
      n_(stride_ * (h_ + 2)), tandrel_(puzzle.tandrel()), weighted_(weighted), forget_(forget) {
    orth_[0] = -stride_, orth_[1] = -1, orth_[2] = stride_, orth_[3] = 1;
    ring_[0] = -stride_, ring_[1] = -1, ring_[2] = stride_, ring_[3] = 1;
    ring_[4] = -stride_ - 1, ring_[5] = -stride_ + 1, ring_[6] = stride_ - 1,
    ring_[7] = stride_ + 1;
    const std::size_t n = static_cast<std::size_t>(n_);
    colour_.assign(n, Outside);
    clue_.assign(n, 0);
    trail_.assign(n, 0);
    group_.assign(n, -1);
    groupClue_.assign(n, -1);
    groupSize_.assign(n, 0);
    groupFirst_.assign(n, 0);
    members_.assign(n, 0);
    touch_.assign(n, -1);
    entries_.assign(8 * n, {0, 0});
    queue_.assign(n, 0);
    decisions_.assign(8 * n, 0);
    reached_.assign(n, 0);
    shapeCount_.assign(n, 0);
    borderCount_.assign(n, 0);
    shapeCells_.assign(2 * n, 0);
    walkCells_.assign(n, 0);
    shapeStack_.assign(n, 0);
    offered_.assign(n, 0);
    borderStamp_.assign(n, 0);
    untried_.assign(8 * n + 64, 0);
    inShape_.assign(n, 0);
    baseBorder_.assign(n, 0);
    dist_.assign(n, 0);
    seen_.assign(n, 0);
    probeSeen_.assign(n, 0);
    weight_.assign(weighted ? n : 0, 0);
    queued_.assign(n, 0);
    probeQueue_.assign(n, 0);
    probeColour_.assign(n, 0);
    disc_.assign(n, 0);
    low_.assign(n, 0);
    parent_.assign(n, -1);
    below_.assign(n, 0);
    next_.assign(n, 0);
    stack_.assign(n, 0);
    frames_.reserve(n + 1);
    cells_.reserve(n);
    long long clueSum = 0;
    bool unworked = false;
    for (int x = 1; x <= w_; ++x) {
        for (int y = 1; y <= h_; ++y) {
            const int i = index(x, y), s = puzzle.state(x, y);
            cells_.push_back(i);
            if (s >= 1 && s <= 48) {
                colour_[i] = Light;
                clue_[i] = static_cast<std::uint8_t>(s);
                clueSum += s;
                unworked = unworked || !isWorkedClue(static_cast<std::uint8_t>(s));
            } else if (s == GivenBlack) {
                colour_[i] = Dark;
                ++blacks_;
            } else {
                colour_[i] = Open;
                ++open_;
            }
        }
    }
    budget_ = static_cast<int>(static_cast<long long>(w_) * h_ - clueSum);
    slotOf_.assign(n, -1);
    int slots = 0;
    for (int i : cells_)
        if (clue_[i] && !tandrel_) slotOf_[i] = slots++;
    cacheSig_.assign(static_cast<std::size_t>(slots) * 2 * kSigCap, 0);
    cacheRes_.assign(static_cast<std::size_t>(slots) * 2 * kResCap, 0);
    victim_.assign(static_cast<std::size_t>(slots), 0);
    sigBuf_.assign(kSigCap + 2, 0);
    // The automatic solver never grows the area of a clue 48, so its
    // contradictions would be wrong for a puzzle that has one.
    if (cells_.size() <= kSolverStepCells && !unworked) {
        work_ = std::make_unique<Board>(puzzle);
        solver_ = std::make_unique<Solver>(*work_);
    }
}

bool Search::set(int i, Colour c) {
    if (colour_[i] == c) return true;
    if (colour_[i] != Open) return false;
    colour_[i] = c;
    trail_[trailLen_++] = i;
    --open_;
    if (c == Dark) ++blacks_;
    changed_ = true;
    return true;
}

void Search::undo(int mark) {
    if (mark < fixedLen_) fixedLen_ = -1;
    while (trailLen_ > mark) {
        const int i = trail_[--trailLen_];
        if (colour_[i] == Dark) --blacks_;
        colour_[i] = Open;
        ++open_;
    }
}

bool Search::stopRequested() {
    if (!stopped_) stopped_ = watch_.due(limits_, shared_->nodes, static_cast<int>(frames_.size()));
    return stopped_;
}

void Search::storeSolution(Board& out) {
    out = puzzle_;
    labelWhite();
    for (int x = 1; x <= w_; ++x) {
        for (int y = 1; y <= h_; ++y) {
            const int i = index(x, y);
            Cell& cell = out.at(x, y);
            cell.areaId = 0;
            if (clue_[i]) continue;
            if (colour_[i] == Dark) {
                if (cell.state != GivenBlack) cell.state = Black;
            } else {
                const int c = groupClue_[group_[i]];
                cell.state = static_cast<std::uint8_t>(AreaCellBase + (c >= 0 ? clue_[c] : 0));
            }
        }
    }
    out.undecidedCount = 0;
    out.status = StatusNone;
}

// Two searches take turns, each for a budget of dead ends that doubles each
// turn, and share what they find. The plain one is a single depth-first run
// that branches where the rules and the single hypotheses say. The weighted
// one runs again and again from the root, each run with twice the dead ends
// of the last, taking the colours in the other order each time (and from the
// third run with a little noise in its scores), and branches first on the
// open cell on which most subtrees have been refuted so far: the part of the
// board where the trouble lies is then decided near the root, where a
// refutation is cheap, instead of being refuted again and again under
// branches elsewhere. Dead ends, not branches, are counted: a large board
// needs hundreds of branches on the way down even when none of them fails.
// A run that ends within its budget has seen the whole tree. Most puzzles end
// within the plain search's first turn, before the weighted one is made.
// While the plain search has done three quarters of its tree or more (see
// explored), it is near its end and the weighted one gets an eighth of a
// turn: its restarts make its nodes dearer than the plain one's, and on a
// board like r105 the plain search alone is done first.
AnalysisResult Search::Run() {
    AnalysisResult result;
    watch_.begin();
    own_.result = &result;
    std::unique_ptr<Search> weighted;
    bool stopped = false;
    for (std::uint64_t slice = kFirstTurn;; slice *= 2) {
        if (advance(fails_ + slice) == Progress::Done) {
            stopped = stopped_;
            break;
        }
        if (!weighted) {
            weighted = std::make_unique<Search>(puzzle_, limits_, true);
            weighted->shared_ = &own_;
            weighted->watch_ = watch_;
        }
        const std::uint64_t turn = explored() >= 0.75 ? slice / 8 : slice;
        if (weighted->advance(weighted->fails_ + turn) == Progress::Done) {
            stopped = weighted->stopped_;
            break;
        }
    }
    finish(stopped, result);
    return result;
}

bool Search::Head(std::uint64_t deadEnds, double seconds) {
    alone_ = std::make_unique<AnalysisResult>();
    watch_.begin();
    own_.result = alone_.get();
    pauseAt_ = seconds;
    ended_ = advance(deadEnds) == Progress::Done;
    pauseAt_ = 0;
    return ended_ && !stopped_;
}

void Search::Hand(const std::atomic<bool>* cancel, AnalysisObserver* observer) {
    limits_.cancel = cancel;
    limits_.observer = observer;
}

bool Search::Resume(double seconds) {
    pauseAt_ = watch_.seconds() + seconds;
    ended_ = ended_ || advance(~std::uint64_t{0}) == Progress::Done;
    pauseAt_ = 0;
    return ended_;
}

AnalysisResult Search::Rest() {
    if (!ended_) advance(~std::uint64_t{0});
    finish(stopped_, *alone_);
    return std::move(*alone_);
}

AnalysisResult AnalyzeDepthFirst(const Board& puzzle, const AnalysisLimits& limits) {
    Search search(puzzle, limits);
    search.Head(~std::uint64_t{0});
    return search.Rest();
}

AnalysisResult AnalyzeByRestarts(const Board& puzzle, const AnalysisLimits& limits) {
    Search search(puzzle, limits, true, true);
    search.Head(~std::uint64_t{0});
    return search.Rest();
}

// The share of the plain search's tree it has done, each branch taken as
// halving it: a branch on its second colour has done the half of its first.
double Search::explored() const {
    double done = 0, share = 0.5;
    for (const Frame& f : frames_) {
        if (f.second) done += share;
        share /= 2;
    }
    return done;
}

// The search on until `failEnd` dead ends or the pause by the clock that Head
// or Resume set (it then pauses at a node, to go on from there when called
// again), or until its tree is done, two solutions are known or a limit stops
// it.
Search::Progress Search::advance(std::uint64_t failEnd) {
    if (!begun_ && !beginRoot()) return Progress::Done;
    while (true) {
        if (ok_ && open_ == 0) {
            if (takeSolution()) return Progress::Done;
            ok_ = false;
        }
        if (ok_) {
            if (stopRequested()) return Progress::Done;
            if (fails_ >= runEnd_) {
                restart();
                continue;
            }
            if (fails_ >= failEnd || (pauseAt_ > 0 && watch_.seconds() >= pauseAt_))
                return Progress::Paused;
            ok_ = branchDown();
            continue;
        }
        ++fails_;
        if (!backtrack(ok_)) return Progress::Done;
    }
}

// The rules and single hypotheses at the root; false when they fail there.
bool Search::beginRoot() {
    begun_ = true;
    ok_ = budget_ >= 0 && propagate() && probe(-1) && solverStep();
    rootMark_ = trailLen_;
    if (!ok_) return false;
    if (weighted_) runEnd_ = fails_ + runBudget_;
    ok_ = propagate(); // the rules' branch cell for the root
    return ok_;
}

// The weighted search's next run. A forgetful one first takes a sixteenth
// off every cell's weight, rounded up: a cell refuted once is forgotten, and
// old trouble gives way to new.
void Search::restart() {
    ++attempt_;
    if (forget_)
        for (int& w : weight_)
            w -= (w + 15) / 16;
    runBudget_ *= 2;
    runEnd_ = fails_ + runBudget_;
    noise_ = attempt_ >= 2;
    firstColour_ = attempt_ % 2 == 0 ? Light : Dark;
    undo(rootMark_);
    frames_.clear();
    ok_ = propagate();
}

// Keeps the node's board as a solution; true when it is the second
// different one.
bool Search::takeSolution() {
    Shared& sh = *shared_;
    Board& slot = sh.result->solutions[sh.found];
    storeSolution(slot);
    bool fresh = true;
    for (int k = 0; k < sh.found; ++k)
        fresh &= !SameColours(sh.result->solutions[k], slot);
    if (fresh && ++sh.found == 2) return true;
    if (sh.found == 1) sh.known = colour_;
    return false;
}

// A new branch; whether its node holds.
bool Search::branchDown() {
    ++nodes_;
    ++shared_->nodes;
    const int cell = weighted_ ? weightiest() : branch_;
    // Once a solution is known, the other colour first: a second solution
    // differs from it somewhere.
    const Colour pick =
        shared_->found == 1 ? (shared_->known[cell] == Light ? Dark : Light) : firstColour_;
    frames_.push_back({cell, trailLen_, false, pick});
    set(cell, pick);
    return settleNode(frames_.back().mark);
}

// The open cell with the most refuted subtrees; the rules' choice while none
// has any.
int Search::weightiest() const {
    int cell = branch_, best = 0;
    for (int i : cells_)
        if (colour_[i] == Open && weight_[i] > best) best = weight_[i], cell = i;
    return cell;
}

// Back to the last branch with a colour left to try, which it then takes
// (`ok`: whether that node holds); false when no branch is left.
bool Search::backtrack(bool& ok) {
    while (!frames_.empty() && frames_.back().second) {
        if (weighted_) ++weight_[frames_.back().cell];
        undo(frames_.back().mark);
        frames_.pop_back();
    }
    if (frames_.empty()) return false;
    Frame& f = frames_.back();
    undo(f.mark);
    f.second = true;
    set(f.cell, f.first == Light ? Dark : Light);
    ok = settleNode(f.mark);
    return true;
}

bool Search::settleNode(int mark) {
    return propagate(mark) && probe(mark) && solverStep();
}

void Search::finish(bool stopped, AnalysisResult& result) {
    const int found = own_.found;
    result.nodes = own_.nodes;
    result.solutionCount = found;
    if (found == 2)
        result.verdict = Verdict::Several;
    else if (stopped)
        result.verdict = Verdict::Stopped;
    else
        result.verdict = found == 1 ? Verdict::Unique : Verdict::None;
    if (result.verdict == Verdict::Stopped) result.solutionCount = 0;
    if (found == 2) {
        for (int x = 1; x <= w_; ++x)
            for (int y = 1; y <= h_; ++y)
                if (isBlack(result.solutions[0].state(x, y)) !=
                    isBlack(result.solutions[1].state(x, y)))
                    result.differing.emplace_back(x, y);
    }
    result.seconds = watch_.seconds();
}

namespace {

// Hears which stage of the trial search decided each cell.
struct StageTrace : SolveTrace {
    bool inWindow = false, single = false, window = false;
    void afterRule(const RuleRun&, const Board&) override {}
    bool wantsChanges() const override { return false; }
    void beforeWindowStage(const Board&) override { inWindow = true; }
    void afterTrial(const Board& board) override {
        if (board.status == StatusNone) (inWindow ? window : single) = true;
        inWindow = false;
    }
};

} // namespace

} // namespace analysis

int GradeByAutoSolve(const Board& puzzle, Board* solved) {
    auto board = std::make_unique<Board>(puzzle);
    board->status = StatusNone;
    analysis::StageTrace trace;
    AutoSolve(*board, &trace);
    if (solved) *solved = *board;
    switch (board->status) {
    case StatusNone:
        return trace.window ? 3 : trace.single ? 2 : 1;
    case StatusUnsolvable:
        return 4;
    default:
        return 0;
    }
}

AnalysisResult Analyze(const Board& puzzle, const AnalysisLimits& limits) {
    if (limits.threads >= 2) return analysis::RunPortfolio(puzzle, limits);
    return analysis::Search(puzzle, limits).Run();
}

} // namespace ombrix
