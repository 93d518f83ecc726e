// The help a player gets while solving, through real widgets: undo and redo
// of every kind of change back to the exact board and state, keyboard input
// in both phases, the answer check's outlines and status lines, and the
// completion message only on a whole and correct board.
#include "editor_fixture.h"

#include "test_boards.h"

#include <QSignalSpy>

namespace ombrix::test {
namespace {

// Puts a board written as text on the editor in `phase`, laid out afresh.
// This is the test's starting point, not a recorded change.
void Put(Editor& e, int rules, const std::vector<std::string>& rows, int phase) {
    e.board = *testing::MakeBoard(rules, rows);
    e.ui = UiState{};
    e.ui.phase = static_cast<std::uint8_t>(phase);
    e.ui.layoutState = LayoutBarPending;
    e.ui.resizePending = 1;
    LayoutPass(e.board, e.ui, &e.view());
    e.settle();
}

void Keys(Editor& e, std::initializer_list<int> keys) {
    for (int key : keys)
        QTest::keyClick(&e.view(), static_cast<Qt::Key>(key));
}

std::string StatusText(Editor& e) {
    return e.view().marks().statusText;
}

int ColourIn(const QImage& img, const Layout& l, int x, int y, const QColor& colour) {
    const LayoutRect c = l.cellBox(x, y);
    return CountColour(img, QRect(c.left, c.top, 27, 27), colour);
}

TEST(UndoRedo, EveryKindOfChangeBackAndForthToTheExactState) {
    Editor e;
    e.bar(3); // the selected number is restored, though choosing it is no change
    std::vector<QByteArray> states{e.snapshot()};
    // Every change is announced, for whoever keeps track of unsaved work.
    QSignalSpy announced(&e.view(), &COmbrixView::workChanged);
    const auto step = [&](const std::function<void()>& change) {
        const qsizetype before = announced.count();
        change();
        e.settle();
        EXPECT_GT(announced.count(), before) << states.size();
        ASSERT_NE(e.snapshot(), states.back()) << states.size();
        states.push_back(e.snapshot());
    };
    step([&] { e.cell(2, 2); });                          // a clue
    step([&] { e.frame.OnCommand(ID_RULESET_TANDREL); }); // the rule set
    step([&] { e.cell(4, 4, Qt::RightButton); });         // a given black cell
    step([&] { e.resizeBoard(5, 6); });                   // the size
    step([&] { e.open("too-large.grid"); });              // a loaded file
    ASSERT_EQ(e.board.width, 8);
    step([&] { e.lower(); });                     // 解答モードへ
    step([&] { e.cell(2, 2, Qt::RightButton); }); // a black cell, one step
    step([&] { e.lower(); });                     // 最初に戻る
    EXPECT_EQ(e.ui.phase, PhaseSolveStart);
    EXPECT_EQ(e.board.state(2, 2), Undecided);
    step([&] { e.upper(); }); // 自動解答
    step([&] { e.upper(); }); // 全クリア: the clues go too, number 1 again
    EXPECT_EQ(e.ui.phase, PhaseEdit);
    EXPECT_EQ(e.board.state(1, 1), Undecided);
    EXPECT_EQ(e.ui.selectedNumber, 1);

    for (size_t i = states.size() - 1; i-- > 0;) {
        QTest::keyClick(&e.frame, Qt::Key_Z, Qt::ControlModifier);
        e.settle();
        ASSERT_EQ(e.snapshot(), states[i]) << "undo to " << i;
    }
    // Back at the start: 10 x 10 and the frame laid out for it again.
    EXPECT_EQ(e.frame.frameGeometry().size(), QSize(510, 440));
    e.frame.OnCommand(ID_EDIT_UNDO); // nothing left: nothing happens
    EXPECT_EQ(e.snapshot(), states[0]);
    for (size_t i = 1; i < states.size(); ++i) {
        QTest::keyClick(&e.frame, i % 2 ? Qt::Key_Y : Qt::Key_Z,
                        i % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        e.settle();
        ASSERT_EQ(e.snapshot(), states[i]) << "redo to " << i;
    }
    // The step history inside is as written: undo, then 1つ戻る works on
    // the restored history and forgets what could be redone.
    for (int i = 0; i < 3; ++i)
        e.frame.menuAction(ID_EDIT_UNDO)->trigger(); // to before 最初に戻る
    EXPECT_EQ(e.ui.historyCount, 1);
    e.upper();
    EXPECT_EQ(e.board.state(2, 2), Undecided);
    EXPECT_FALSE(e.view().canRedo());
}

TEST(Keyboard, EditPhaseCluesGivenBlackAndClearThenSolvePhaseStepsUnderTheRulesOfTheClicks) {
    Editor e;
    // Two quick digits: one clue, one undo step; the bar's selection follows.
    Keys(e, {Qt::Key_Right, Qt::Key_Down, Qt::Key_1, Qt::Key_2});
    EXPECT_EQ(e.board.state(2, 2), 12);
    EXPECT_EQ(e.ui.selectedNumber, 12);
    e.frame.OnCommand(ID_EDIT_UNDO);
    EXPECT_EQ(e.board.state(2, 2), Undecided);
    // A number longer than the bar (12 entries): the selection stays. After
    // the pause a digit starts a new number.
    Keys(e, {Qt::Key_Right, Qt::Key_4, Qt::Key_5});
    EXPECT_EQ(e.ui.selectedNumber, 4);
    Keys(e, {Qt::Key_Right, Qt::Key_5});
    QTest::qWait(COmbrixView::kTypingPauseMs + 100);
    Keys(e, {Qt::Key_3});
    EXPECT_EQ(e.board.state(4, 2), 3);
    // 0 alone types nothing; Space paints a given black cell only under
    // Tandrel; Delete clears; the cursor stays on the board.
    Keys(e, {Qt::Key_Right, Qt::Key_0, Qt::Key_Space, Qt::Key_Right});
    e.frame.OnCommand(ID_RULESET_TANDREL);
    Keys(e, {Qt::Key_B, Qt::Key_Left, Qt::Key_Left, Qt::Key_Delete, Qt::Key_Up, Qt::Key_Up,
             Qt::Key_Up});
    EXPECT_EQ(testing::BoardRows(e.board)[1], ". . 45 . . G . . . .");
    EXPECT_EQ(e.view().marks().cursorY, 1);

    Keys(e, {Qt::Key_Left, Qt::Key_Left, Qt::Key_Left}); // to the corner, (1, 1)
    Put(e, 1, {"2 . . .", ". G . .", ". . . .", ". . . 3"}, PhaseSolveStart);
    // A clue stays as it is.
    Keys(e, {Qt::Key_Space, Qt::Key_Delete});
    EXPECT_EQ(e.ui.phase, PhaseSolveStart);
    // An area number (two digits, one step), a dot, black, cleared: each a
    // step, the first one starting phase 2.
    Keys(e, {Qt::Key_Right, Qt::Key_1, Qt::Key_2, Qt::Key_Right, Qt::Key_Period, Qt::Key_Right,
             Qt::Key_B, Qt::Key_Backspace});
    // Shift + click puts a dot as well.
    QTest::mouseClick(e.view().viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      QPoint(e.layout().cellLeft(1) + 13, e.layout().cellTop(4) + 13));
    EXPECT_EQ(testing::BoardRows(e.board),
              (std::vector<std::string>{"2 a12 o .", ". G . .", ". . . .", "o . . 3"}));
    EXPECT_EQ(e.ui.historyCount, 5);
    EXPECT_EQ(e.ui.phase, PhaseSolving);
}

TEST(AnswerCheckAndHint, OutlinesStatusLineCompletionAndTheHintAsOneUndoableStep) {
    Editor e;
    // A 2 x 2 black block while solving.
    Put(e, 0, {"# # . .", "# # . .", ". . . .", ". . . 3"}, PhaseSolving);
    QTest::keyClick(&e.frame, Qt::Key_F7);
    EXPECT_EQ(StatusText(e), "2×2の黒マスがあります");
    QImage img = e.grab();
    Layout l = e.layout();
    for (auto [x, y] : {std::pair{1, 1}, {2, 1}, {1, 2}, {2, 2}})
        EXPECT_GT(ColourIn(img, l, x, y, kRed), 0) << x << "," << y;
    EXPECT_EQ(ColourIn(img, l, 3, 1, kRed), 0);
    EXPECT_GT(StatusYellow(img), 0);
    // The next change takes the marks away; choosing a number does not.
    e.bar(2);
    EXPECT_FALSE(StatusText(e).empty());
    e.cell(2, 2, Qt::RightButton);
    EXPECT_TRUE(StatusText(e).empty());
    EXPECT_TRUE(e.showsLayout());

    // A correct board with two cells to go: nothing is said until the last
    // one is decided; a wrong last cell gets no word either.
    Put(e, 0, {"2 . #", "# . #", "1 # 1"}, PhaseSolving);
    e.frame.menuAction(ID_TOOLS_CHECK)->trigger();
    EXPECT_EQ(StatusText(e), "今のところ間違いはありません");
    e.cell(2, 2, Qt::RightButton);
    EXPECT_TRUE(StatusText(e).empty());
    e.cell(2, 1, Qt::RightButton);
    EXPECT_TRUE(StatusText(e).empty());
    e.frame.OnCommand(ID_EDIT_UNDO);
    e.bar(2);
    e.cell(2, 1);
    EXPECT_EQ(StatusText(e), "正解です！");
    EXPECT_GT(CountColour(e.grab(), kStatusLine & QRect(0, 0, 100, 100), kYellow), 0);
    e.frame.OnCommand(ID_TOOLS_CHECK);
    EXPECT_EQ(StatusText(e), "正解です！");

    // F8 outlines the hint's cells, the second F8 applies it as one step.
    Put(e, 0, {"2 . .", ". . .", "1 . 1"}, PhaseSolveStart);
    const QByteArray start = e.snapshot();
    QTest::keyClick(&e.frame, Qt::Key_F8);
    EXPECT_EQ(StatusText(e), kSetupSentence);
    EXPECT_EQ(e.snapshot(), start);
    l = e.layout();
    img = e.grab();
    for (auto [x, y] : {std::pair{1, 2}, {2, 3}, {3, 2}})
        EXPECT_GT(ColourIn(img, l, x, y, kBlue), 0) << x << "," << y;
    EXPECT_EQ(ColourIn(img, l, 2, 2, kBlue), 0);
    // The second F8 paints the three walls as the player would.
    QTest::keyClick(&e.frame, Qt::Key_F8);
    EXPECT_EQ(testing::BoardRows(e.board), (std::vector<std::string>{"2 . .", "# . #", "1 # 1"}));
    EXPECT_EQ(e.ui.phase, PhaseSolving);
    EXPECT_TRUE(StatusText(e).empty());
    EXPECT_EQ(ColourIn(e.grab(), l, 1, 2, kBlue), 0);
    QTest::keyClick(&e.frame, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(e.snapshot(), start);
    // Any other change takes the hint away; a broken rule is shown as the
    // check shows it, and F8 again applies nothing.
    e.frame.OnCommand(ID_TOOLS_HINT);
    e.cell(2, 2, Qt::RightButton);
    EXPECT_TRUE(StatusText(e).empty());
    EXPECT_EQ(ColourIn(e.grab(), l, 1, 2, kBlue), 0);
    for (auto [x, y] : {std::pair{2, 1}, {3, 1}, {3, 2}})
        e.cell(x, y, Qt::RightButton);
    const QByteArray broken = e.snapshot();
    e.frame.OnCommand(ID_TOOLS_HINT);
    EXPECT_EQ(StatusText(e), "2×2の黒マスがあります");
    EXPECT_GT(ColourIn(e.grab(), l, 3, 1, kRed), 0);
    QTest::keyClick(&e.frame, Qt::Key_F8);
    EXPECT_EQ(e.snapshot(), broken);
}

} // namespace
} // namespace ombrix::test
