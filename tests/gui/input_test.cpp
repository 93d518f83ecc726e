// The click dispatch of every phase, by layout point, with the repaint each
// action asks for; the step history with its overflow; going back to the
// start; the automatic solver's waiting message painted before it starts.
// (Clicks through the window while the solver runs: session_test.cpp.)
#include "input.h"

#include <gtest/gtest.h>

#include <vector>

namespace ombrix {
namespace {

struct Recorder {
    Board board;
    UiState ui;
    std::vector<RepaintRequest> asks;
    std::vector<int> statusAtAsk;
    int solves = 0;
    BoardInput input{board, ui,
                     [this](const RepaintRequest& r) {
                         asks.push_back(r);
                         statusAtAsk.push_back(board.status);
                     },
                     [this](Board& b) {
                         ++solves;
                         solveSawStatus = b.status;
                         b.status = StatusSecondSolution;
                     }};
    int solveSawStatus = -1;

    explicit Recorder(int w = 10, int h = 10) {
        board.width = static_cast<std::uint8_t>(w);
        board.height = static_cast<std::uint8_t>(h);
        LayoutPass(board, ui, nullptr);
    }
    Layout layout() const { return Layout(board, ui); }
    // A click in the middle of cell (x, y), bar entry k, or a button.
    void left(int x, int y) { input.LeftDown(layout().cellLeft(x) + 13, layout().cellTop(y) + 13); }
    void right(int x, int y) {
        input.RightDown(layout().cellLeft(x) + 13, layout().cellTop(y) + 13);
    }
    void bar(int k) { input.LeftDown(layout().barLeft() + 14, layout().barEntryTop(k) + 13); }
    void upper() { input.LeftDown(layout().buttonLeft() + 50, 170); }
    void lower() { input.LeftDown(layout().buttonLeft() + 50, 230); }
    RepaintRequest last() const { return asks.empty() ? RepaintRequest{} : asks.back(); }
};

bool IsRegion(const RepaintRequest& r, const LayoutRect& rect) {
    return r.kind == RepaintKind::Region && r.rect == rect;
}

TEST(EditPhase, CluesGivenBlackCellsTheBarClearAllAndToTheSolvePhase) {
    Recorder r;
    r.bar(7);
    EXPECT_EQ(r.ui.selectedNumber, 7);
    EXPECT_TRUE(IsRegion(r.last(), r.layout().barRegion()));
    r.left(2, 3);
    EXPECT_EQ(r.board.state(2, 3), 7);
    EXPECT_TRUE(IsRegion(r.last(), r.layout().cellBox(2, 3)));
    // A left click does not replace a clue.
    r.bar(4);
    const std::size_t asks = r.asks.size();
    r.left(2, 3);
    EXPECT_EQ(r.board.state(2, 3), 7);
    EXPECT_EQ(r.asks.size(), asks);
    // Right: clears; on the empty cell nothing under Ombrix, given black under Tandrel.
    r.right(2, 3);
    EXPECT_EQ(r.board.state(2, 3), Undecided);
    EXPECT_TRUE(IsRegion(r.last(), r.layout().cellBox(2, 3)));
    r.right(2, 3);
    EXPECT_EQ(r.board.state(2, 3), Undecided);
    r.board.ruleSet = RuleSetTandrel;
    r.right(2, 3);
    EXPECT_EQ(r.board.state(2, 3), GivenBlack);
    // Under Ombrix a right click still clears a given black cell.
    r.board.ruleSet = RuleSetOmbrix;
    r.right(2, 3);
    EXPECT_EQ(r.board.state(2, 3), Undecided);
    // The bar's bottom frame line selects nothing; right clicks off the board do nothing.
    r.input.LeftDown(r.layout().barLeft() + 14, 27 * 12 + 50);
    EXPECT_EQ(r.ui.selectedNumber, 4);
    r.input.RightDown(r.layout().barLeft() + 14, 60);
    EXPECT_EQ(r.ui.selectedNumber, 4);
    EXPECT_EQ(r.ui.phase, PhaseEdit);
    EXPECT_EQ(r.ui.historyCount, 0); // edit steps are not recorded

    r.bar(5);
    r.left(1, 1);
    r.board.status = StatusContradiction;
    r.upper(); // 全クリア
    EXPECT_EQ(r.board.state(1, 1), Undecided);
    EXPECT_EQ(r.ui.selectedNumber, 1);
    EXPECT_EQ(r.board.status, StatusNone);
    EXPECT_EQ(r.ui.layoutState, LayoutBarPending);
    EXPECT_EQ(r.last().kind, RepaintKind::WholeView);
    r.left(1, 1);
    r.ui.historyCount = 5;
    r.board.status = StatusUnsolvable;
    r.lower(); // 解答モードへ: nothing is checked, status stays
    EXPECT_EQ(r.ui.phase, PhaseSolveStart);
    EXPECT_EQ(r.ui.historyCount, 0);
    EXPECT_EQ(r.board.status, StatusUnsolvable);
    EXPECT_EQ(r.board.state(1, 1), 1);
    EXPECT_EQ(r.last().kind, RepaintKind::WholeView);
    r.lower(); // 作成モードへ
    EXPECT_EQ(r.ui.phase, PhaseEdit);
    EXPECT_EQ(r.board.status, StatusNone);
    EXPECT_EQ(r.board.state(1, 1), 1);
}

TEST(SolvePhase, PlacingPaintingAndClearing) {
    Recorder r;
    r.board.state(1, 1) = 3;
    r.board.state(5, 5) = GivenBlack;
    r.lower();
    r.bar(7);
    // A given black cell is part of the puzzle: a right click in phase 1
    // leaves it, records nothing and asks for nothing.
    r.asks.clear();
    r.right(5, 5);
    EXPECT_EQ(r.board.state(5, 5), GivenBlack);
    EXPECT_EQ(r.ui.phase, PhaseSolveStart);
    EXPECT_EQ(r.ui.historyCount, 0);
    EXPECT_TRUE(r.asks.empty());
    // The first placed number: area cell 107, phase 2, whole view.
    r.left(2, 2);
    EXPECT_EQ(r.board.state(2, 2), 107);
    EXPECT_EQ(r.ui.phase, PhaseSolving);
    EXPECT_EQ(r.last().kind, RepaintKind::WholeView);
    r.left(3, 2);
    EXPECT_TRUE(IsRegion(r.last(), r.layout().cellBox(3, 2)));
    r.right(4, 4);
    EXPECT_EQ(r.board.state(4, 4), Black);
    EXPECT_TRUE(IsRegion(r.last(), r.layout().boardRegion()));
    // Clues and given black cells react to neither button, in phases 2 and
    // 3 as in 1; filled cells not to the left one.
    r.right(1, 1);
    r.left(1, 1);
    r.left(4, 4);
    r.right(5, 5);
    r.left(5, 5);
    EXPECT_EQ(r.board.state(1, 1), 3);
    EXPECT_EQ(r.board.state(4, 4), Black);
    EXPECT_EQ(r.board.state(5, 5), GivenBlack);
    EXPECT_EQ(r.ui.historyCount, 3);
    r.ui.phase = PhaseAutoSolved;
    r.right(5, 5);
    EXPECT_EQ(r.board.state(5, 5), GivenBlack);
    EXPECT_EQ(r.ui.historyCount, 3);
}

TEST(StepHistory, OverflowKeepsTheNewestHundredAndUndoTakesThemBack) {
    Recorder r(31, 45);
    r.lower();
    // 199 steps on distinct cells, column by column.
    auto cellOf = [](int i) { return std::pair{i / 45 + 1, i % 45 + 1}; };
    for (int i = 0; i < 199; ++i) {
        const auto [x, y] = cellOf(i);
        r.right(x, y);
    }
    EXPECT_EQ(r.ui.historyCount, 199);
    const auto [x199, y199] = cellOf(199);
    r.right(x199, y199); // the 200th
    EXPECT_EQ(r.ui.historyCount, 100);
    for (int j = 0; j < 100; ++j) {
        const auto [x, y] = cellOf(100 + j);
        ASSERT_EQ(r.ui.historyX[j], x) << j;
        ASSERT_EQ(r.ui.historyY[j], y) << j;
    }
    // 100 undos, newest first.
    for (int j = 199; j >= 100; --j) {
        r.upper(); // 1つ戻る
        const auto [x, y] = cellOf(j);
        ASSERT_EQ(r.board.state(x, y), Undecided) << j;
    }
    EXPECT_TRUE(IsRegion(r.last(), r.layout().boardRegion()));
    EXPECT_EQ(r.ui.historyCount, 0);
    // The oldest hundred are gone: their cells stay black; more undos do nothing.
    r.upper();
    for (int i = 0; i < 100; ++i) {
        const auto [x, y] = cellOf(i);
        ASSERT_EQ(r.board.state(x, y), Black) << i;
    }
    EXPECT_EQ(r.ui.phase, PhaseSolving);
}

TEST(StepHistory, UndoRestoresTheExactClearedValueAndSkipsDamagedEntries) {
    Recorder r;
    r.lower();
    r.board.state(1, 1) = 105;
    r.board.state(2, 1) = WhiteDot;
    r.board.state(3, 1) = Black;
    r.board.state(4, 1) = BlackLinked;
    r.left(9, 9); // into phase 2
    for (int x = 1; x <= 4; ++x)
        r.right(x, 1);
    for (int x = 1; x <= 4; ++x)
        EXPECT_EQ(r.board.state(x, 1), Undecided);
    for (int i = 0; i < 5; ++i)
        r.upper();
    EXPECT_EQ(r.board.state(1, 1), 105);
    EXPECT_EQ(r.board.state(2, 1), WhiteDot);
    EXPECT_EQ(r.board.state(3, 1), Black);
    EXPECT_EQ(r.board.state(4, 1), BlackLinked);
    EXPECT_EQ(r.board.state(9, 9), Undecided);
    EXPECT_EQ(r.ui.historyCount, 0);
    EXPECT_EQ(r.ui.phase, PhaseSolving); // even with the history empty

    // A damaged history from a file is never indexed outside.
    r.ui.historyCount = 250;
    r.upper(); // undo with a count beyond the arrays
    EXPECT_EQ(r.ui.historyCount, 0);
    r.ui.historyCount = 1;
    r.ui.historyX[0] = 40;
    r.ui.historyY[0] = 90;
    r.ui.historyPrev[0] = 5;
    r.upper(); // coordinates off the board: skipped
    EXPECT_EQ(r.ui.historyCount, 0);
    r.ui.historyCount = -3;
    r.right(1, 1);
    EXPECT_EQ(r.ui.historyCount, 1);
}

TEST(SolvePhase, RestartAutoSolveAndClearAll) {
    Recorder r;
    r.board.state(1, 1) = 4;
    r.board.state(2, 2) = GivenBlack;
    r.lower();
    r.left(3, 3);
    r.right(4, 4);
    r.board.state(5, 5) = WhiteDot;
    r.board.status = StatusUnsolvable;
    r.lower(); // 最初に戻る
    EXPECT_EQ(r.ui.phase, PhaseSolveStart);
    EXPECT_EQ(r.ui.historyCount, 0);
    EXPECT_EQ(r.board.state(1, 1), 4);
    EXPECT_EQ(r.board.state(2, 2), GivenBlack);
    for (auto [x, y] : {std::pair{3, 3}, {4, 4}, {5, 5}})
        EXPECT_EQ(r.board.state(x, y), Undecided);
    EXPECT_EQ(r.board.status, StatusUnsolvable); // the message stays
    EXPECT_EQ(r.last().kind, RepaintKind::WholeView);
    // 自動解答: status 4 painted at once, 0 when the solver starts, phase 3 after.
    r.asks.clear();
    r.statusAtAsk.clear();
    r.upper();
    EXPECT_EQ(r.solves, 1);
    EXPECT_EQ(r.solveSawStatus, StatusNone);
    ASSERT_EQ(r.asks.size(), 2u);
    EXPECT_EQ(r.asks[0].kind, RepaintKind::WholeViewNow);
    EXPECT_EQ(r.statusAtAsk[0], StatusSolving);
    EXPECT_EQ(r.asks[1].kind, RepaintKind::WholeView);
    EXPECT_EQ(r.ui.phase, PhaseAutoSolved);
    EXPECT_EQ(r.board.status, StatusSecondSolution);
    // Phase 3: steps are recorded; 全クリア clears the clues too.
    r.right(6, 6);
    EXPECT_EQ(r.ui.historyCount, 1);
    EXPECT_EQ(r.ui.phase, PhaseAutoSolved);
    r.bar(3);
    r.upper();
    EXPECT_EQ(r.ui.phase, PhaseEdit);
    EXPECT_EQ(r.board.state(1, 1), Undecided);
    EXPECT_EQ(r.board.state(2, 2), Undecided);
    EXPECT_EQ(r.ui.selectedNumber, 1);
    // A phase from a file without buttons: the lower button only repaints.
    r.ui.phase = 9;
    r.asks.clear();
    r.lower();
    r.upper();
    ASSERT_EQ(r.asks.size(), 1u);
    EXPECT_EQ(r.asks[0].kind, RepaintKind::WholeView);
    EXPECT_EQ(r.ui.phase, 9);
}

} // namespace
} // namespace ombrix
