// The click dispatch of every phase, by layout point, with the repaint each
// action asks for; the step history with its overflow; going back to the
// start. (The automatic solver and clicks while it runs: session_test.cpp.)
#include "input.h"

#include <gtest/gtest.h>

#include <vector>

namespace ombrix {
namespace {

struct Recorder {
    Board board;
    UiState ui;
    std::vector<RepaintRequest> asks;
    BoardInput input{board, ui, [this](const RepaintRequest& r) { asks.push_back(r); },
                     [](Board&) {}};

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

} // namespace
} // namespace ombrix
