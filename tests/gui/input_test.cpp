// The step history of the click dispatch: its overflow, the exact values it
// gives back, and a damaged history from a file. (Clicks through the window:
// session_test.cpp.)
#include "input.h"
#include "test_boards.h"

#include <gtest/gtest.h>

namespace ombrix {
namespace {

struct Recorder {
    Board board;
    UiState ui;
    BoardInput input{board, ui, [](const RepaintRequest&) {}, [](Board&) {}};

    explicit Recorder(int w = 10, int h = 10) {
        board.width = static_cast<std::uint8_t>(w);
        board.height = static_cast<std::uint8_t>(h);
        LayoutPass(board, ui, nullptr);
    }
    Layout layout() const { return Layout(board, ui); }
    // A right click in the middle of cell (x, y); the upper and lower button.
    void right(int x, int y) {
        input.RightDown(layout().cellLeft(x) + 13, layout().cellTop(y) + 13);
    }
    void upper() { input.LeftDown(layout().buttonLeft() + 50, 170); }
    void lower() { input.LeftDown(layout().buttonLeft() + 50, 230); }
};

TEST(StepHistory, OverflowKeepsTheNewestHundredAndUndoTakesThemBack) {
    Recorder r(31, 45);
    r.lower();
    // 200 steps on distinct cells, column by column: the 200th drops the
    // oldest hundred.
    auto cellOf = [](int i) { return std::pair{i / 45 + 1, i % 45 + 1}; };
    for (int i = 0; i < 200; ++i)
        r.right(cellOf(i).first, cellOf(i).second);
    EXPECT_EQ(r.ui.historyCount, 100);
    // 101 undos (1つ戻る), newest first: the oldest hundred stay black.
    for (int j = 199; j >= 99; --j) {
        r.upper();
        const auto [x, y] = cellOf(j);
        ASSERT_EQ(r.board.state(x, y), j >= 100 ? Undecided : Black) << j;
    }
    EXPECT_EQ(r.ui.historyCount, 0);
    EXPECT_EQ(r.ui.phase, PhaseSolving);
}

TEST(StepHistory, UndoRestoresTheExactClearedValueAndSkipsDamagedEntries) {
    Recorder r;
    r.board = *testing::MakeBoard(0, {"a5 o # L", ". . . ."});
    r.lower();
    r.input.LeftDown(r.layout().cellLeft(4) + 13, r.layout().cellTop(2) + 13); // into phase 2
    for (int x = 1; x <= 4; ++x)
        r.right(x, 1);
    EXPECT_EQ(testing::BoardRows(r.board)[0], ". . . .");
    for (int i = 0; i < 5; ++i)
        r.upper();
    EXPECT_EQ(testing::BoardRows(r.board)[0], "a5 o # L");
    EXPECT_EQ(r.ui.phase, PhaseSolving); // even with the history empty
    // A damaged history from a file is never indexed outside.
    r.ui.historyCount = 250;
    r.upper(); // a count beyond the arrays
    EXPECT_EQ(r.ui.historyCount, 0);
    r.ui.historyCount = 1;
    r.ui.historyX[0] = 40;
    r.ui.historyY[0] = 90;
    r.upper(); // coordinates off the board: skipped
    EXPECT_EQ(r.ui.historyCount, 0);
    r.ui.historyCount = -3;
    r.right(1, 1);
    EXPECT_EQ(r.ui.historyCount, 1);
}

} // namespace
} // namespace ombrix
