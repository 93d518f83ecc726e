// Editing and solving through real clicks on the view: the waiting message
// on the screen before the solver runs, a double click, a scrolled board,
// the size dialog's bounds, saving and loading, damaged and unwritable files,
// and a puzzle named on the command line.
#include "editor_fixture.h"

#include "main_args.h"
#include "solver.h"
#include "version.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>

#include <future>

namespace ombrix::test {
namespace {

TEST(Session, TheSolverRunsWhileTheWindowShowsTheWaitingMessageAndTakesNoInput) {
    Editor e;
    e.lower(); // 解答モードへ
    // A quick second press counts like any other: right twice on a cell is
    // black, then cleared again, two steps; left twice on "1つ戻る" takes
    // both back.
    e.doubleClickAt(e.layout().cellLeft(2) + 13, e.layout().cellTop(2) + 13, Qt::RightButton);
    EXPECT_EQ(e.board.state(2, 2), Undecided);
    EXPECT_EQ(e.ui.historyCount, 2);
    e.doubleClickAt(e.layout().buttonLeft() + 50, 168);
    EXPECT_EQ(e.ui.historyCount, 0);

    e.open("ombrix-solved.grid");
    e.lower();
    Board expected = e.board; // what the solver makes of it, run here
    AutoSolve(expected);
    // A solver held until the test lets it go, on its own thread.
    std::promise<void> go;
    const std::shared_future<void> released = go.get_future().share();
    int statusSeen = -1;
    e.view().input().SetSolver([&](Board& b) {
        statusSeen = b.status;
        released.wait();
        AutoSolve(b);
    });
    e.clickAt(e.layout().buttonLeft() + 50, 168); // 自動解答, returns at once
    ASSERT_TRUE(e.view().solving());
    // The window paints meanwhile: the waiting message, the board as it was.
    e.view().viewport()->update();
    EXPECT_EQ(e.board.status, StatusSolving);
    EXPECT_TRUE(e.showsLayout());
    // Clicks, double clicks and board commands change nothing; help runs.
    const QByteArray before = e.snapshot();
    e.cell(1, 2, Qt::RightButton);
    e.doubleClickAt(e.layout().cellLeft(1) + 13, e.layout().cellTop(2) + 13);
    e.lower();
    e.frame.OnCommand(ID_RULESET_TANDREL);
    e.frame.OnCommand(ID_FILE_SAVE_AS);
    e.frame.OnCommand(ID_HELP_OMBRIX_RULES);
    EXPECT_EQ(e.snapshot(), before);
    EXPECT_TRUE(e.modal.saveFilters.isEmpty());
    EXPECT_EQ(e.modal.dialogs, QStringList{QStringLiteral("ombrix::CTemplateDialog")});
    go.set_value();
    e.waitForSolver();
    EXPECT_EQ(statusSeen, StatusNone);
    // The same outcome as the solver run here, phase 3, its buttons.
    EXPECT_EQ(e.ui.phase, PhaseAutoSolved);
    EXPECT_EQ(std::memcmp(&e.board, &expected, sizeof expected), 0);
    EXPECT_TRUE(e.showsLayout());
}

TEST(SizeDialog, BoundsNonNumbersTheSameSizeAndClicksOnScrolledBoardsReachTheWholeBar) {
    Editor e;
    e.cell(2, 2);
    const struct {
        QString w, h;
        int field; // the edit that gets the focus back; 0: accepted
        int low, high;
    } tries[] = {
        {"7", "10", IDC_SIZE_WIDTH, 8, 31},
        {"32", "10", IDC_SIZE_WIDTH, 8, 31},
        {"8", "7", IDC_SIZE_HEIGHT, 8, 45},
        {"31", "46", IDC_SIZE_HEIGHT, 8, 45},
        {"abc", "10", IDC_SIZE_WIDTH, 0, 0},
        {"12", "1x", IDC_SIZE_HEIGHT, 0, 0},
        {"31", "45", 0, 0, 0},
    };
    QString opened;
    e.modal.sizeScript = [&](CBoardSizeDlg& dlg) {
        dlg.show();
        opened = dlg.widthEdit()->text() + QLatin1Char('x') + dlg.heightEdit()->text();
        for (const auto& t : tries) {
            SCOPED_TRACE((t.w + QLatin1Char(',') + t.h).toStdString());
            e.modal.messages.clear();
            dlg.widthEdit()->setText(t.w);
            dlg.heightEdit()->setText(t.h);
            QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("id1")), Qt::LeftButton);
            if (!t.field) break;
            EXPECT_TRUE(dlg.isVisible()); // nothing changes until both pass
            EXPECT_EQ(e.modal.messages, QStringList{t.low ? OutOfRangeMessage(t.low, t.high)
                                                          : NotAnIntegerMessage()});
            EXPECT_EQ(dlg.focusWidget(), dlg.control(t.field));
        }
        return dlg.result() == QDialog::Accepted;
    };
    e.frame.OnCommand(ID_SIZE_CHANGE);
    EXPECT_EQ(opened, QStringLiteral("10x10"));
    // The new size is laid out at once: an empty board, the frame sized.
    EXPECT_EQ(e.board.height, 45);
    EXPECT_EQ(e.ui.barLength, 40);
    EXPECT_EQ(e.board.state(2, 2), Undecided);
    e.settle();
    // The whole 31 x 45 layout is larger than the screen: the window takes
    // the screen. Cancel changes nothing; OK with the same size still clears
    // the puzzle.
    EXPECT_EQ(e.frame.frameGeometry().size(), e.frame.screen()->availableGeometry().size());
    e.cell(1, 1);
    e.lower();
    e.modal.sizeScript = [](CBoardSizeDlg& dlg) {
        dlg.show();
        QTest::keyClick(&dlg, Qt::Key_Escape);
        return dlg.result() == QDialog::Accepted;
    };
    e.frame.OnCommand(ID_SIZE_CHANGE);
    EXPECT_EQ(e.board.state(1, 1), 1);
    EXPECT_EQ(e.ui.phase, PhaseSolveStart);
    e.resizeBoard(31, 45);
    EXPECT_EQ(e.board.state(1, 1), Undecided);
    EXPECT_EQ(e.ui.phase, PhaseEdit);

    // Wide and short boards: the bar reaches far below the board.
    for (QSize size : {QSize(31, 45), QSize(31, 8), QSize(15, 12)}) {
        SCOPED_TRACE(::testing::Message() << size.width() << " x " << size.height());
        e.resizeBoard(size.width(), size.height());
        const int n = e.ui.barLength;
        QScrollBar* v = e.view().verticalScrollBar();
        v->setValue(v->maximum());
        e.view().horizontalScrollBar()->setValue(e.layout().barLeft() - 100);
        e.settle();
        // The last entry, frame line included, lies inside the viewport.
        const Layout l = e.layout();
        EXPECT_TRUE(e.view().viewport()->rect().contains(
            QRect(l.barLeft(), l.barEntryTop(n), kTileSize, kTileSize)
                .translated(-e.view().scrollPosition())));
        e.bar(n); // the cell below gets the number chosen here
        const int x = size.width() - 1, y = size.height() - 1;
        e.cell(x, y);
        EXPECT_EQ(e.board.state(x, y), n);
        const QPoint at = QPoint(l.cellLeft(x), l.cellTop(y)) - e.view().scrollPosition();
        EXPECT_EQ(RegionDiff(e.grab(), at.x(), at.y(), sprites::Number(sprites::Colour::Clue, n)),
                  0);
    }
    EXPECT_EQ(e.view().scrollExtent(), QSize(625, 516));
}

TEST(Files, SaveThenLoadGivesTheSameWorkBackButNoCircle) {
    QTemporaryDir dir;
    Editor e;
    e.resizeBoard(12, 9);
    // A board in the middle of solving, with history, status and rule set.
    e.frame.OnCommand(ID_RULESET_TANDREL);
    e.bar(3);
    e.cell(1, 1);
    e.cell(5, 5, Qt::RightButton); // given black
    e.lower();
    e.bar(2);
    e.cell(2, 1);
    e.cell(3, 3, Qt::RightButton);
    e.cell(4, 4, Qt::RightButton);
    e.cell(4, 4, Qt::RightButton);
    e.board.status = StatusUnsolvable;
    const QByteArray saved = e.snapshot();
    e.modal.savePath = dir.filePath(QStringLiteral("work.omx"));
    e.frame.OnCommand(ID_FILE_SAVE_AS);
    EXPECT_EQ(e.modal.saveFilters, QStringList{QStringLiteral("Data Files|*.omx|omx")});
    EXPECT_TRUE(e.modal.messages.isEmpty());
    // Something else, then load the file back.
    e.upper(); // 1つ戻る
    e.lower(); // 最初に戻る
    e.frame.OnCommand(ID_RULESET_OMBRIX);
    e.modal.openPath = e.modal.savePath;
    QTest::keyClick(&e.frame, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(e.modal.openFilters, QStringList{QStringLiteral("Data Files|*.omx|omx")});
    EXPECT_EQ(e.snapshot(), saved);
    // The loaded history takes back the steps: the given black cell stays.
    for (int i = e.ui.historyCount; i > 0; --i)
        e.upper();
    EXPECT_EQ(e.board.state(2, 1), Undecided);
    EXPECT_EQ(e.board.state(5, 5), GivenBlack);
    EXPECT_TRUE(e.showsLayout());

    // Named on the command line, the file is loaded and the frame sized to it:
    // as wide as its layout asks, taller, so the bar's 14 numbers are in sight.
    {
        Editor started(e.modal.savePath);
        EXPECT_EQ(started.snapshot(), saved);
        EXPECT_EQ(started.frame.frameGeometry().width(), 27 * 12 + 240);
        EXPECT_EQ(started.view().height(), 27 * 14 + 57);
    }
    SetModal(&e.modal);

    // A second solution: the file does not hold the circled cell, so the
    // loaded puzzle shows the message but no circle, not even on the cell
    // circled before.
    e.board.status = StatusSecondSolution;
    e.board.altCellX = 3;
    e.board.altCellY = 3;
    e.modal.openPath = dir.filePath(QStringLiteral("second.omx"));
    e.modal.savePath = e.modal.openPath;
    e.frame.OnCommand(ID_FILE_SAVE_AS);
    const QRect boardAndAbove(0, 0, 27 * 12 + 27, 27 * 9 + 52);
    EXPECT_GT(CountColour(e.grab(), boardAndAbove, Qt::red), 20);
    e.frame.OnCommand(ID_FILE_OPEN);
    EXPECT_EQ(e.board.status, StatusSecondSolution);
    const QImage img = e.grab();
    EXPECT_EQ(CountColour(img, boardAndAbove, Qt::red), 0);
    EXPECT_GT(StatusYellow(img), 20);
}

TEST(Files, AFailedSaveSaysWhyAndLeavesTheOldFile) {
    QTemporaryDir dir;
    Editor e;
    e.bar(12);
    e.cell(1, 1);
    // The target's folder does not exist: the reason in Japanese.
    const QString nowhere = dir.filePath(QStringLiteral("no-such-folder/p.omx"));
    e.modal.savePath = nowhere;
    e.frame.OnCommand(ID_FILE_SAVE_AS);
    ASSERT_EQ(e.modal.messages.size(), 1);
    EXPECT_EQ(e.modal.messages[0], QStringLiteral("問題を保存できませんでした。\nファイル: ") +
                                       nowhere +
                                       QStringLiteral("\n理由: 保存先のフォルダがありません"));
    // The text export fails alike, with its own message.
    e.frame.OnCommand(ID_FILE_SAVE_TEXT);
    EXPECT_TRUE(e.modal.messages.value(1).startsWith(
        QStringLiteral("テキスト形式で保存できませんでした。")));
    EXPECT_EQ(e.modal.saveFilters.last(), QStringLiteral("TXTﾌｧｲﾙ|*.txt|txt"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

TEST(CommandLine, HelpVersionBadUsageAndAnUnreadablePuzzleFile) {
    QTemporaryDir dir;
    for (const QStringList& args : {QStringList{}, QStringList{"p.omx"}, {"--", "--p.omx"}}) {
        const EditorCommandLine line = ParseEditorCommandLine(QStringList{"ombrix"} + args);
        EXPECT_FALSE(line.exit);
        EXPECT_EQ(line.puzzlePath, args.value(args.size() - 1));
    }
    EXPECT_TRUE(ParseEditorCommandLine({"ombrix", "--help"}).out.contains("[PUZZLE]"));
    EXPECT_TRUE(ParseEditorCommandLine({"ombrix", "--bogus"})
                    .err.startsWith("ombrix: Unknown option 'bogus'."));
    // The program itself: the streams and the exit status.
    QProcess p;
    p.start(QStringLiteral(OMBRIX_EDITOR), {QStringLiteral("--version")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardOutput(), QByteArray("ombrix " OMBRIX_VERSION "\n"));
    p.start(QStringLiteral(OMBRIX_EDITOR), {QStringLiteral("x.omx"), QStringLiteral("y.omx")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(p.readAllStandardError().contains("more than one puzzle file: y.omx"));

    // An unreadable puzzle file leaves the empty board. (A FIFO, read the
    // same way, is the command-line tests'.)
    Editor missing(dir.filePath(QStringLiteral("nothing-here.omx")));
    EXPECT_TRUE(missing.frame.isVisible());
    EXPECT_EQ(missing.board.width, 10);
    EXPECT_EQ(missing.board.status, StatusUnreadable);
    EXPECT_EQ(missing.ui.phase, PhaseEdit);
    EXPECT_GT(StatusYellow(missing.grab()), 20);
    EXPECT_EQ(missing.frame.frameGeometry().size(), QSize(510, 440));
}

} // namespace
} // namespace ombrix::test
