// The editor's "解の検証" command, clicked through headless: the menu entry
// and its key, the progress dialog, the verdict, the solution of a unique
// puzzle, and the two solutions shown in turn and left again.
#include "editor_fixture.h"

#include "analysis.h"
#include "solver.h"

namespace ombrix::test {
namespace {

TEST(AnalysisCommand, UniqueNoneAndTwoSolutionsShownInTurnWithTheirDifferencesOutlined) {
    Editor e;
    e.open("ombrix-solved.grid");
    // Closed without showing: the board is as it was.
    QByteArray before = e.snapshot();
    e.frame.menuAction(ID_TOOLS_ANALYZE)->trigger();
    ASSERT_EQ(e.modal.progressTexts.size(), 1);
    EXPECT_TRUE(e.modal.progressTexts[0].contains(QStringLiteral("ノード")));
    EXPECT_EQ(e.modal.choices,
              QStringList{QStringLiteral("唯一解です（難易度 1）|解答を表示|閉じる")});
    EXPECT_EQ(e.snapshot(), before);
    // "解答を表示" by Ctrl+K: the board as the automatic solver leaves it.
    Board solved = e.board;
    AutoSolve(solved);
    e.modal.choiceAnswer = 0;
    QTest::keyClick(&e.frame, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(std::memcmp(&e.board, &solved, sizeof solved), 0);
    EXPECT_EQ(e.ui.phase, PhaseAutoSolved);
    // No solution: said so, the board left alone.
    e.frame.OnCommand(ID_FILE_NEW);
    e.cell(1, 1);
    e.cell(2, 1); // two areas of 1 touching
    const QByteArray none = e.snapshot();
    e.frame.OnCommand(ID_TOOLS_ANALYZE);
    EXPECT_EQ(e.modal.messages, QStringList{QStringLiteral("解がありません")});
    EXPECT_EQ(e.snapshot(), none);

    // Two solutions: shown in turn with their differences outlined, and left again.
    e.modal.choices.clear();
    e.open("tandrel-beyond.grid");
    const AnalysisResult expected = Analyze(e.board);
    ASSERT_EQ(expected.verdict, Verdict::Several);
    ASSERT_EQ(expected.differing.size(), 2u);
    before = e.snapshot();
    std::vector<int> seen;
    int flip = -1; // which solution comes first depends on the search that settled it
    const auto shows = [&](int j) {
        for (int x = 1; x <= 10; ++x)
            for (int y = 1; y <= 10; ++y)
                if (isBlack(e.board.state(x, y)) != isBlack(expected.solutions[j].state(x, y)))
                    return false;
        return true;
    };
    e.modal.solutionScript = [&](SolutionToggle& toggle) {
        for (int turn = 0; turn < 3; ++turn) {
            const int k = toggle.shown();
            seen.push_back(k);
            if (flip < 0) flip = shows(k) ? 0 : 1;
            EXPECT_TRUE(shows(k ^ flip));
            EXPECT_EQ(e.view().outlinedCells(), expected.differing);
            // The outline is drawn in red on the cell's edge.
            const auto [dx, dy] = expected.differing[0];
            const QPoint s = e.view().scrollPosition();
            EXPECT_EQ(QColor(e.grab().pixel(e.layout().cellLeft(dx) + 13 - s.x(),
                                            e.layout().cellTop(dy) + 1 - s.y())),
                      QColor(Qt::red));
            toggle.toggle();
        }
    };
    QTest::keyClick(&e.frame, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(e.modal.choices, QStringList{QStringLiteral(
                                   "複数の解があります（2 マスが異なります）|解を表示|閉じる")});
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 0}));
    // Leaving the view restores everything, and the outline is gone.
    EXPECT_EQ(e.snapshot(), before);
    EXPECT_TRUE(e.view().outlinedCells().empty());
}

} // namespace
} // namespace ombrix::test
