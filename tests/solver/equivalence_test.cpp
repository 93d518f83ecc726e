// The solver's faster computations against their straightforward forms, kept
// here: the reach query over an index of the areas against a scan of the
// whole board, the region rules that clear and promote only the cells a walk
// touched against full-board passes, and the black groups kept cell by cell
// (and undone) against groups built afresh. All are run on boards taken from
// the middle of solves of generated puzzles of both rule sets and many sizes.
#include "generator.h"
#include "solver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <tuple>
#include <vector>

using namespace ombrix;

namespace {

// The reach query as first written: every clue of the board, and for each
// one in range a scan of the whole board for its cells.
int ReferenceCountReaching(Board& b, int tx, int ty) {
    int count = 0;
    for (int cx = 1; cx <= b.width; ++cx) {
        for (int cy = 1; cy <= b.height; ++cy) {
            const Cell& clue = b.at(cx, cy);
            if (clue.areaId == 0 || clue.state >= 48) continue;
            const int n = clue.state, d = std::abs(cx - tx) + std::abs(cy - ty);
            if (n <= d) continue;
            const int xlo = std::min(cx, tx), xhi = std::max(cx, tx);
            const int ylo = std::min(cy, ty), yhi = std::max(cy, ty);
            int p = 0, above = 0, below = 0, left = 0, right = 0;
            for (int x = 1; x <= b.width; ++x) {
                for (int y = 1; y <= b.height; ++y) {
                    if (b.at(x, y).areaId != clue.areaId) continue;
                    if (cx == tx) {
                        if (y < ylo || y > yhi)
                            ++p;
                        else if (x < cx)
                            ++left;
                        else if (x > cx)
                            ++right;
                    } else if (cy == ty) {
                        if (x < xlo || x > xhi)
                            ++p;
                        else if (y < cy)
                            ++above;
                        else if (y > cy)
                            ++below;
                    } else {
                        const bool inCols = x >= xlo && x <= xhi, inRows = y >= ylo && y <= yhi;
                        if (!inCols && !inRows)
                            ++p;
                        else if (!inRows)
                            ++(y < ylo ? above : below);
                        else if (!inCols)
                            ++(x < xlo ? left : right);
                    }
                }
            }
            p += std::min(above, 2) + std::min(below, 2) + std::min(left, 2) + std::min(right, 2);
            bool blackBetween = false;
            if (cx == tx && left == 0 && right == 0)
                for (int y = ylo + 1; y < yhi; ++y)
                    blackBetween |= isBlack(b.state(cx, y));
            if (cy == ty && above == 0 && below == 0)
                for (int x = xlo + 1; x < xhi; ++x)
                    blackBetween |= isBlack(b.state(x, cy));
            if (blackBetween) p += 2;
            if (n - p > d) {
                b.reachX = static_cast<std::uint32_t>(cx);
                b.reachY = static_cast<std::uint32_t>(cy);
                if (++count == 2) return 2;
            }
        }
    }
    return count;
}

// Every walk mark of the board cleared, or the open and done ones settled.
void SetAllMarks(Board& b, bool clear) {
    for (int x = 1; x <= b.width; ++x)
        for (int y = 1; y <= b.height; ++y)
            if (clear || b.at(x, y).mark == 1 || b.at(x, y).mark == 2)
                b.at(x, y).mark = clear ? 0 : 3;
}

// Area reach and clue reachability with a full-board pass for every clearing,
// whitening, promotion and painting.
void ReferenceAreaReach(Solver& s, Board& b) {
    for (int x = 1; x <= b.width; ++x) {
        for (int y = 1; y <= b.height; ++y) {
            const Cell& c = b.at(x, y);
            if (c.areaId == 0 || c.state >= 48) continue;
            SetAllMarks(b, true);
            s.reachLimit = c.state;
            s.reachArea = c.areaId;
            s.WalkReach(x, y);
            if (s.visitedCount == c.state) {
                s.WhitenReached();
            } else if (s.visitedCount < c.state) {
                b.status = StatusContradiction;
                return;
            }
        }
    }
    SetAllMarks(b, false);
    for (int x = 1; x <= b.width; ++x) {
        for (int y = 1; y <= b.height; ++y) {
            if (b.state(x, y) != Undecided || b.at(x, y).mark != 0) continue;
            s.WalkToClue(x, y);
            if (s.visitedCount < 100) {
                for (int u = 1; u <= b.width; ++u)
                    for (int v = 1; v <= b.height; ++v)
                        if (b.at(u, v).mark == 1 || b.at(u, v).mark == 2) s.MarkBlack(u, v);
                return;
            }
            SetAllMarks(b, false);
        }
    }
}

void ReferenceAreaFragment(Solver& s, Board& b) {
    SetAllMarks(b, true);
    for (int x = 1; x <= b.width; ++x) {
        for (int y = 1; y <= b.height; ++y) {
            const Cell& c = b.at(x, y);
            if (c.state < 101 || c.state > 147 || c.areaId == 0 || c.mark != 0) continue;
            s.fragmentCode = c.state;
            const int r = s.WalkFragment(x, y);
            if (r == 1)
                s.JoinArea(s.lastExitX, s.lastExitY, x, y);
            else if (r == 0)
                b.status = StatusContradiction;
            SetAllMarks(b, false);
        }
    }
}

// Keeps every k-th board the solver passes through, rule by rule.
struct Sampler : SolveTrace {
    std::vector<std::unique_ptr<Board>> boards;
    int every = 1, seen = 0, limit = 40;
    bool wantsChanges() const override { return false; }
    void afterRule(const RuleRun&, const Board& b) override {
        if (++seen % every == 0 && static_cast<int>(boards.size()) < limit)
            boards.push_back(std::make_unique<Board>(b));
    }
    void afterTrial(const Board&) override {}
};

bool SameCells(const Board& a, const Board& b) {
    return std::memcmp(a.cells, b.cells, sizeof a.cells) == 0 && a.status == b.status &&
           a.changed == b.changed && a.undecidedCount == b.undecidedCount;
}

} // namespace

TEST(Equivalence, FastFormsAgreeWithStraightforwardOnes) {
    std::vector<std::unique_ptr<Board>> boards;
    auto puzzle = std::make_unique<Board>(), solution = std::make_unique<Board>();
    for (int i = 0; i < 40; ++i) {
        const GeneratorOptions o{.width = 8 + (i * 7) % 13,
                                 .height = 8 + (i * 11) % 17,
                                 .ruleSet = i % 2,
                                 .seed = 500 + static_cast<std::uint64_t>(i),
                                 .maxArea = 3 + i % 9};
        ASSERT_TRUE(GeneratePuzzle(o, *puzzle, *solution));
        Sampler sampler;
        sampler.every = 3 + i % 17;
        Solver(*puzzle, &sampler).AutoSolve();
        for (auto& b : sampler.boards)
            boards.push_back(std::move(b));
    }
    ASSERT_GT(boards.size(), 500u);
    auto kept = std::make_unique<BlackGroups>(), fresh = std::make_unique<BlackGroups>();
    auto sameGroups = [&](const Board& b) {
        auto fields = [](BlackGroups::Group g) {
            return std::tuple(g.size, g.exits, g.first, g.oneExit);
        };
        for (int x = 1; x <= b.width; ++x)
            for (int y = 1; y <= b.height; ++y)
                if (isBlack(b.state(x, y)) &&
                    fields(kept->GroupOf(x, y)) != fields(fresh->GroupOf(x, y)))
                    return false;
        return true;
    };
    std::mt19937 rng(12345);
    auto next = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    int verdicts[3] = {};
    int queries = 0;
    for (const auto& original : boards) {
        // The reach query, for every cell it may be asked about.
        auto fast = std::make_unique<Board>(*original), slow = std::make_unique<Board>(*original);
        Solver s(*fast);
        for (int x = 1; x <= fast->width; ++x) {
            for (int y = 1; y <= fast->height; ++y) {
                const int st = fast->state(x, y);
                if ((st != Undecided && st != WhiteDot) || fast->at(x, y).areaId != 0) continue;
                if ((x + y + queries++) % 4 != 0) continue; // a sample keeps the test quick
                const int a = s.CountReachingAreas(x, y), r = ReferenceCountReaching(*slow, x, y);
                ASSERT_EQ(a, r) << "target (" << x << "," << y << ")";
                if (a == 1) {
                    ASSERT_EQ(std::pair(fast->reachX, fast->reachY),
                              std::pair(slow->reachX, slow->reachY));
                }
            }
        }
        // The two region rules, on identical copies.
        for (int rule = 0; rule < 2; ++rule) {
            auto a = std::make_unique<Board>(*original), b = std::make_unique<Board>(*original);
            a->changed = b->changed = 0;
            Solver sa(*a), sb(*b);
            sa.Run(rule == 0 ? Rule::AreaReach : Rule::AreaFragment);
            (rule == 0 ? ReferenceAreaReach : ReferenceAreaFragment)(sb, *b);
            ASSERT_TRUE(SameCells(*a, *b))
                << (rule == 0 ? "RuleAreaReach" : "RuleAreaFragment") << " on a " << int(a->width)
                << "x" << int(a->height) << " board, rule set " << int(a->ruleSet);
        }
        // The kept black groups cell by cell against groups built afresh,
        // and their verdict against the connectivity rule's walk.
        Board b = *original;
        kept->Build(b);
        const auto start = std::make_unique<Board>(b);
        Board w = b;
        w.status = StatusNone;
        w.changed = 0;
        Solver(w).Run(Rule::BlackConnected);
        int ex = 0, ey = 0;
        const auto v = kept->Connectivity(b.blackBudget, ex, ey);
        ++verdicts[static_cast<int>(v)];
        if (v == BlackGroups::Verdict::Quiet) {
            ASSERT_EQ(w.status, StatusNone);
            ASSERT_EQ(w.changed, 0);
        } else if (v == BlackGroups::Verdict::Extend) {
            ASSERT_EQ(w.status, StatusNone);
            ASSERT_EQ(w.state(ex, ey), Black) << "(" << ex << "," << ey << ")";
            ASSERT_EQ(b.undecidedCount - 1, w.undecidedCount);
        }
        const int mark = kept->TrailMark();
        for (int step = 0; step < 12; ++step) {
            const int x = 1 + next(b.width), y = 1 + next(b.height);
            if (b.state(x, y) != Undecided) continue;
            b.state(x, y) = next(2) ? Black : WhiteDot;
            kept->Decided(b, x, y);
            fresh->Build(b);
            ASSERT_TRUE(sameGroups(b)) << "after deciding (" << x << "," << y << ")";
        }
#ifdef OMBRIX_TINY_CAPACITIES
        if (!kept->Undo(mark)) kept->Build(*start); // the trail ran over, as the solver does
#else
        ASSERT_TRUE(kept->Undo(mark));
#endif
        fresh->Build(*start);
        ASSERT_TRUE(sameGroups(*start));
    }
    EXPECT_GT(queries, 40000);
    EXPECT_TRUE(verdicts[0] && verdicts[1] && verdicts[2]) << "every verdict occurs";
}

// The kept indexes and the trial search's skipping against every rule run in
// full: whole solves of generated puzzles of both rule sets, sizes from 8 x 8
// to 31 x 45, compared cell by cell (state and area id) with status, circled
// cell and undecided count. Each solve passes through many mid-solve boards,
// and every hypothesis of its trial searches must end the same way.
TEST(Equivalence, IncrementalSolveMatchesFullRules) {
    auto puzzle = std::make_unique<Board>(), solution = std::make_unique<Board>();
    auto full = std::make_unique<Board>();
    int outcomes[8] = {};
    for (int i = 0; i < 120; ++i) {
        const bool large = i % 30 == 29;
        const GeneratorOptions o{.width = large ? 31 : 8 + (i * 5) % 15,
                                 .height = large ? 45 : 8 + (i * 13) % 19,
                                 .ruleSet = large ? (i / 30) % 2 : i % 2,
                                 .seed = 12000 + static_cast<std::uint64_t>(i),
                                 .maxArea = large ? 3 : 3 + (i * 3) % 10};
        ASSERT_TRUE(GeneratePuzzle(o, *puzzle, *solution));
        *full = *puzzle;
        Solver(*puzzle).AutoSolve();
        Solver reference(*full);
        reference.incremental = false;
        reference.AutoSolve();
        const auto where = ::testing::Message() << "seed " << o.seed << ", " << o.width << "x"
                                                << o.height << ", rule set " << o.ruleSet;
        auto outcome = [](const Board& b) {
            return std::tuple(b.status, b.altCellX, b.altCellY, b.undecidedCount);
        };
        ASSERT_EQ(outcome(*puzzle), outcome(*full)) << where;
        for (int x = 0; x < kGridWidth; ++x)
            for (int y = 0; y < kGridHeight; ++y) {
                const Cell &p = puzzle->at(x, y), &q = full->at(x, y);
                ASSERT_EQ(std::pair(p.state, p.areaId), std::pair(q.state, q.areaId))
                    << where << ", cell (" << x << "," << y << ")";
            }
        ++outcomes[puzzle->status % 8];
    }
    // The puzzles reach the trial search's every ending, not just solutions.
    EXPECT_TRUE(outcomes[StatusNone] && outcomes[StatusUnsolvable] &&
                outcomes[StatusSecondSolution]);
}
