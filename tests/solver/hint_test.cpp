// The hint on whole boards written as text, and hints followed step by step
// to the end of solves whose trace is held against the boards themselves.
#include "golden.h" // LoadGrid
#include "hint.h"
#include "test_boards.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace ombrix;
using namespace ombrix::testing;

namespace {

// "x,y=state ..." for the hint's cells.
std::string Cells(const Hint& h) {
    std::string out;
    for (const HintCell& c : h.cells)
        out +=
            std::to_string(c.x) + "," + std::to_string(c.y) + "=" + std::to_string(c.state) + " ";
    return out;
}

// Outside the trial search only the rules change the board: each rule run's
// report is held against the boards after the run and after the one before.
struct Holder : SolveTrace {
    std::unique_ptr<Board> last;
    bool inTrial = false;
    std::size_t changes = 0;
    void afterRule(const RuleRun& run, const Board& b) override {
        if (inTrial) return;
        std::size_t k = 0;
        for (int x = 1; x <= b.width; ++x)
            for (int y = 1; y <= b.height; ++y)
                if (const int was = last->state(x, y); was != b.state(x, y)) {
                    ASSERT_LT(k, run.changes.size()) << run.name;
                    const CellChange& c = run.changes[k++];
                    EXPECT_TRUE(c.x == x && c.y == y && c.before == was && c.after == b.state(x, y))
                        << run.name << " " << x << "," << y;
                }
        EXPECT_EQ(k, run.changes.size()) << run.name;
        changes += k;
        *last = b;
    }
    void beforeTrial(const Board&) override { inTrial = true; }
    void afterTrial(const Board& b) override {
        inTrial = false;
        *last = b;
    }
};

} // namespace

TEST(Hint, FirstRuleInTableOrderErrorsAndTheSolvedBoard) {
    // clang-format off
    const struct {
        HintKind kind;
        std::string name, cells;
        int rules;
        std::vector<std::string> rows;
    } cases[] = {
        // ombrix-solved.grid two steps in: the dead end at (1,10) runs up and
        // the one at (10,2) left, though later rules could act as well.
        {HintKind::Rule, "RuleBlackDeadEnd", "1,9=100 9,2=100 ", 0,
         {". # . . . . # . . 2", "# 1 # 2 . # 1 # . #", ". # . . # . # . . 2",
          ". . 2 # 1 # 1 # # .", ". # . . # . # # 1 #", "# 1 # 3 . # 1 # # .",
          ". # . . # . # # 1 #", "# 1 # # 1 # 1 # # .", ". # # 1 # # # . 2 .",
          "# 1 # # # 1 # . . ."}},
        // Tandrel: the 3 walled in on the right grows down; the cell gets its number.
        {HintKind::Rule, "RuleWhiteDeadEnd", "1,2=103 ", 1,
         {"3 # 1 # # 1 # . . .", ". G # # # # # . # #", ". . G . . . . . # 1",
          ". . . . . . . . # #", ". . . . . G . . # 1", "G . . . . . . . # #",
          ". . . . . . . . . .", ". . . G . . . G . .", "# # . . . . . # # #",
          "1 # . . . . G # 1 #"}},
        // (A fresh puzzle's first hint, the walls of its 1: the editor's hint test.)
        // A broken rule is named with its cells; a mistake only the rules find
        // is a contradiction; a finished board is solved.
        {HintKind::Error, "black-block", "1,1=100 1,2=100 2,1=100 2,2=100 ", 0,
         {"# # . .", "# # . .", ". . . .", ". . . 3"}},
        {HintKind::Error, "contradiction", "", 0, {"2 . .", ". o .", "1 . 1"}},
        {HintKind::Solved, "", "", 0, {"2 a2 #", "# # #", "1 # 1"}},
    };
    // clang-format on
    for (const auto& c : cases) {
        const Hint h = FindHint(*MakeBoard(c.rules, c.rows));
        EXPECT_EQ(std::tuple(h.kind, h.name, Cells(h)), std::tuple(c.kind, c.name, c.cells))
            << c.rows[0];
    }
    EXPECT_EQ(FindHint(*MakeBoard(0, cases[2].rows)).why, "2×2の黒マスがあります");
}

// Each solve's trace reports exactly the cells each rule changed; its hints,
// followed step by step, end on its solution.
TEST(Hint, FollowedStepByStepEndsOnTheTracedSolverSolution) {
    for (const char* name : {"ombrix-solved.grid", "tandrel-solved.grid", "ombrix-beyond.grid",
                             "tandrel-beyond.grid"}) {
        SCOPED_TRACE(name);
        auto b = LoadGrid(std::string(OMBRIX_TEST_DATA_DIR) + "/" + name);
        auto solved = std::make_unique<Board>(*b);
        Holder holder;
        auto s = std::make_unique<Solver>(*solved, &holder);
        s->PrepareBoard();
        holder.last = std::make_unique<Board>(*solved);
        s->AutoSolve();
        EXPECT_GT(holder.changes, 20);
        int trials = 0;
        for (Hint h = FindHint(*b);; h = FindHint(*b)) {
            if (h.kind != HintKind::Rule && h.kind != HintKind::Trial) {
                // The puzzles the solver completes end solved; the one with
                // many solutions ends where nothing is forced.
                EXPECT_EQ(h.kind, solved->status == StatusNone ? HintKind::Solved : HintKind::None);
                break;
            }
            trials += h.kind == HintKind::Trial;
            ASSERT_FALSE(h.cells.empty());
            for (const HintCell& c : h.cells) {
                ASSERT_EQ(b->state(c.x, c.y), Undecided) << c.x << "," << c.y;
                b->state(c.x, c.y) = c.state;
                if (solved->status == StatusNone) {
                    EXPECT_EQ(isBlack(c.state), isBlack(solved->state(c.x, c.y)));
                }
            }
        }
        EXPECT_EQ(trials > 0, solved->status != StatusNone);
    }
}
