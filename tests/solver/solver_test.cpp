// Rule-level tests: small boards written as text, one operation or rule run,
// and the cells, counters and status it must leave.
#include "generator.h"
#include "grid_text.h"
#include "rule_checker.h"
#include "status_text.h"
#include "test_boards.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <functional>

using namespace ombrix;
using namespace ombrix::testing;

namespace {

std::vector<std::string> Empty8(int rows = 8) {
    return std::vector<std::string>(static_cast<std::size_t>(rows), ". . . . . . . .");
}

// Runs `rule` once on the board `before` (after `setup`, which may give area
// ids) and holds the whole board against `after`, and the status.
void ExpectRule(int ruleSet, Rule rule, const std::vector<std::string>& before,
                const std::vector<std::string>& after, int status = StatusNone,
                const std::function<void(Board&)>& setup = {}) {
    auto b = MakeBoard(ruleSet, before);
    if (setup) setup(*b);
    Solver s(*b);
    s.Run(rule);
    EXPECT_EQ(BoardRows(*b), after);
    EXPECT_EQ(b->status, status);
}

} // namespace

TEST(Board, ResetBordersPredicatesAndMessages) {
    Board b;
    UiState ui;
    b.width = 31;
    b.height = 45;
    b.cells[5][5].mark = 3;
    ui.historyCount = 7;
    ui.historyX[199] = 9;
    ResetBoard(b, ui);
    EXPECT_EQ(b.state(0, 10), Border);
    EXPECT_EQ(b.state(31, 45), Undecided);
    for (int x : {32, 33, 34})
        EXPECT_EQ(b.state(x, 1), Border);
    for (int y : {0, 46, 47})
        EXPECT_EQ(b.state(1, y), Border);
    EXPECT_EQ(b.cells[5][5].mark, 3) << "the reset leaves marks alone";
    EXPECT_EQ(ui.historyCount, 7);
    EXPECT_EQ(ui.historyX[199], 0);
    EXPECT_EQ(ui.layoutState, LayoutBarPending);
    b.width = b.height = 8;
    ResetBoard(b, ui);
    EXPECT_EQ(b.state(9, 1), Border);
    EXPECT_EQ(b.state(1, 9), Border);

    // Every message is 44 bytes in code page 932 (6 included).
    iconv_t cd = iconv_open("CP932", "UTF-8");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (int st = 0; st < 8; ++st) {
        std::string in(StatusMessage(st));
        char out[128];
        char* ip = in.data();
        char* op = out;
        std::size_t il = in.size(), ol = sizeof out;
        ASSERT_NE(iconv(cd, &ip, &il, &op, &ol), static_cast<std::size_t>(-1)) << st;
        EXPECT_EQ(op - out, 44) << "status " << st;
    }
    iconv_close(cd);
    EXPECT_EQ(StatusMessageTrimmed(1), "この問題は成立していません");
    EXPECT_EQ(StatusMessageTrimmed(0), "");
    EXPECT_TRUE(StatusMessage(8).empty());
}

TEST(Marks, ElementaryOperations) {
    auto b =
        MakeBoard(0, {". . . . . . . .", ". L # G o . . .", ". . . . . . . .", ". . 3 . . . . .",
                      ". . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . ."});
    Solver s(*b);
    b->undecidedCount = CountUndecided(*b);
    const auto before = b->undecidedCount;
    // Painting what is already black or the border changes nothing.
    for (auto [x, y] : {std::pair{0, 1}, {2, 2}, {3, 2}, {4, 2}})
        s.MarkBlack(x, y);
    EXPECT_EQ(b->changed, 0);
    EXPECT_EQ(b->status, 0);
    EXPECT_EQ(b->state(2, 2), BlackLinked);
    s.MarkBlack(1, 1);
    EXPECT_EQ(b->state(1, 1), Black);
    EXPECT_EQ(b->undecidedCount, before - 1);
    EXPECT_EQ(b->changed, 1);
    // A white dot stays; the contradiction is reported.
    s.MarkBlack(5, 2);
    EXPECT_EQ(b->state(5, 2), WhiteDot);
    EXPECT_EQ(b->status, StatusContradiction);
    b->status = 0;
    s.MarkWhite(0, 3);
    EXPECT_EQ(b->status, StatusContradiction);
    b->status = 0;
    b->changed = 0;
    s.MarkWhite(8, 8);
    EXPECT_EQ(b->state(8, 8), WhiteDot);
    EXPECT_EQ(b->undecidedCount, before - 1) << "a white dot still counts as undecided";

    // JoinArea of the dot next to clue 3 (id 1) decrements the count.
    b->at(3, 4).areaId = 1;
    b->state(3, 3) = WhiteDot;
    s.JoinArea(3, 3, 3, 4);
    EXPECT_EQ(b->state(3, 3), 103);
    EXPECT_EQ(b->at(3, 3).areaId, 1);
    EXPECT_EQ(b->undecidedCount, before - 2);
    // A cell touching a second area is refused and stays as it was.
    b->at(5, 4).areaId = 2;
    b->state(5, 4) = 4;
    s.JoinArea(4, 4, 3, 4);
    EXPECT_EQ(b->status, StatusContradiction);
    EXPECT_EQ(b->state(4, 4), Undecided);
    // Once status is 1, JoinArea changes nothing even where it would be fine.
    s.JoinArea(3, 5, 3, 4);
    EXPECT_EQ(b->state(3, 5), Undecided);
}

TEST(Marks, JoiningAClueTwoFinishesItsArea) {
    for (int ruleSet : {0, 1}) {
        auto b = MakeBoard(ruleSet, Empty8());
        b->state(4, 4) = 2;
        b->at(4, 4).areaId = 1;
        b->undecidedCount = 63;
        Solver s(*b);
        s.JoinArea(5, 4, 4, 4);
        EXPECT_EQ(b->state(5, 4), 102);
        EXPECT_EQ(b->at(5, 4).areaId, 0);
        EXPECT_EQ(b->at(4, 4).areaId, 0);
        for (auto [x, y] : {std::pair{4, 3}, {3, 4}, {4, 5}, {5, 3}, {5, 5}, {6, 4}})
            EXPECT_EQ(b->state(x, y), Black) << x << "," << y;
        const int diag = ruleSet ? Black : Undecided;
        for (auto [x, y] : {std::pair{3, 3}, {3, 5}, {6, 3}, {6, 5}})
            EXPECT_EQ(b->state(x, y), diag) << "rule set " << ruleSet << " " << x << "," << y;
        EXPECT_EQ(b->status, 0);
    }
}

TEST(Driver, PreparationOutcomes) {
    // Two touching clues 1: status 1 at once.
    auto b =
        MakeBoard(0, {"1 1 . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . .",
                      ". . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . ."});
    AutoSolve(*b);
    EXPECT_EQ(b->status, StatusContradiction);
    EXPECT_EQ(b->state(3, 1), Black) << "preparation walled in the second 1";

    // A sum larger than the board wins over the contradiction.
    b->state(8, 8) = 48;
    b->state(7, 7) = 48;
    AutoSolve(*b);
    EXPECT_EQ(b->status, StatusSumTooLarge);

    // A sum far beyond the board must not wrap round to a positive budget.
    std::string wide = ".";
    for (int i = 1; i < 31; ++i)
        wide += " .";
    auto big = MakeBoard(1, std::vector<std::string>(45, wide));
    for (int y = 1; y <= 45; ++y)
        for (int x = 1; x <= 31; ++x)
            if ((x + y) % 2 == 0) big->state(x, y) = 48;
    AutoSolve(*big);
    EXPECT_EQ(big->status, StatusSumTooLarge);

    // Exactly the cell count: budget 0, preparation passes (and the rules
    // then find the clues cannot all be satisfied).
    auto full = MakeBoard(0, Empty8());
    full->state(1, 1) = 32;
    full->state(8, 8) = 32;
    Solver s(*full);
    s.PrepareBoard();
    EXPECT_EQ(full->blackBudget, 0);
    EXPECT_EQ(full->status, 0);
    EXPECT_EQ(full->at(1, 1).areaId, 1);
    EXPECT_EQ(full->at(8, 8).areaId, 2);
}

TEST(Driver, SolvingAgainStartsFromTheClues) {
    auto b =
        MakeBoard(0, {". . . . . . . .", ". 2 . . . 4 . 3", ". . . . . . . .", "3 . . . . . . .",
                      ". . . . . 2 . .", ". . . . 1 . . .", ". 3 . . . . . .", ". . . . . . 5 ."});
    AutoSolve(*b);
    ASSERT_EQ(b->status, 0);
    const std::vector<std::string> solved = BoardRows(*b);
    std::string why;
    EXPECT_TRUE(CheckSolution(*b, why)) << why;
    // Scribble over it: the next solve clears every derived value.
    b->state(1, 1) = WhiteDot;
    b->state(4, 4) = 105;
    b->at(4, 4).areaId = 77;
    AutoSolve(*b);
    EXPECT_EQ(b->status, 0);
    EXPECT_EQ(BoardRows(*b), solved);
}

TEST(Driver, GivenBlackCellsUnderOmbrixNeverComplete) {
    // The same puzzle with a given black cell where the solution has black:
    // under Tandrel it counts as decided, under Ombrix it never does.
    auto b =
        MakeBoard(0, {"G . . . . . . .", ". 2 . . . 4 . 3", ". . . . . . . .", "3 . . . . . . .",
                      ". . . . . 2 . .", ". . . . 1 . . .", ". 3 . . . . . .", ". . . . . . 5 ."});
    AutoSolve(*b);
    EXPECT_NE(b->status, 0);
    EXPECT_GT(b->undecidedCount, 0);
}

TEST(SeparationRules, GapDiagonalAndClueTwo) {
    { // Ombrix: areas 1 and 2 two apart in a row, then diagonal.
        auto b = MakeBoard(0, Empty8());
        b->at(3, 4).areaId = 1;
        b->at(5, 4).areaId = 2;
        b->at(4, 5).areaId = 2;
        b->state(3, 4) = 3, b->state(5, 4) = 3, b->state(4, 5) = 103;
        Solver s(*b);
        s.Run(Rule::AreaGap);
        EXPECT_EQ(b->state(4, 4), Black);
        s.Run(Rule::AreaDiagonal);
        EXPECT_EQ(b->state(3, 5), Black);
        EXPECT_EQ(b->status, 0);
    }
    { // Tandrel: a knight's move paints both cells between; diagonal
        // contact is a contradiction.
        auto b = MakeBoard(1, Empty8());
        b->at(3, 4).areaId = 1;
        b->at(5, 5).areaId = 2;
        b->state(3, 4) = 3, b->state(5, 5) = 3;
        Solver s(*b);
        s.Run(Rule::AreaGap);
        EXPECT_EQ(b->state(4, 4), Black);
        EXPECT_EQ(b->state(4, 5), Black);
        b->at(4, 5).areaId = 2;
        b->state(4, 5) = 103;
        b->state(4, 4) = 0;
        s.Run(Rule::AreaDiagonal);
        EXPECT_EQ(b->status, StatusContradiction);
    }
    { // A far cell of a finished area (id 0) never fires.
        auto b = MakeBoard(0, Empty8());
        b->at(3, 4).areaId = 1;
        b->state(3, 4) = 3, b->state(5, 4) = 3;
        Solver s(*b);
        s.Run(Rule::AreaGap);
        s.Run(Rule::AreaDiagonal);
        EXPECT_EQ(b->state(4, 4), Undecided);
    }
    { // Clue 2: a white dot two cells away paints the cell between; at
        // x = 2 nothing is read from column 0; an Ombrix corner paints the
        // opposite diagonal.
        auto b = MakeBoard(0, Empty8());
        b->state(3, 4) = 2, b->at(3, 4).areaId = 1;
        b->state(1, 4) = WhiteDot;
        b->state(2, 7) = 2, b->at(2, 7).areaId = 2;
        b->state(1, 1) = 2, b->at(1, 1).areaId = 3;
        Solver s(*b);
        s.Run(Rule::ClueTwo);
        EXPECT_EQ(b->state(2, 4), Black);
        EXPECT_EQ(b->state(1, 7), Undecided);
        EXPECT_EQ(b->state(2, 2), Black) << "walls up and left of (1,1)";
    }
}

TEST(DeadEnds, BlackAndWhite) {
    // A black cell closed on three sides connects through the fourth and is
    // linked; the border there is a contradiction. A given black cell paints
    // the same but stays given.
    ExpectRule(0, Rule::BlackDeadEnd,
               {". . . . . . . .", ". o . . . o . .", "o # . . o G . .", ". o . . . o . o",
                ". . . . . . o #", ". . . . . . . o", ". . . . . . . .", ". . . . . . . ."},
               {". . . . . . . .", ". o . . . o . .", "o L # . o G # .", ". o . . . o . o",
                ". . . . . . o L", ". . . . . . . o", ". . . . . . . .", ". . . . . . . ."},
               StatusContradiction);
    // A white dot walled in on four sides would have to extend into a black
    // cell.
    const std::vector<std::string> cornered = {
        "o # . . . . . .", "# . . . . . . .", ". . . . . . . .", ". . . . . . . .",
        ". . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . ."};
    ExpectRule(0, Rule::WhiteDeadEnd, cornered, cornered, StatusContradiction);
    // Tandrel: the diagonal between two walls of a white dot is black.
    ExpectRule(1, Rule::WhiteDeadEnd,
               {". . . . . . . .", ". . . . . . . .", ". . . # . . . .", ". . # o . . . .",
                ". . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . ."},
               {". . . . . . . .", ". . . . . . . .", ". . # # . . . .", ". . # o . . . .",
                ". . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . ."});
}

TEST(UndecidedCell, BlocksWallsAndWhiteSides) {
    // Ombrix: (1,1) is walled in on four sides, so black; then (2,2) and
    // (5,5) would complete 2 x 2 blocks, so white; (1,7) has dots, the
    // border and an unfinished area round it, so white. (1,5) has the
    // border, not a black cell, on its left and an open side; the clue 1 is
    // finished and is no white side for (7,7).
    const std::vector<std::string> before = {
        ". # . . . . . .", "# . . . . . . .", ". . . . . . . .",  "# . . # # . . .",
        ". . . # . . . .", "o . . . . . . .", ". a3 . . . . . .", "o . . . . 1 o ."};
    ExpectRule(0, Rule::UndecidedCell, before,
               {"# # . . . . . .", "# o . . . . . .", ". . . . . . . .", "# . . # # . . .",
                ". . . # o . . .", "o . . . . . . .", "o a3 . . . . . .", "o . . . . 1 o ."},
               StatusNone, [](Board& b) { b.at(2, 7).areaId = 4; });
    // Tandrel has no block rule, and without an area id (2,7) is no white
    // side: only the walled-in corner changes.
    std::vector<std::string> after = before;
    after[0][0] = '#';
    ExpectRule(1, Rule::UndecidedCell, before, after);
}

TEST(Reach, CountReachingAreasPenalties) {
    { // Clue 4 at (5,5) with (5,4), (5,3): both above the box, 4 - 2 = 2.
        auto b = MakeBoard(0, Empty8());
        b->state(5, 5) = 4, b->at(5, 5).areaId = 1;
        b->state(5, 4) = 104, b->at(5, 4).areaId = 1;
        b->state(5, 3) = 104, b->at(5, 3).areaId = 1;
        Solver s(*b);
        EXPECT_EQ(s.CountReachingAreas(5, 7), 0);
        EXPECT_EQ(s.CountReachingAreas(5, 6), 1);
        EXPECT_EQ(b->reachX, 5u);
        EXPECT_EQ(b->reachY, 5u);
    }
    { // Same row with a black cell between: +2 unless cells stand beside.
        auto b = MakeBoard(0, Empty8());
        b->state(2, 5) = 4, b->at(2, 5).areaId = 1;
        b->state(3, 5) = Black;
        Solver s(*b);
        EXPECT_EQ(s.CountReachingAreas(4, 5), 0);
        b->state(2, 5) = 5;
        EXPECT_EQ(s.CountReachingAreas(4, 5), 1);
    }
    { // Three cells in the band above the box count as 2.
        auto b = MakeBoard(0, Empty8());
        b->state(2, 6) = 9, b->at(2, 6).areaId = 1;
        for (int x : {2, 3, 4})
            b->state(x, 3) = 109, b->at(x, 3).areaId = 1;
        Solver s(*b);
        // target (4,7): d = 3, box rows 6..7 cols 2..4, three cells above: p = 2,
        // 9 - 2 = 7 > 3.
        EXPECT_EQ(s.CountReachingAreas(4, 7), 1);
        // target (4, 8) with clue 6: d = 4, 6 - 2 = 4, not above 4.
        b->state(2, 6) = 6;
        EXPECT_EQ(s.CountReachingAreas(4, 8), 0);
    }
    { // Two areas: 2, and an unreachable cell becomes black.
        auto b = MakeBoard(0, Empty8());
        b->state(1, 1) = 3, b->at(1, 1).areaId = 1;
        b->state(1, 5) = 3, b->at(1, 5).areaId = 2;
        Solver s(*b);
        EXPECT_EQ(s.CountReachingAreas(1, 3), 2);
        s.Run(Rule::Unreachable);
        EXPECT_EQ(b->state(1, 3), Undecided);
        EXPECT_EQ(b->state(3, 2), Black);
        EXPECT_EQ(b->state(8, 8), Black);
    }
}

TEST(WhiteDotJoin, AdjacentReachedDiagonalAndRefused) {
    { // Different areas above and right: the join is refused.
        auto b = MakeBoard(0, Empty8());
        b->state(4, 3) = 3, b->at(4, 3).areaId = 1;
        b->state(5, 4) = 3, b->at(5, 4).areaId = 2;
        b->state(4, 4) = WhiteDot;
        Solver s(*b);
        s.Run(Rule::WhiteDotJoin);
        EXPECT_EQ(b->status, StatusContradiction);
        EXPECT_EQ(b->state(4, 4), WhiteDot);
    }
    { // Only one area can reach the dot: it joins at once, though apart.
        auto b = MakeBoard(0, Empty8());
        b->state(2, 2) = 4, b->at(2, 2).areaId = 1;
        b->state(2, 4) = WhiteDot;
        b->undecidedCount = CountUndecided(*b);
        const auto before = b->undecidedCount;
        Solver s(*b);
        s.Run(Rule::WhiteDotJoin);
        EXPECT_EQ(b->state(2, 4), 104);
        EXPECT_EQ(b->at(2, 4).areaId, 1);
        EXPECT_EQ(b->undecidedCount, before - 1);
    }
    { // Tandrel: diagonal area cell, black above the dot: dot and the cell
        // left of it join.
        auto b = MakeBoard(1, Empty8());
        b->state(3, 3) = 5, b->at(3, 3).areaId = 1;
        b->state(4, 3) = Black;
        b->state(4, 4) = WhiteDot;
        Solver s(*b);
        s.Run(Rule::WhiteDotJoin);
        EXPECT_EQ(b->state(4, 4), 105);
        EXPECT_EQ(b->state(3, 4), 105);
        EXPECT_EQ(b->status, 0);
    }
    { // Walled in on four sides: contradiction.
        auto b = MakeBoard(0, {"o # . . . . . .", "# . . . . . . .", ". . . . . . . .",
                               ". . . . . . . .", ". . . . . . . .", ". . . . . . . .",
                               ". . . . . . . .", ". . . . . . . ."});
        Solver s(*b);
        s.Run(Rule::WhiteDotJoin);
        EXPECT_EQ(b->status, StatusContradiction);
    }
}

TEST(Walk, ExitsVisitsAndBranches) {
    { // A lone black cell with one undecided neighbour.
        auto b = MakeBoard(0, {"# . . . . . . .", "o . . . . . . .", ". . . . . . . .",
                               ". . . . . . . .", ". . . . . . . .", ". . . . . . . .",
                               ". . . . . . . .", ". . . . . . . ."});
        Solver s(*b);
        EXPECT_EQ(s.WalkBlackGroup(1, 1), 1);
        EXPECT_EQ(s.visitedCount, 1);
        EXPECT_EQ(s.lastExitX, 2);
        EXPECT_EQ(s.lastExitY, 1);
    }
    { // An L of three black cells whose only exit is the corner cell.
        auto b = MakeBoard(0, {"o o o o . . . .", "o # . o . . . .", "o # # o . . . .",
                               "o o o o . . . .", ". . . . . . . .", ". . . . . . . .",
                               ". . . . . . . .", ". . . . . . . ."});
        Solver s(*b);
        EXPECT_EQ(s.WalkBlackGroup(2, 2), 1);
        EXPECT_EQ(s.lastExitX, 3);
        EXPECT_EQ(s.lastExitY, 2);
    }
    { // The six cells (2,4) (2,5) (3,5) (2,6) (3,6) (4,6) from (4,6): with
        // the branch list every walk sees all six.
        auto b = MakeBoard(0, {". . . . . . . .", ". . . . . . . .", ". . . . . . . .",
                               ". # . . . . . .", ". # # . . . . .", ". # # # . . . .",
                               ". . . . . . . .", ". . . . . . . ."});
        Solver s(*b);
        s.WalkBlackGroup(4, 6);
        EXPECT_EQ(s.visitedCount, 6);
        for (auto [x, y] : {std::pair{2, 4}, {2, 5}, {3, 5}, {2, 6}, {3, 6}, {4, 6}})
            EXPECT_NE(b->at(x, y).mark, 0) << x << "," << y;
        // The same shape as an area: the area walk sees all six too.
        auto a = MakeBoard(0, {". . . . . . . .", ". . . . . . . .", ". . . . . . . .",
                               ". a7 . . . . . .", ". a7 a7 . . . . .", ". a7 a7 7 . . . .",
                               ". . . . . . . .", ". . . . . . . ."});
        for (auto [x, y] : {std::pair{2, 4}, {2, 5}, {3, 5}, {2, 6}, {3, 6}, {4, 6}})
            a->at(x, y).areaId = 1;
        Solver sa(*a);
        sa.WalkArea(4, 6);
        EXPECT_EQ(sa.visitedCount, 6);
    }
    { // A dot group next to an unfinished area counts at least 2.
        auto b = MakeBoard(0, Empty8());
        b->state(4, 4) = WhiteDot;
        b->state(5, 4) = 3, b->at(5, 4).areaId = 1;
        for (auto [x, y] : {std::pair{4, 3}, {3, 4}, {4, 5}})
            b->state(x, y) = Black;
        Solver s(*b);
        EXPECT_GE(s.WalkDotGroup(4, 4), 2);
    }
    { // A clue-free region of over 100 cells counts 100.
        auto b = MakeBoard(
            0, std::vector<std::string>(20, ". . . . . . . . . . . . . . . . . . . . . . . . ."));
        Solver s(*b);
        s.WalkToClue(1, 1);
        EXPECT_EQ(s.visitedCount, 100);
    }
}

TEST(BlackConnectivity, ExtendWhitenAndChecks) {
    { // A group of the whole budget whitens the rest; a second group met
        // later then has no exit.
        auto b = MakeBoard(0, {"# # . . . . . .", ". . . . . . . .", ". . . . . . . .",
                               ". . . . . . . .", ". . . . . . . .", ". . . . . . . .",
                               ". . . . . . . .", "o o o o o o o #"});
        b->blackBudget = 2;
        Solver s(*b);
        s.Run(Rule::BlackConnected);
        EXPECT_EQ(b->state(5, 5), WhiteDot);
        EXPECT_EQ(b->status, StatusContradiction);
    }
    { // Two groups with one exit each: only the first is extended.
        auto b = MakeBoard(0, {"# o . . . . . .", ". o . . . . . .", "o . . . . . . .",
                               ". . . . . . . .", ". . . . . . . .", ". . . . . . o .",
                               ". . . . . . o #", ". . . . . . . o"});
        b->blackBudget = 30;
        Solver s(*b);
        s.Run(Rule::BlackConnected);
        EXPECT_EQ(b->state(1, 2), Black);
        EXPECT_EQ(b->state(8, 6), Undecided);
    }
    { // 2 x 2 blocks: linked and plain cells alike, in the last corner too;
        // the count check allows exactly the budget.
        auto b = MakeBoard(0, {"L # . . . . . .", "# # . . . . . .", ". . . . . . . .",
                               ". . . . . . . .", ". . . . . . . .", ". . . . . . . .",
                               ". . . . . . . .", ". . . . . . . ."});
        Solver s(*b);
        s.Run(Rule::BlackBlocks);
        EXPECT_EQ(b->status, StatusContradiction);
        auto c = MakeBoard(0, Empty8());
        for (auto [x, y] : {std::pair{7, 7}, {8, 7}, {7, 8}, {8, 8}})
            c->state(x, y) = Black;
        Solver sc(*c);
        c->blackBudget = 4;
        sc.Run(Rule::BlackCount);
        EXPECT_EQ(c->status, 0);
        sc.Run(Rule::BlackBlocks);
        EXPECT_EQ(c->status, StatusContradiction);
        c->status = 0;
        c->blackBudget = 3;
        sc.Run(Rule::BlackCount);
        EXPECT_EQ(c->status, StatusContradiction);
    }
}

TEST(AreaGrowth, SealGrowAndFail) {
    { // Clue 3 with a joined cell and a white dot: the walk absorbs the dot
        // and seals the area in one run.
        auto b = MakeBoard(0, Empty8());
        b->state(3, 3) = 3, b->at(3, 3).areaId = 1;
        b->state(4, 3) = 103, b->at(4, 3).areaId = 1;
        b->state(5, 3) = WhiteDot;
        Solver s(*b);
        s.Run(Rule::AreaGrowth);
        EXPECT_EQ(b->state(5, 3), 103);
        EXPECT_EQ(b->at(3, 3).areaId, 0);
        for (auto [x, y] : {std::pair{2, 3}, {6, 3}, {3, 2}, {4, 4}, {5, 2}})
            EXPECT_EQ(b->state(x, y), Black);
        EXPECT_EQ(b->state(2, 2), Undecided) << "no diagonal sealing under Ombrix";
        EXPECT_EQ(b->status, 0);
    }
    { // Tandrel seals diagonals too.
        auto b = MakeBoard(1, Empty8());
        b->state(3, 3) = 2, b->at(3, 3).areaId = 1;
        b->state(4, 3) = 102, b->at(4, 3).areaId = 1;
        Solver s(*b);
        s.Run(Rule::AreaGrowth);
        EXPECT_EQ(b->state(2, 2), Black);
        EXPECT_EQ(b->state(5, 4), Black);
    }
    { // An L whose only exit is the corner cell grows into it; a 5 with
        // three cells and no exit is a contradiction.
        auto b = MakeBoard(0, {". . . . . . . .", ". 4 . . . . . .", ". a4 a4 . . . . .",
                               ". . . . . . . .", ". . . . . . # .", ". . . . . # 5 #",
                               ". . . . . # a5 #", ". . . . . # a5 #"});
        for (auto [x, y] : {std::pair{2, 2}, {2, 3}, {3, 3}})
            b->at(x, y).areaId = 1;
        for (auto [x, y] : {std::pair{7, 6}, {7, 7}, {7, 8}})
            b->at(x, y).areaId = 2;
        // Close the L except for (3, 2).
        for (auto [x, y] : {std::pair{2, 1}, {1, 2}, {1, 3}, {2, 4}, {3, 4}, {4, 3}})
            b->state(x, y) = Black;
        Solver s(*b);
        s.Run(Rule::AreaGrowth);
        EXPECT_EQ(b->state(3, 2), 104);
        EXPECT_EQ(b->status, StatusContradiction);
    }
}

TEST(WhiteDotEscape, OneExitNoExitAndFirstGroupOnly) {
    auto b =
        MakeBoard(0, {"o # . . . . . .", "# . . . . . . .", ". . . . . . . .", ". . # # . . . .",
                      ". # o o . . . .", ". . # # . . . .", ". . . . . . # .", ". . . . . # o ."});
    Solver s(*b);
    s.Run(Rule::WhiteDotEscape);
    EXPECT_EQ(b->status, StatusContradiction) << "the corner dot has no way out";
    EXPECT_EQ(b->state(5, 5), WhiteDot) << "the pair's only exit";
    EXPECT_EQ(b->state(8, 8), Undecided) << "the rule ends after one extension";
}

TEST(AreaReach, WhitenExactReachAndPaintCluelessPockets) {
    { // A clue 4 in a corner that can reach exactly four cells.
        auto b = MakeBoard(0, {"4 . . . # . . .", "# # # # . . . .", ". . . . . . . .",
                               ". . . . . . . .", ". . . . . . . .", ". . . . . . . .",
                               ". . . . . . . .", ". . . . . . . ."});
        b->at(1, 1).areaId = 1;
        Solver s(*b);
        s.Run(Rule::AreaReach);
        for (int x : {2, 3, 4})
            EXPECT_EQ(b->state(x, 1), WhiteDot);
        EXPECT_EQ(b->status, 0);
        // With only three reachable cells: contradiction.
        b->state(4, 1) = Black;
        b->state(2, 1) = b->state(3, 1) = Undecided;
        s.Run(Rule::AreaReach);
        EXPECT_EQ(b->status, StatusContradiction);
        EXPECT_EQ(b->state(2, 1), Undecided);
    }
    { // Two undecided cells walled off without a clue become black (under
        // Ombrix then a 2 x 2 block: the check finds it).
        auto b = MakeBoard(0, {". . . . . . . .", ". . . . . . . .", ". . . . # # . .",
                               ". . . # . . # .", ". . . . # # . .", ". . . . . . . .",
                               ". . . . . . . .", ". 3 . . . . . ."});
        b->at(2, 8).areaId = 1;
        Solver s(*b);
        s.Run(Rule::AreaReach);
        EXPECT_EQ(b->state(5, 4), Black);
        EXPECT_EQ(b->state(6, 4), Black);
        EXPECT_EQ(b->status, 0);
        // A white dot in such a pocket is a contradiction.
        auto c = MakeBoard(1, {". . . . . . . .", ". . . . . . . .", ". . . . # # . .",
                               ". . . # o . # .", ". . . . # # . .", ". . . . . . . .",
                               ". . . . . . . .", ". 3 . . . . . ."});
        c->at(2, 8).areaId = 1;
        Solver sc(*c);
        sc.Run(Rule::AreaReach);
        EXPECT_EQ(c->status, StatusContradiction);
    }
    { // Tandrel: a cell whose far diagonal belongs to another area is out
        // of reach, so the 3 reaches too little; under Ombrix it reaches
        // exactly three cells and takes them.
        for (int ruleSet : {0, 1}) {
            auto b = MakeBoard(ruleSet, {"3 . # . . . . .", "# . . . . . . .", "# # 5 . . . . .",
                                         ". . . . . . . .", ". . . . . . . .", ". . . . . . . .",
                                         ". . . . . . . .", ". . . . . . . ."});
            b->at(1, 1).areaId = 1;
            b->at(3, 3).areaId = 2;
            Solver s(*b);
            s.Run(Rule::AreaReach);
            if (ruleSet == 0) {
                EXPECT_EQ(b->status, 0);
                EXPECT_EQ(b->state(2, 1), WhiteDot);
                EXPECT_EQ(b->state(2, 2), WhiteDot);
            } else {
                EXPECT_EQ(b->status, StatusContradiction);
            }
        }
    }
}

TEST(AreaFragment, ReconnectOrFail) {
    { // A fragment two cells from its clue with the cell between open.
        auto b = MakeBoard(0, {". . . . . . . .", ". . . . # . . .", ". . 5 . . # . .",
                               ". . . . # . . .", ". . . . . . . .", ". . . . . . . .",
                               ". . . . . . . .", ". . . . . . . ."});
        b->at(3, 3).areaId = 1;
        b->state(5, 3) = 105, b->at(5, 3).areaId = 1;
        Solver s(*b);
        s.Run(Rule::AreaFragment);
        EXPECT_EQ(b->state(4, 3), 105);
    }
    { // Enclosed by black and border: contradiction; next to a white dot or
        // with two exits: nothing.
        auto b = MakeBoard(0, {"a5 # . . . . . .", "# . . . . . . .", ". . . . . . . .",
                               ". . . o a5 . . .", ". . . . . . . .", ". . . . . . . .",
                               ". . . . . . a3 .", ". . . . . . . 3"});
        b->at(1, 1).areaId = 1;
        b->at(5, 4).areaId = 1;
        b->at(7, 7).areaId = 2;
        b->at(8, 8).areaId = 2;
        Solver s(*b);
        s.Run(Rule::AreaFragment);
        EXPECT_EQ(b->status, StatusContradiction);
        EXPECT_EQ(b->state(5, 3), Undecided);
        EXPECT_EQ(b->state(7, 8), Undecided);
    }
}

TEST(TrialSearch, NoCandidateLeavesTheBoardAlone) {
    // Nothing decided next to any undecided cell: 2 at once, board unchanged.
    auto b = MakeBoard(0, Empty8());
    b->undecidedCount = 64;
    Solver s(*b);
    s.TrialSearch();
    EXPECT_EQ(b->status, StatusUnsolvable);
    EXPECT_EQ(CountUndecided(*b), 64);
    EXPECT_FALSE(s.HasDecidedNeighbour(4, 4));
    b->state(5, 5) = Black;
    EXPECT_TRUE(s.HasDecidedNeighbour(4, 4));
    EXPECT_FALSE(s.HasDecidedNeighbour(3, 3));
}

TEST(TrialSearch, WindowStageDecidesWhereNoSingleHypothesisFails) {
    // A generated puzzle whose solve comes to a standstill where neither
    // colour of any candidate cell fails on its own: only the 5 x 5 window
    // can decide, and what it decides agrees with the painted solution.
    GeneratorOptions o;
    o.width = 14, o.height = 9, o.maxArea = 3, o.seed = 50006;
    auto b = std::make_unique<Board>(), solution = std::make_unique<Board>();
    ASSERT_TRUE(GeneratePuzzle(o, *b, *solution));
    auto s = std::make_unique<Solver>(*b);
    s->PrepareBoard();
    int windowDecisions = 0;
    for (int round = 0; round < 200; ++round) {
        s->RunDeduction(); // on its own: the board may have changed behind it
        if (b->status != StatusUnsolvable) break;
        bool singleFails = false;
        for (int x = 1; x <= b->width && !singleFails; ++x)
            for (int y = 1; y <= b->height && !singleFails; ++y) {
                if (b->state(x, y) != Undecided || !s->HasDecidedNeighbour(x, y)) continue;
                for (const bool black : {true, false}) {
                    auto trial = std::make_unique<Board>(*b);
                    auto t = std::make_unique<Solver>(*trial);
                    black ? t->MarkBlack(x, y) : t->MarkWhite(x, y);
                    t->RunDeduction();
                    singleFails = singleFails || trial->status == StatusContradiction;
                }
            }
        const auto before = std::make_unique<Board>(*b);
        s->TrialSearch();
        if (b->status != StatusNone) break;
        if (singleFails) continue;
        ++windowDecisions;
        for (int x = 1; x <= b->width; ++x)
            for (int y = 1; y <= b->height; ++y)
                if (before->state(x, y) == Undecided && b->state(x, y) != Undecided) {
                    EXPECT_EQ(isBlack(b->state(x, y)), isBlack(solution->state(x, y)))
                        << "(" << x << "," << y << ")";
                }
    }
    EXPECT_GT(windowDecisions, 0);
}

TEST(Generator, SolutionsObeyTheRulesAndTheAreaLimit) {
    auto puzzle = std::make_unique<Board>(), solution = std::make_unique<Board>();
    for (int i = 0; i < 200; ++i) {
        GeneratorOptions o;
        o.ruleSet = i % 2;
        o.width = 8 + (i * 7) % 24, o.height = 8 + (i * 11) % 38;
        o.maxArea = (o.ruleSet == RuleSetOmbrix ? 3 : 1) + (i * 13) % 38;
        o.seed = static_cast<std::uint64_t>(i);
        ASSERT_TRUE(GeneratePuzzle(o, *puzzle, *solution)) << i;
        std::string why;
        EXPECT_TRUE(CheckSolution(*solution, why)) << "board " << i << ": " << why;
        for (int x = 1; x <= o.width; ++x)
            for (int y = 1; y <= o.height; ++y) {
                const std::uint8_t p = puzzle->state(x, y), q = solution->state(x, y);
                if (isAreaCell(q) || isClue(q)) {
                    EXPECT_LE(clueNumber(q), o.maxArea) << "board " << i;
                }
                // The puzzle is the solution's clues and given black cells.
                EXPECT_EQ(p, isClue(q) || q == GivenBlack ? q : std::uint8_t{Undecided})
                    << "board " << i;
            }
    }
    GeneratorOptions bad;
    bad.maxArea = 41;
    EXPECT_FALSE(GeneratePuzzle(bad, *puzzle, *solution));
}

TEST(GridText, ParseErrorsNameTheirLineAndColumn) {
    const std::string row = ". . . . . . . .\n";
    std::string eight;
    for (int i = 0; i < 8; ++i)
        eight += row;
    const struct {
        std::string text;
        int line, column;
        const char* says;
    } cases[] = {
        {"# a comment\n\n", 0, 0, "no header"},
        {"# a comment\nombrix 8\n" + eight, 2, 1, "header must be"},
        {"sudoku 8 8\n" + eight, 1, 1, "unknown rule set 'sudoku'"},
        {"ombrix  7 8\n" + eight, 1, 9, "width"},
        {"tandrel 8 x\n" + eight, 1, 11, "height"},
        {"ombrix 8 8\n" + row + ". . . 49 . . . .\n", 3, 7, "bad cell '49'"},
        {"ombrix 8 8\n\n. . . . . . .\n", 3, 1, "row 1 has 7 cells"},
        {"ombrix 8 8\n" + eight + row, 10, 1, "extra row"},
        {"ombrix 8 8\n" + row + row, 3, 0, "expected 8 rows, found 2"},
    };
    for (const auto& c : cases) {
        Board b;
        b.width = 12;
        GridTextError error;
        EXPECT_FALSE(ParseGridText(c.text, b, error)) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_EQ(error.column, c.column) << c.text;
        EXPECT_NE(error.message.find(c.says), std::string::npos) << error.message;
        EXPECT_EQ(b.width, 12) << "a failed parse leaves the board alone";
    }
}
