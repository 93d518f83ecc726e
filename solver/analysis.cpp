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
// rules above check every condition of a finished board.
#include "analysis.h"
#include "solver.h"

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

namespace {
// Areas with at most kShapeRem cells to go have their shapes counted, up to
// kShapeCap shapes; beyond that the walk's reach stands alone.
constexpr int kShapeRem = 5, kShapeCap = 30;
// The automatic solver runs at nodes down to this depth, at most this many
// times, on boards of at most this many cells (see Search::solverStep).
constexpr int kSolverStepDepth = 8, kSolverStepCalls = 16;
constexpr std::size_t kSolverStepCells = 600;

enum Colour : std::uint8_t { Open = 0, Dark = 1, Light = 2, Outside = 3 };

bool SameColours(const Board& a, const Board& b) {
    for (int x = 1; x <= a.width; ++x)
        for (int y = 1; y <= a.height; ++y)
            if (isBlack(a.state(x, y)) != isBlack(b.state(x, y))) return false;
    return true;
}

class Search {
  public:
    Search(const Board& puzzle, const AnalysisLimits& limits);
    AnalysisResult Run();

  private:
    using Clock = std::chrono::steady_clock;

    int index(int x, int y) const { return y * stride_ + x; }
    bool set(int i, Colour c);
    void undo(int mark);
    bool propagate(int from = -1);
    bool probe(int from);
    bool solverStep();
    bool countRule();
    bool blockRule(int from);
    bool blockAt(int x, int y);
    bool areaRules();
    bool connectRule();
    int shapes(int g, int rem);
    bool shapeRule(int g, int rem, int walkLen, int& pending);
    const int* shapeFindings(int g, int rem, int walkLen);
    int signature(int g, int walkLen);
    int shapeCode(int cell, int g) const;
    void growShape(int* untried, int count, int size);
    int addToShape(int cell);
    void recordShape();
    void labelWhite();
    bool touchesOtherArea(int i, int area) const;
    bool stopRequested();
    void storeSolution(Board& out);

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
    int shapeTouched_ = 0, shapeTop_ = 0, shapeTarget_ = 0, shapeFound_ = 0, shapeArea_ = 0,
        borderRound_ = 0;
    std::vector<int> dist_, seen_;
    int walk_ = 0;
    int branch_ = -1; // where to branch next, chosen by the area rules

    // Articulation cells.
    std::vector<int> probeSeen_;
    std::vector<std::uint8_t> probeColour_;
    int probe_ = 0, round_ = 0;
    std::vector<int> queued_, probeQueue_;
    std::vector<int> disc_, low_, parent_, below_, next_, stack_;

    struct Frame {
        int cell, mark;
        bool second;
        Colour first; // the colour tried first
    };
    std::vector<std::uint8_t> known_; // the colours of the first solution found
    std::vector<Frame> frames_;

    Clock::time_point start_;
    Clock::time_point lastReport_;
    std::uint64_t nodes_ = 0, fails_ = 0, ticks_ = 0;
    std::uint64_t rng_ = 0x9e3779b97f4a7c15ULL; // noise of the restarts
    bool noise_ = false;
    bool stopped_ = false;
    // The automatic solver as a further propagator near the root of small
    // boards (null on large ones): its board and the calls made so far.
    std::unique_ptr<Board> work_;
    std::unique_ptr<Solver> solver_;
    int solverCalls_ = 0;
};

Search::Search(const Board& puzzle, const AnalysisLimits& limits)
    : puzzle_(puzzle), limits_(limits), w_(puzzle.width), h_(puzzle.height), stride_(w_ + 2),
      n_(stride_ * (h_ + 2)), tandrel_(puzzle.tandrel()) {
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
    dist_.assign(n, 0);
    seen_.assign(n, 0);
    probeSeen_.assign(n, 0);
    known_.assign(n, 0);
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
    for (int x = 1; x <= w_; ++x) {
        for (int y = 1; y <= h_; ++y) {
            const int i = index(x, y), s = puzzle.state(x, y);
            cells_.push_back(i);
            if (s >= 1 && s <= 48) {
                colour_[i] = Light;
                clue_[i] = static_cast<std::uint8_t>(s);
                clueSum += s;
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
    if (cells_.size() <= kSolverStepCells) {
        work_ = std::make_unique<Board>(puzzle);
        solver_ = std::make_unique<Solver>(*work_);
    }
}

// The automatic solver's driver (rule passes and trial searches, window stage
// included) on the clues and the cells decided so far. Every rule it applies
// and every decision of its trial search holds in every solution, so a
// contradiction ends the branch and the cells it decides are taken over. Its
// second-solution outcome leaves its board on one of two complete boards,
// which says nothing about this node: nothing is taken over then. Its window
// stage refutes some branches that single hypotheses do not, but a call costs
// about as much as a hundred nodes, so it runs only in the first levels and
// a limited number of times.
bool Search::solverStep() {
    if (!solver_ || open_ == 0 || solverCalls_ >= kSolverStepCalls ||
        static_cast<int>(frames_.size()) > kSolverStepDepth)
        return true;
    ++solverCalls_;
    Board& b = *work_;
    b = puzzle_;
    solver_->PrepareBoard();
    if (b.status != StatusNone) return b.status != StatusContradiction;
    for (int x = 1; x <= w_ && b.status == StatusNone; ++x)
        for (int y = 1; y <= h_ && b.status == StatusNone; ++y) {
            const int i = index(x, y);
            if (clue_[i] || puzzle_.state(x, y) == GivenBlack) continue;
            if (colour_[i] == Dark)
                solver_->MarkBlack(x, y);
            else if (colour_[i] == Light)
                solver_->MarkWhite(x, y);
        }
    if (b.status == StatusNone) solver_->SolveOn();
    if (b.status == StatusContradiction) return false;
    if (b.status == StatusSecondSolution) return true;
    const int mark = trailLen_;
    for (int x = 1; x <= w_; ++x)
        for (int y = 1; y <= h_; ++y) {
            const int i = index(x, y);
            const std::uint8_t s = b.state(x, y);
            if (colour_[i] == Open && s != Undecided && !set(i, isBlack(s) ? Dark : Light))
                return false;
        }
    if (trailLen_ == mark) return true;
    return propagate(mark) && probe(mark);
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
    while (trailLen_ > mark) {
        const int i = trail_[--trailLen_];
        if (colour_[i] == Dark) --blacks_;
        colour_[i] = Open;
        ++open_;
    }
}

// The black cells of any solution number exactly the budget.
bool Search::countRule() {
    if (blacks_ > budget_ || blacks_ + open_ < budget_) return false;
    if (open_ == 0 || (blacks_ != budget_ && blacks_ + open_ != budget_)) return true;
    const Colour c = blacks_ == budget_ ? Light : Dark;
    for (int i : cells_)
        if (colour_[i] == Open) set(i, c);
    return true;
}

// Ombrix: no 2 x 2 block is all black. With `from` >= 0 the board was
// settled at trail position `from`, and only blocks round the cells blackened
// since then are looked at.
bool Search::blockRule(int from) {
    if (from < 0) {
        for (int x = 1; x < w_; ++x)
            for (int y = 1; y < h_; ++y)
                if (!blockAt(x, y)) return false;
        return true;
    }
    for (int k = from; k < trailLen_; ++k) {
        const int c = trail_[k];
        if (colour_[c] != Dark) continue;
        const int x = c % stride_, y = c / stride_;
        for (int dx = -1; dx <= 0; ++dx)
            for (int dy = -1; dy <= 0; ++dy)
                if (x + dx >= 1 && x + dx < w_ && y + dy >= 1 && y + dy < h_ &&
                    !blockAt(x + dx, y + dy))
                    return false;
    }
    return true;
}

// The block whose top left cell is (x, y): four black cells fail, three
// whiten the fourth.
bool Search::blockAt(int x, int y) {
    const int q[4] = {index(x, y), index(x + 1, y), index(x, y + 1), index(x + 1, y + 1)};
    int dark = 0, open = -1;
    for (int i : q) {
        if (colour_[i] == Dark)
            ++dark;
        else if (colour_[i] == Open)
            open = i;
    }
    if (dark == 4) return false;
    if (dark == 3 && open >= 0) set(open, Light);
    return true;
}

void Search::labelWhite() {
    groups_ = 0;
    for (int i : cells_)
        group_[i] = -1;
    int tail = 0;
    for (int i : cells_) {
        if (colour_[i] != Light || group_[i] >= 0) continue;
        const int g = groups_++;
        const int start = tail;
        int head = tail, clue = -1, clues = 0;
        members_[tail++] = i;
        group_[i] = g;
        while (head < tail) {
            const int c = members_[head++];
            if (clue_[c]) ++clues, clue = c;
            for (int d : orth_) {
                const int n = c + d;
                if (colour_[n] == Light && group_[n] < 0) {
                    group_[n] = g;
                    members_[tail++] = n;
                }
            }
        }
        groupClue_[g] = clues > 1 ? -2 : clue;
        groupSize_[g] = tail - start;
        groupFirst_[g] = start;
    }
    // A clueless group touching an area at a corner (Tandrel) belongs to it.
    for (int g = 0; g < groups_; ++g) {
        touch_[g] = -1;
        if (groupClue_[g] != -1 || !tandrel_) continue;
        for (int m = groupFirst_[g]; m < groupFirst_[g] + groupSize_[g]; ++m)
            for (int k = 4; k < 8; ++k) {
                const int n = members_[m] + ring_[k];
                if (colour_[n] != Light || groupClue_[group_[n]] < 0) continue;
                const int o = group_[n];
                touch_[g] = touch_[g] == -1 || touch_[g] == o ? o : -2;
            }
    }
}

// True when cell i lies beside (Tandrel: also at a corner of) a white cell of
// an area other than `area`.
bool Search::touchesOtherArea(int i, int area) const {
    const int count = tandrel_ ? 8 : 4;
    for (int k = 0; k < count; ++k) {
        const int n = i + ring_[k];
        if (colour_[n] != Light) continue;
        const int g = group_[n];
        if (g != area && groupClue_[g] >= 0) return true;
    }
    return false;
}

bool Search::areaRules() {
    labelWhite();
    for (int g = 0; g < groups_; ++g) {
        if (groupClue_[g] == -2) return false;
        if (groupClue_[g] >= 0 && groupSize_[g] > clue_[groupClue_[g]]) return false;
    }
    // Decisions are collected first and applied after the walks, which read
    // the groups as labelled.
    int pending = 0; // cell * 2 + (white ? 1 : 0)
    auto decide = [&](int i, bool white) { decisions_[pending++] = i * 2 + (white ? 1 : 0); };

    // Cells beside areas: closing finished areas, joins that cannot be.
    for (int i : cells_) {
        if (colour_[i] == Light) {
            if (!tandrel_) continue;
            // Two areas meeting at a corner.
            const int g = group_[i];
            if (groupClue_[g] < 0) continue;
            for (int k = 4; k < 8; ++k) {
                const int n = i + ring_[k];
                if (colour_[n] != Light || group_[n] == g) continue;
                const int o = group_[n];
                if (groupClue_[o] >= 0 || groupSize_[g] == clue_[groupClue_[g]]) return false;
            }
            continue;
        }
        if (colour_[i] != Open) continue;
        // What whitening i would make: the groups beside it merged.
        int merged[4], m = 0, size = 1, clue = -1, clues = 0;
        for (int d : orth_) {
            const int n = i + d;
            if (colour_[n] != Light) continue;
            const int g = group_[n];
            bool dup = false;
            for (int k = 0; k < m; ++k)
                dup |= merged[k] == g;
            if (dup) continue;
            merged[m++] = g;
            size += groupSize_[g];
            if (groupClue_[g] >= 0) ++clues, clue = groupClue_[g];
        }
        bool black = clues > 1 || (clue >= 0 && size > clue_[clue]);
        if (!black && tandrel_) {
            // Under Tandrel a white cell touches every area at its corners
            // too: two different areas there, or a finished one, make it
            // black.
            int first = -1;
            for (int k = 0; k < 8 && !black; ++k) {
                const int n = i + ring_[k];
                if (colour_[n] != Light) continue;
                const int g = group_[n], c = groupClue_[g];
                if (c < 0) continue;
                if (groupSize_[g] == clue_[c] || (first >= 0 && first != g)) black = true;
                first = g;
            }
        }
        if (black) decide(i, false);
    }

    // Reach of every unfinished area.
    for (int i : cells_)
        reached_[i] = 0;
    branch_ = -1;
    int bestFrontier = 1 << 30;
    for (int g = 0; g < groups_; ++g) {
        const int c = groupClue_[g];
        if (c < 0) continue;
        const int rem = clue_[c] - groupSize_[g];
        if (rem == 0) continue;
        // Cheapest growth first: each undecided cell costs one cell, a
        // clueless white group its whole size (it joins as a whole). A cell
        // at cost d needs an area of at least its size plus d.
        ++walk_;
        int reachedCount = 0, frontier = 0, frontierCell = -1, pool = 0, walkLen = 0;
        for (int d = 0; d <= rem; ++d)
            bucket_[d] = -1;
        auto push = [&](int cell, int d) {
            entries_[pool] = {cell, bucket_[d]};
            bucket_[d] = pool++;
        };
        for (int m = groupFirst_[g]; m < groupFirst_[g] + groupSize_[g]; ++m) {
            seen_[members_[m]] = walk_;
            dist_[members_[m]] = 0;
            push(members_[m], 0);
        }
        for (int d0 = 0; d0 < rem; ++d0) {
            while (bucket_[d0] >= 0) {
                const int cell = entries_[bucket_[d0]].cell;
                bucket_[d0] = entries_[bucket_[d0]].next;
                if (dist_[cell] != d0) continue;
                for (int d : orth_) {
                    const int n = cell + d;
                    const Colour col = static_cast<Colour>(colour_[n]);
                    if (col == Dark || col == Outside) continue;
                    if (col == Open) {
                        if (seen_[n] == walk_ && dist_[n] <= d0 + 1) continue;
                        if (touchesOtherArea(n, g)) continue;
                        if (seen_[n] != walk_) {
                            ++reachedCount;
                            ++reached_[n];
                            walkCells_[walkLen++] = n;
                            if (d0 == 0) ++frontier, frontierCell = n;
                        }
                        seen_[n] = walk_;
                        dist_[n] = d0 + 1;
                        push(n, d0 + 1);
                        continue;
                    }
                    const int o = group_[n];
                    if (o == g || groupClue_[o] >= 0) continue;
                    if (touch_[o] != -1 && touch_[o] != g) continue;
                    const int cost = d0 + groupSize_[o];
                    if (cost > rem || (seen_[n] == walk_ && dist_[n] <= cost)) continue;
                    const bool first = seen_[n] != walk_;
                    for (int m = groupFirst_[o]; m < groupFirst_[o] + groupSize_[o]; ++m) {
                        const int c = members_[m];
                        if (first) {
                            ++reachedCount;
                            ++reached_[c];
                            walkCells_[walkLen++] = c;
                        }
                        seen_[c] = walk_;
                        dist_[c] = cost;
                        push(c, cost);
                    }
                }
            }
        }
        if (reachedCount < rem) return false;
        if (frontier == 0) return false;
        // Exactly as many cells in reach as the area needs: it takes them all.
        for (int k = 0; reachedCount == rem && k < walkLen; ++k)
            if (colour_[walkCells_[k]] == Open) decide(walkCells_[k], true);
        if (!tandrel_ && rem <= kShapeRem && !shapeRule(g, rem, walkLen, pending)) return false;
        if (frontier == 1)
            decide(frontierCell, true);
        else if (frontier < bestFrontier)
            bestFrontier = frontier, branch_ = frontierCell;
    }
    for (int i : cells_) {
        if (reached_[i] != 0) continue;
        if (colour_[i] == Open)
            decide(i, false);
        else if (colour_[i] == Light && groupClue_[group_[i]] < 0)
            return false;
    }
    // A white group without a clue must grow: no way out fails, one way out
    // is taken.
    for (int g = 0; g < groups_; ++g) {
        if (groupClue_[g] != -1) continue;
        ++walk_;
        int head = 0, tail = 0, exits = 0, exitCell = -1;
        queue_[tail++] = members_[groupFirst_[g]];
        seen_[members_[groupFirst_[g]]] = walk_;
        while (head < tail && exits < 2) {
            const int cell = queue_[head++];
            for (int d : orth_) {
                const int n = cell + d;
                if (seen_[n] == walk_) continue;
                if (colour_[n] == Light) {
                    seen_[n] = walk_;
                    queue_[tail++] = n;
                } else if (colour_[n] == Open) {
                    seen_[n] = walk_;
                    ++exits, exitCell = n;
                }
            }
        }
        if (exits == 0) return false;
        if (exits == 1) decide(exitCell, true);
    }
    for (int k = 0; k < pending; ++k) {
        const int v = decisions_[k];
        if (!set(v >> 1, (v & 1) ? Light : Dark)) return false;
    }
    if (branch_ < 0) {
        for (int i : cells_)
            if (colour_[i] == Open) {
                branch_ = i;
                break;
            }
    }
    return true;
}

// Small areas take one of the shapes they can still have: a cell every
// shape takes is white, a cell beside every shape black, and a cell the walk
// reached that no shape takes is not g's.
bool Search::shapeRule(int g, int rem, int walkLen, int& pending) {
    const int* res = shapeFindings(g, rem, walkLen);
    if (res[0] < 0) return false;
    if (res[0] == 0) return true;
    for (int k = 2; k < res[1]; ++k) {
        const int cell = res[k] >> 2, c = res[k] & 3;
        if (c == Open)
            --reached_[cell];
        else
            decisions_[pending++] = cell * 2 + (c == Light ? 1 : 0);
    }
    return true;
}

// What the shapes of g decide: the number of shapes (as from shapes()), the
// list's length, then cell * 4 + the colour it takes (Open: not g's). The
// shapes are counted again only when the cells the walk reached, or their
// neighbours, have changed since they were last counted; each area keeps two
// counts, for a hypothesis and the position it is tried in.
const int* Search::shapeFindings(int g, int rem, int walkLen) {
    const int length = signature(g, walkLen);
    int slot = slotOf_[groupClue_[g]] * 2;
    for (int way = 0; way < 2; ++way) {
        const int* sig = &cacheSig_[static_cast<std::size_t>(slot + way) * kSigCap];
        if (length <= kSigCap && sig[0] == length &&
            std::equal(sigBuf_.begin() + 1, sigBuf_.begin() + length, sig + 1))
            return &cacheRes_[static_cast<std::size_t>(slot + way) * kResCap];
    }
    victim_[slot / 2] ^= 1; // the older of the two
    slot += victim_[slot / 2];
    int* sig = &cacheSig_[static_cast<std::size_t>(slot) * kSigCap];
    int* res = &cacheRes_[static_cast<std::size_t>(slot) * kResCap];
    const int found = shapes(g, rem);
    int len = 2; // a list cut short only decides less
    res[0] = found;
    for (int k = 0; found > 0 && k < shapeTouched_ && len + 2 < kResCap; ++k) {
        const int cell = shapeCells_[k];
        if (colour_[cell] != Open) continue;
        if (shapeCount_[cell] == found) res[len++] = cell * 4 + Light;
        if (borderCount_[cell] == found) res[len++] = cell * 4 + Dark;
    }
    for (int k = 0; found > 0 && k < walkLen && len < kResCap; ++k)
        if (shapeCount_[walkCells_[k]] == 0) res[len++] = walkCells_[k] * 4;
    res[1] = len;
    for (int k = 0; k < shapeTouched_; ++k)
        shapeCount_[shapeCells_[k]] = borderCount_[shapeCells_[k]] = 0;
    sig[0] = 0;
    if (length <= kSigCap) {
        std::copy(sigBuf_.begin() + 1, sigBuf_.begin() + length, sig + 1);
        sig[0] = length;
    }
    return res;
}

// What the shapes of g depend on: its size, and each cell its walk reached
// with the colours of it and its neighbours (a white cell told apart as g's,
// clueless or another area's). Written to sigBuf_[1..]; its length.
int Search::signature(int g, int walkLen) {
    int length = 1;
    sigBuf_[length++] = groupSize_[g];
    for (int m = groupFirst_[g]; m < groupFirst_[g] + groupSize_[g] && length < kSigCap; ++m)
        sigBuf_[length++] = members_[m] << 4;
    for (int k = 0; k < walkLen && length < kSigCap; ++k) {
        const int c = walkCells_[k];
        int code = shapeCode(c, g);
        for (int d : orth_)
            code = code << 3 | shapeCode(c + d, g);
        sigBuf_[length++] = c << 16 | code;
    }
    return length < kSigCap ? length : kSigCap + 1;
}

int Search::shapeCode(int cell, int g) const {
    const int c = colour_[cell];
    if (c != Light) return c;
    const int o = group_[cell];
    return o == g ? 4 : groupClue_[o] < 0 ? 5 : 6;
}

// Every shape area g can take with `rem` more cells: 0 when there are too
// many to count, -1 when there is none, else their number. A shape takes
// whole clueless white groups that it touches and no cell beside another
// area; it is grown cell by cell, each shape once (each cell offered to the
// shape is tried once, and once passed over it stays out of the shapes grown
// after it).
int Search::shapes(int g, int rem) {
    shapeTouched_ = 0;
    shapeTop_ = 0;
    shapeFound_ = 0;
    shapeArea_ = g;
    shapeTarget_ = groupSize_[g] + rem;
    for (int m = groupFirst_[g]; m < groupFirst_[g] + groupSize_[g]; ++m) {
        shapeStack_[shapeTop_++] = members_[m];
        inShape_[members_[m]] = 1;
    }
    int count = 0;
    for (int k = 0; k < shapeTop_; ++k)
        for (int d : orth_) {
            const int n = shapeStack_[k] + d;
            if (colour_[n] != Open || offered_[n] || touchesOtherArea(n, g)) continue;
            offered_[n] = 1;
            untried_[count++] = n;
        }
    growShape(untried_.data(), count, groupSize_[g]);
    for (int k = 0; k < count; ++k)
        offered_[untried_[k]] = 0;
    for (int k = 0; k < shapeTop_; ++k)
        inShape_[shapeStack_[k]] = 0;
    if (shapeFound_ > kShapeCap) return 0;
    return shapeFound_ == 0 ? -1 : shapeFound_;
}

// Adds `cell` and the clueless white groups beside it to the shape; the
// number of cells added.
int Search::addToShape(int cell) {
    const int base = shapeTop_;
    shapeStack_[shapeTop_++] = cell;
    inShape_[cell] = 1;
    for (int d : orth_) {
        const int n = cell + d;
        if (colour_[n] != Light || inShape_[n]) continue;
        const int o = group_[n];
        for (int m = groupFirst_[o]; m < groupFirst_[o] + groupSize_[o]; ++m) {
            shapeStack_[shapeTop_++] = members_[m];
            inShape_[members_[m]] = 1;
        }
    }
    return shapeTop_ - base;
}

void Search::growShape(int* untried, int count, int size) {
    for (int k = 0; k < count && shapeFound_ <= kShapeCap; ++k) {
        const int base = shapeTop_;
        const int grown = size + addToShape(untried[k]);
        if (grown == shapeTarget_) {
            recordShape();
        } else if (grown < shapeTarget_) {
            int* next = untried + count;
            int m = 0;
            for (int j = k + 1; j < count; ++j)
                next[m++] = untried[j];
            const int fresh = m;
            for (int a = base; a < shapeTop_; ++a)
                for (int d : orth_) {
                    const int n = shapeStack_[a] + d;
                    if (colour_[n] != Open || offered_[n] || inShape_[n] ||
                        touchesOtherArea(n, shapeArea_))
                        continue;
                    offered_[n] = 1;
                    next[m++] = n;
                }
            growShape(next, m, grown);
            for (int j = fresh; j < m; ++j)
                offered_[next[j]] = 0;
        }
        while (shapeTop_ > base)
            inShape_[shapeStack_[--shapeTop_]] = 0;
    }
}

void Search::recordShape() {
    ++shapeFound_;
    ++borderRound_;
    for (int k = 0; k < shapeTop_; ++k) {
        const int c = shapeStack_[k];
        if (shapeCount_[c]++ == 0 && borderCount_[c] == 0) shapeCells_[shapeTouched_++] = c;
        for (int d : orth_) {
            const int n = c + d;
            if (inShape_[n] || colour_[n] == Outside || borderStamp_[n] == borderRound_) continue;
            borderStamp_[n] = borderRound_;
            if (borderCount_[n]++ == 0 && shapeCount_[n] == 0) shapeCells_[shapeTouched_++] = n;
        }
    }
}

// All black cells in one group of the cells that may be black.
bool Search::connectRule() {
    if (blacks_ == 0) return true;
    int root = -1;
    for (int i : cells_) {
        disc_[i] = 0;
        if (root < 0 && colour_[i] == Dark) root = i;
    }
    int timer = 0, top = 0, pending = 0, visitedBlack = 0;
    disc_[root] = low_[root] = ++timer;
    parent_[root] = -1;
    below_[root] = 1;
    next_[root] = 0;
    stack_[top++] = root;
    while (top > 0) {
        const int v = stack_[top - 1];
        if (next_[v] < 4) {
            const int n = v + orth_[next_[v]++];
            const int col = colour_[n];
            if (col != Open && col != Dark) continue;
            if (disc_[n] == 0) {
                disc_[n] = low_[n] = ++timer;
                parent_[n] = v;
                below_[n] = col == Dark ? 1 : 0;
                next_[n] = 0;
                stack_[top++] = n;
            } else if (n != parent_[v] && disc_[n] < low_[v]) {
                low_[v] = disc_[n];
            }
            continue;
        }
        --top;
        if (colour_[v] == Dark) ++visitedBlack;
        const int p = parent_[v];
        if (p < 0) continue;
        if (low_[v] < low_[p]) low_[p] = low_[v];
        below_[p] += below_[v];
        // p separates v's subtree, which holds black cells, from the root.
        if (low_[v] >= disc_[p] && below_[v] > 0 && colour_[p] == Open) queue_[pending++] = p;
    }
    if (visitedBlack < blacks_) return false;
    for (int k = 0; k < pending; ++k)
        if (!set(queue_[k], Dark)) return false;
    for (int i : cells_)
        if (colour_[i] == Open && disc_[i] == 0 && !set(i, Light)) return false;
    return true;
}

// `from` as for blockRule.
bool Search::propagate(int from) {
    for (;;) {
        changed_ = false;
        if (!countRule()) return false;
        if (!tandrel_ && !blockRule(from)) return false;
        if (!areaRules()) return false;
        if (changed_) continue;
        if (!connectRule()) return false;
        if (!changed_) return true;
    }
}

// Single hypotheses: a colour whose propagation fails gives the cell the
// other colour, and cells that both colours decide alike are decided. At the
// root every undecided cell next to a decided one is tried; below it, those
// within two cells of what changed since trail position `from`, and again
// round whatever a hypothesis decides. The branch cell is then the tried
// cell whose two colours each decide the most.
bool Search::probe(int from) {
    ++round_;
    int head = 0, count = 0;
    auto enqueue = [&](int c) {
        if (colour_[c] != Open || queued_[c] == round_) return;
        queued_[c] = round_;
        probeQueue_[(head + count++) % n_] = c;
    };
    auto around = [&](int c) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const int n = c + dy * stride_ + dx;
                if (n >= 0 && n < n_) enqueue(n);
            }
    };
    if (from < 0) {
        for (int i : cells_)
            enqueue(i);
    } else {
        for (int k = from; k < trailLen_; ++k)
            around(trail_[k]);
    }
    int best = -1, bestScore = -1;
    while (count > 0) {
        const int i = probeQueue_[head];
        head = (head + 1) % n_;
        --count;
        queued_[i] = 0;
        if (colour_[i] != Open) continue;
        bool near = false;
        for (int d : ring_)
            near |= colour_[i + d] == Dark || colour_[i + d] == Light;
        if (!near) continue;
        if (stopRequested()) return true;
        const int mark = trailLen_;
        set(i, Light);
        const bool whiteOk = propagate(mark);
        const int whiteGain = trailLen_ - mark;
        ++probe_;
        for (int k = mark; k < trailLen_; ++k) {
            probeSeen_[trail_[k]] = probe_;
            probeColour_[trail_[k]] = colour_[trail_[k]];
        }
        undo(mark);
        int agreed = 0;
        bool blackOk = true;
        int blackGain = 0;
        if (whiteOk) {
            set(i, Dark);
            blackOk = propagate(mark);
            blackGain = trailLen_ - mark;
            if (blackOk)
                for (int k = mark; k < trailLen_; ++k) {
                    const int c = trail_[k];
                    if (probeSeen_[c] == probe_ && probeColour_[c] == colour_[c])
                        decisions_[agreed++] = c * 4 + colour_[c];
                }
            undo(mark);
        }
        if (!whiteOk || !blackOk || agreed > 0) {
            if (!whiteOk) set(i, Dark);
            if (!blackOk) set(i, Light);
            for (int k = 0; k < agreed; ++k)
                if (!set(decisions_[k] >> 2, static_cast<Colour>(decisions_[k] & 3))) return false;
            if (!propagate(mark)) return false;
            for (int k = mark; k < trailLen_; ++k)
                around(trail_[k]);
            continue;
        }
        // Later restarts weigh the scores with a little noise, so that they
        // do not retrace the runs before them.
        int score = (whiteGain + 1) * (blackGain + 1) * 4;
        if (noise_) {
            rng_ ^= rng_ << 13, rng_ ^= rng_ >> 7, rng_ ^= rng_ << 17;
            score += static_cast<int>(rng_ % static_cast<std::uint64_t>(score));
        }
        if (score > bestScore) bestScore = score, best = i;
    }
    // The rules' own choice, on the board as it now stands, unless a tried
    // cell is better.
    if (!propagate()) return false;
    if (best >= 0 && colour_[best] == Open) branch_ = best;
    return true;
}

bool Search::stopRequested() {
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
            limits_.observer->progress(nodes_, static_cast<int>(frames_.size()));
        }
    }
    return false;
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

AnalysisResult Search::Run() {
    AnalysisResult result;
    start_ = lastReport_ = Clock::now();
    int found = 0;
    // On large boards the search runs again and again from the root with a
    // budget of dead ends that doubles each time, taking the colours in the
    // other order each time, so that a run lost in a part of the board without
    // a solution is cut short and a later one finds the solutions elsewhere.
    // Dead ends, not branches, are counted: a large board needs hundreds of
    // branches on the way down even when none of them fails. A run that ends
    // within its budget has seen the whole tree. Solutions found by earlier
    // runs count when they differ.
    bool rootOk = budget_ >= 0 && propagate() && probe(-1) && solverStep();
    const int rootMark = trailLen_;
    // Small boards are searched once: their trees are small enough, and a
    // proof of uniqueness has to see the whole tree anyway.
    std::uint64_t budget = cells_.size() > 600 ? 16 : ~std::uint64_t{0} / 4;
    for (int attempt = 0; rootOk && !stopped_ && found < 2; ++attempt, budget *= 2) {
        undo(rootMark);
        frames_.clear();
        if (!propagate()) break; // restores branch_ for the root
        noise_ = attempt >= 2;
        const Colour firstColour = attempt % 2 == 0 ? Light : Dark;
        const std::uint64_t runEnd = fails_ + budget;
        bool ok = true, cut = false;
        while (true) {
            if (ok && open_ == 0) {
                Board& slot = result.solutions[found];
                storeSolution(slot);
                bool fresh = true;
                for (int k = 0; k < found; ++k)
                    fresh &= !SameColours(result.solutions[k], slot);
                if (fresh && ++found == 2) break;
                if (found == 1) known_ = colour_;
                ok = false;
            }
            if (ok) {
                if (stopRequested()) break;
                if (fails_ >= runEnd) {
                    cut = true;
                    break;
                }
                ++nodes_;
                const int cell = branch_;
                // Once a solution is known, the other colour first: a second
                // solution differs from it somewhere.
                const Colour pick =
                    found == 1 ? (known_[cell] == Light ? Dark : Light) : firstColour;
                frames_.push_back({cell, trailLen_, false, pick});
                set(cell, pick);
                ok = propagate(frames_.back().mark) && probe(frames_.back().mark) && solverStep();
                continue;
            }
            // Back to the last branch with a colour left to try.
            ++fails_;
            while (!frames_.empty() && frames_.back().second) {
                undo(frames_.back().mark);
                frames_.pop_back();
            }
            if (frames_.empty()) break;
            Frame& f = frames_.back();
            undo(f.mark);
            f.second = true;
            set(f.cell, f.first == Light ? Dark : Light);
            ok = propagate(f.mark) && probe(f.mark) && solverStep();
        }
        if (!cut) break;
    }
    result.nodes = nodes_;
    result.solutionCount = found;
    if (found == 2)
        result.verdict = Verdict::Several;
    else if (stopped_)
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
    result.seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    return result;
}

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

int GradeByAutoSolve(const Board& puzzle, Board* solved) {
    auto board = std::make_unique<Board>(puzzle);
    board->status = StatusNone;
    StageTrace trace;
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
    Search search(puzzle, limits);
    return search.Run();
}

} // namespace ombrix
