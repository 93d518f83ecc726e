// "問題の自動作成" and "問題集", clicked through headless: the dialog's
// choices reach the generator, the puzzle arrives in the edit phase as one
// step that undo takes back, the unsaved-changes prompt comes first, cancel
// leaves the board alone, and the collection opens the puzzle chosen.
#include "editor_fixture.h"

#include "analysis.h"
#include "puzzle_file.h"
#include "test_boards.h"

#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace ombrix::test {
namespace {

TEST(GenerateAndCollection, TheChosenPuzzleAsOneUndoableStepCancelLeavesTheBoard) {
    Editor e;
    QAction* item = e.frame.menuAction(ID_TOOLS_GENERATE);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("問題の自動作成(&G)..."));
    e.cell(2, 2); // a clue: unsaved work
    const QByteArray before = e.snapshot();
    int starts = 0;
    e.modal.generateScript = [&](CGenerateDlg& d) {
        // The size starts as the board's.
        starts += d.widthBox()->value() == 10 && d.heightBox()->value() == 10;
        d.ruleBox()->setCurrentIndex(1);
        d.widthBox()->setValue(12);
        d.gradeBox()->setCurrentIndex(1);
        d.symmetricBox()->setChecked(true);
        return true;
    };
    e.modal.cancelWork = true;
    item->trigger();
    EXPECT_EQ(e.modal.saveQuestions.size(), 1);
    EXPECT_EQ(e.snapshot(), before);

    e.modal.cancelWork = false;
    item->trigger();
    e.settle();
    EXPECT_EQ(starts, 2);
    ASSERT_EQ(e.board.width, 12);
    EXPECT_EQ(e.board.height, 10);
    EXPECT_TRUE(e.board.tandrel());
    EXPECT_EQ(e.ui.phase, PhaseEdit);
    EXPECT_EQ(Analyze(e.board).verdict, Verdict::Unique);
    EXPECT_EQ(GradeByAutoSolve(e.board), 1);
    for (int x = 1; x <= 12; ++x)
        for (int y = 1; y <= 10; ++y)
            EXPECT_EQ(isClue(e.board.state(x, y)), isClue(e.board.state(13 - x, 11 - y)));
    EXPECT_TRUE(e.view().document().path().isEmpty());
    EXPECT_TRUE(e.view().document().modified());
    e.frame.menuAction(ID_EDIT_UNDO)->trigger();
    e.settle();
    EXPECT_EQ(e.snapshot(), before);

    // The collection opens the puzzle chosen from its list.
    const QString folder = CollectionFolder();
    ASSERT_FALSE(folder.isEmpty());
    e.modal.collectionScript = [&](CCollectionDlg& d) {
        EXPECT_GE(d.list()->count(), 48);
        EXPECT_TRUE(d.list()->item(1)->text().startsWith(QStringLiteral("o02　Ombrix　10 × 10")));
        d.list()->setCurrentRow(1);
        return true;
    };
    e.frame.menuAction(ID_FILE_COLLECTION)->trigger();
    e.settle();
    auto file = std::make_unique<Board>();
    UiState ui;
    std::string error;
    ASSERT_EQ(LoadPuzzleFile((folder + QStringLiteral("/o02.omx")).toStdString(), *file, ui, error),
              ReadKind::Complete);
    EXPECT_TRUE(testing::SameBoard(e.board, *file));
    EXPECT_TRUE(e.view().document().path().isEmpty());
}

} // namespace
} // namespace ombrix::test
