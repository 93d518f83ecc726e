// The editor's "解の検証" command, clicked through headless: the menu entry
// and its key, the progress dialog, the verdict, the solution of a unique
// puzzle, and the two solutions shown in turn and left again.
#include "editor_fixture.h"

#include "analysis.h"
#include "grid_text.h"
#include "solver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

namespace ombrix::test {
namespace {

// Puts the clues of a 10 x 10 puzzle file on the editor's board (the size
// it starts with).
bool PutPuzzle(Editor& e, const std::string& path, Board& puzzle) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    GridTextError error;
    if (!ParseGridText(ss.str(), puzzle, error) || puzzle.width != 10 || puzzle.height != 10)
        return false;
    e.board.ruleSet = puzzle.ruleSet;
    for (int x = 1; x <= 10; ++x)
        for (int y = 1; y <= 10; ++y)
            e.board.state(x, y) = puzzle.state(x, y);
    e.view().InvalidateAll();
    e.settle();
    return true;
}

std::string Data(const char* name) {
    return std::string(OMBRIX_TEST_DATA_DIR) + "/" + name;
}

TEST(AnalysisCommand, UniquePuzzleGivesItsGradeAndShowsTheSolutionOnRequest) {
    Editor e;
    Board puzzle;
    ASSERT_TRUE(PutPuzzle(e, Data("ombrix-solved.grid"), puzzle));
    QAction* item = e.frame.menuAction(ID_TOOLS_ANALYZE);
    ASSERT_NE(item, nullptr);

    // Closed without showing: the board is as it was.
    const QByteArray before = e.snapshot();
    item->trigger();
    ASSERT_EQ(e.modal.progressTexts.size(), 1);
    EXPECT_TRUE(e.modal.progressTexts[0].contains(QStringLiteral("ノード")));
    EXPECT_EQ(e.modal.choices,
              QStringList{QStringLiteral("唯一解です（難易度 1）|解答を表示|閉じる")});
    EXPECT_EQ(e.snapshot(), before);

    // "解答を表示" by Ctrl+K: the board as the automatic solver leaves it.
    e.modal.choiceAnswer = 0;
    QTest::keyClick(&e.frame, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(e.modal.progressTexts.size(), 2);
    Board solved = puzzle;
    AutoSolve(solved);
    for (int x = 1; x <= 10; ++x)
        for (int y = 1; y <= 10; ++y)
            EXPECT_EQ(e.board.state(x, y), solved.state(x, y)) << x << "," << y;
    EXPECT_EQ(e.ui.phase, PhaseAutoSolved);
    EXPECT_EQ(e.board.status, StatusNone);
    EXPECT_EQ(e.board.undecidedCount, 0);
}

TEST(AnalysisCommand, TwoSolutionsAreShownInTurnWithTheirDifferencesOutlinedAndLeftAgain) {
    Editor e;
    Board puzzle;
    ASSERT_TRUE(PutPuzzle(e, Data("tandrel-beyond.grid"), puzzle));
    const AnalysisResult expected = Analyze(puzzle);
    ASSERT_EQ(expected.verdict, Verdict::Several);
    ASSERT_EQ(expected.differing.size(), 2u);
    e.modal.choiceAnswer = 0;
    const QByteArray before = e.snapshot();
    std::vector<int> seen;
    e.modal.solutionScript = [&](SolutionToggle& toggle) {
        for (int turn = 0; turn < 3; ++turn) {
            const int k = toggle.shown();
            seen.push_back(k);
            for (int x = 1; x <= 10; ++x)
                for (int y = 1; y <= 10; ++y)
                    EXPECT_EQ(isBlack(e.board.state(x, y)),
                              isBlack(expected.solutions[k].state(x, y)));
            EXPECT_EQ(e.view().outlinedCells(), expected.differing);
            // The outline is drawn in red on the cell's edge.
            const auto [dx, dy] = expected.differing[0];
            const QImage shot = e.grab();
            const QPoint s = e.view().scrollPosition();
            EXPECT_EQ(QColor(shot.pixel(e.layout().cellLeft(dx) + 13 - s.x(),
                                        e.layout().cellTop(dy) + 1 - s.y())),
                      QColor(Qt::red));
            toggle.toggle();
        }
    };
    QTest::keyClick(&e.frame, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(e.modal.choices, QStringList{QStringLiteral(
                                   "複数の解があります（2 マスが異なります）|解を表示|閉じる")});
    EXPECT_EQ(e.modal.solutionViews, 1);
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 0}));
    // Leaving the view restores everything, and the outline is gone.
    EXPECT_EQ(e.snapshot(), before);
    EXPECT_TRUE(e.view().outlinedCells().empty());
}

TEST(AnalysisCommand, NoSolutionSaysSoAndLeavesTheBoard) {
    Editor e;
    e.board.state(1, 1) = 1;
    e.board.state(2, 1) = 1; // two areas touching: no solution
    const QByteArray before = e.snapshot();
    e.frame.OnCommand(ID_TOOLS_ANALYZE);
    EXPECT_EQ(e.modal.messages, QStringList{QStringLiteral("解がありません")});
    EXPECT_EQ(e.snapshot(), before);
}

} // namespace
} // namespace ombrix::test
