// The puzzle as a document, clicked through: the title and its unsaved mark,
// 上書き保存 / 名前を付けて保存 / 新規作成, the save prompt's three answers,
// the recent files across a restart, grid text in and out, and the reasons
// a file is refused.
#include "editor_fixture.h"

#include "commands.h"
#include "files/files_test_util.h" // ReadAll, WriteAll, WriteText
#include "grid_text.h"
#include "omx.h"
#include "recent_files.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>

namespace ombrix::test {
namespace {

const QString kProgram = QStringLiteral(" - Ombrix＆Tandrel - 解答ツール");

TEST(Document, TitleSaveNewThePromptsThreeAnswersAndGridText) {
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.omx"));
    const QString b = dir.filePath(QStringLiteral("b.omx"));
    Editor e;
    EXPECT_EQ(e.frame.windowTitle(), kProgram.mid(3));
    e.cell(2, 2);
    EXPECT_EQ(e.frame.windowTitle(), QStringLiteral("無題*") + kProgram);

    // Ctrl+S on a puzzle never saved asks once, then saves without asking.
    e.modal.savePath = a;
    QTest::keyClick(&e.frame, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(e.modal.saveFilters.size(), 1);
    EXPECT_EQ(e.frame.windowTitle(), QStringLiteral("a.omx") + kProgram);
    e.cell(3, 3);
    EXPECT_EQ(e.frame.windowTitle(), QStringLiteral("a.omx*") + kProgram);
    e.modal.savePath.clear(); // a dialog now would cancel
    QTest::keyClick(&e.frame, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(e.modal.saveFilters.size(), 1);
    EXPECT_EQ(e.frame.windowTitle(), QStringLiteral("a.omx") + kProgram);
    const testing::Bytes withTwo = testing::ReadAll(a.toStdString());
    EXPECT_EQ(withTwo, EncodePuzzleFile(e.board, e.ui));
    // 名前を付けて保存 always asks, starting with the current name.
    e.modal.savePath = b;
    e.frame.OnCommand(ID_FILE_SAVE_AS_NAMED);
    EXPECT_EQ(e.modal.saveFilters.size(), 2);
    EXPECT_EQ(e.modal.saveStart, QFileInfo(a).absoluteFilePath());
    EXPECT_EQ(e.frame.windowTitle(), QStringLiteral("b.omx") + kProgram);

    // Cancel: nothing is loaded, nothing lost, the mark stays.
    e.cell(4, 4);
    const QByteArray work = e.snapshot();
    e.modal.saveAnswer = SaveAnswer::Cancel;
    e.modal.openPath = a;
    e.frame.OnCommand(ID_FILE_OPEN);
    e.frame.OnCommand(ID_FILE_NEW);
    e.frame.OnCommand(ID_APP_EXIT);
    EXPECT_EQ(e.modal.saveQuestions.value(0), QStringLiteral("b.omx"));
    EXPECT_TRUE(e.modal.openFilters.isEmpty());
    EXPECT_TRUE(e.frame.isVisible());
    EXPECT_EQ(e.snapshot(), work);
    EXPECT_EQ(e.frame.windowTitle(), QStringLiteral("b.omx*") + kProgram);
    const testing::Bytes bSaved = testing::ReadAll(b.toStdString());

    // Don't save: a.omx is loaded, b.omx keeps what was saved.
    e.modal.saveAnswer = SaveAnswer::Discard;
    e.frame.OnCommand(ID_FILE_OPEN);
    EXPECT_EQ(e.frame.windowTitle(), QStringLiteral("a.omx") + kProgram);
    EXPECT_EQ(e.board.state(4, 4), 0);
    EXPECT_EQ(testing::ReadAll(b.toStdString()), bSaved);

    // Save: 新規作成 writes a.omx first (no dialog), then empties the board.
    e.cell(5, 5);
    e.modal.saveAnswer = SaveAnswer::Save;
    QTest::keyClick(&e.frame, Qt::Key_N, Qt::ControlModifier);
    e.settle();
    EXPECT_EQ(e.modal.saveFilters.size(), 2);
    EXPECT_NE(testing::ReadAll(a.toStdString()), withTwo);
    EXPECT_EQ(e.board.state(5, 5), 0);
    EXPECT_EQ(e.frame.windowTitle(), kProgram.mid(3));
    EXPECT_EQ(e.modal.saveQuestions.size(), 5); // three cancelled, one not saved, one saved

    // Grid text opens, and a name not ending in .omx saves grid text.
    e.open("tandrel-solved.grid");
    EXPECT_EQ(e.frame.windowTitle(), QStringLiteral("tandrel-solved.grid") + kProgram);
    EXPECT_EQ(e.board.ruleSet, RuleSetTandrel);
    e.cell(1, 1, Qt::RightButton);
    e.modal.savePath = dir.filePath(QStringLiteral("out.txt"));
    e.frame.OnCommand(ID_FILE_SAVE_AS_NAMED);
    const testing::Bytes text = testing::ReadAll(e.modal.savePath.toStdString());
    EXPECT_EQ(std::string(text.begin(), text.end()), FormatGridText(e.board));
    EXPECT_EQ(e.frame.windowTitle(), QStringLiteral("out.txt") + kProgram);
}

TEST(Document, RecentFilesAfterARestartAGoneFileAndEachRefusalSayingWhy) {
    QTemporaryDir dir;
    QSettings().remove(QStringLiteral("recentFiles"));
    QStringList saved;
    {
        Editor e;
        for (int i = 0; i < 10; ++i) {
            e.modal.savePath = dir.filePath(QStringLiteral("p%1.omx").arg(i));
            e.frame.OnCommand(ID_FILE_SAVE_AS_NAMED);
            saved.prepend(e.modal.savePath);
        }
    }
    Editor e;
    QMenu* menu = e.frame.recentMenu();
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), RecentFiles::kMax);
    for (int i = 0; i < items.size(); ++i)
        EXPECT_TRUE(items[i]->text().endsWith(saved[i])) << items[i]->text().toStdString();
    // p8.omx, second on the list, is gone: its item says so and drops it.
    ASSERT_TRUE(QFile::remove(saved[1]));
    items[1]->trigger();
    ASSERT_EQ(e.modal.messages.size(), 1);
    EXPECT_TRUE(e.modal.messages[0].contains(saved[1]));
    EXPECT_FALSE(RecentFiles().list().contains(saved[1]));
    // p7.omx opens and comes first.
    emit menu->aboutToShow();
    menu->actions()[1]->trigger();
    EXPECT_EQ(e.frame.windowTitle(), QStringLiteral("p7.omx") + kProgram);
    EXPECT_EQ(RecentFiles().list().value(0), saved[2]);

    // Each refusal says why in a message naming the file. 200 bytes of a
    // 10 x 10 file, two of them the carriage returns of line ends.
    const std::vector<std::uint8_t> full = EncodePuzzleFile(e.board, e.ui);
    const QString cut = dir.filePath(QStringLiteral("cut.omx"));
    testing::WriteAll(cut.toStdString(), testing::Bytes(full.begin(), full.begin() + 200));
    const QString bad = dir.filePath(QStringLiteral("bad.grid"));
    testing::WriteText(bad.toStdString(), "ombrix 8 8\n. . x . . . . .\n");
    const QString folder = dir.filePath(QStringLiteral("folder.omx"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.omx")));
    const QString gridNamedOmx = dir.filePath(QStringLiteral("grid.omx"));
    testing::WriteText(gridNamedOmx.toStdString(), "ombrix 8 8\n");
    const struct {
        QString path, reason;
    } cases[] = {
        {dir.filePath(QStringLiteral("none.grid")), QStringLiteral("ファイルが見つかりません")},
        {cut, QStringLiteral("ファイルが途中で切れています（198 バイト目で終わっています。")},
        {bad, QStringLiteral("グリッドテキストの 2 行 5 文字目が読めません")},
        {folder, QStringLiteral("フォルダは開けません")},
        {gridNamedOmx, QStringLiteral("グリッドテキストです")},
    };
    // Each changes nothing but the status: the puzzle that was there stays,
    // byte for byte, under the unreadable message.
    e.cell(3, 3);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        e.board.status = StatusNone;
        const QByteArray work = e.snapshot();
        e.modal.messages.clear();
        e.modal.openPath = c.path;
        e.frame.OnCommand(ID_FILE_OPEN);
        EXPECT_GT(StatusYellow(e.grab()), 20);
        EXPECT_EQ(e.board.status, StatusUnreadable);
        e.board.status = StatusNone;
        EXPECT_EQ(e.snapshot(), work);
        ASSERT_EQ(e.modal.messages.size(), 1);
        const QString msg = e.modal.messages[0];
        EXPECT_TRUE(msg.startsWith(QStringLiteral("問題を読み込めませんでした。\nファイル: ") +
                                   c.path + QStringLiteral("\n理由: ") + c.reason))
            << msg.toStdString();
    }
}

} // namespace
} // namespace ombrix::test
