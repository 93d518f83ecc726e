// Editing and solving through real clicks on the view: a whole session, the
// waiting message on the screen before the solver runs, a scrolled board,
// the size dialog's bounds, saving and loading, damaged and unwritable files,
// and a puzzle named on the command line.
#include "corpus.h"
#include "editor_fixture.h"

#include "error_reasons.h"
#include "grid_text.h"
#include "main_args.h"
#include "puzzle_file.h"
#include "solver.h"
#include "status_text.h"
#include "version.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <system_error>

namespace ombrix {
namespace {

using test::CountColour;
using test::Editor;
using test::RegionDiff;

const QColor kYellow(255, 255, 0);
const QRect kStatusLine(30, 30, 420, 19);

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The corpus puzzle r001 (8 x 8) and its solution, or false when absent.
bool LoadR001(Board& puzzle, std::string& solution) {
    const std::string dir = std::string(OMBRIX_CORPUS_DIR) + "/real/";
    const std::string grid = ReadText(dir + "r001.grid");
    solution = ReadText(dir + "r001.sol");
    GridTextError error;
    return !grid.empty() && !solution.empty() && ParseGridText(grid, puzzle, error);
}

// Sets the size through the size dialog, typing `w` and `h` and pressing OK.
void ResizeBoard(Editor& e, int w, int h) {
    e.modal.sizeScript = [&](CBoardSizeDlg& dlg) {
        dlg.show();
        dlg.widthEdit()->setText(QString::number(w));
        dlg.heightEdit()->setText(QString::number(h));
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("id1")), Qt::LeftButton);
        return dlg.result() == QDialog::Accepted;
    };
    e.frame.OnCommand(ID_SIZE_CHANGE);
    e.frame.activateWindow(); // the dialog had the focus
    EXPECT_TRUE(QTest::qWaitForWindowActive(&e.frame));
    e.settle();
}

TEST(Session, EnterSolveByHandUndoRestartAutoSolveClear) {
    Board puzzle;
    std::string solution;
    if (!LoadR001(puzzle, solution)) OMBRIX_WITHOUT_CORPUS("real/r001");
    Editor e;
    ResizeBoard(e, 8, 8);
    ASSERT_EQ(e.board.width, 8);
    // Enter the clues: pick the number on the bar, click the cell.
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y)
            if (const int clue = puzzle.state(x, y); clue > 0) {
                e.bar(clue);
                e.cell(x, y);
            }
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y)
            ASSERT_EQ(e.board.state(x, y), puzzle.state(x, y));
    QImage img = e.grab();
    EXPECT_EQ(RegionDiff(img, e.layout().cellLeft(2), e.layout().cellTop(2),
                         sprites::Number(sprites::Colour::Clue, 2)),
              0);
    // 解答モードへ
    e.lower();
    EXPECT_EQ(e.ui.phase, PhaseSolveStart);
    img = e.grab();
    EXPECT_EQ(RegionDiff(img, e.layout().buttonLeft(), 150, sprites::kButtonAutoSolve), 0);
    EXPECT_EQ(RegionDiff(img, e.layout().buttonLeft(), 210, sprites::kButtonToEdit), 0);
    // Place a number and paint a cell.
    e.bar(4);
    e.cell(1, 1);
    e.cell(2, 1, Qt::RightButton);
    EXPECT_EQ(e.board.state(1, 1), 104);
    EXPECT_EQ(e.board.state(2, 1), Black);
    EXPECT_EQ(e.ui.phase, PhaseSolving);
    img = e.grab();
    EXPECT_EQ(RegionDiff(img, 25, 50, sprites::Number(sprites::Colour::Solve, 4)), 0);
    EXPECT_EQ(RegionDiff(img, 52, 50, sprites::kTileBlack), 0);
    EXPECT_EQ(RegionDiff(img, e.layout().buttonLeft(), 150, sprites::kButtonUndo), 0);
    // 1つ戻る twice: back to the empty start, still phase 2.
    e.upper();
    e.upper();
    EXPECT_EQ(e.board.state(1, 1), Undecided);
    EXPECT_EQ(e.board.state(2, 1), Undecided);
    EXPECT_EQ(e.ui.historyCount, 0);
    EXPECT_EQ(e.ui.phase, PhaseSolving);
    img = e.grab();
    EXPECT_EQ(RegionDiff(img, 25, 50, sprites::kTileEmpty), 0);
    // 最初に戻る
    e.cell(3, 3, Qt::RightButton);
    e.lower();
    EXPECT_EQ(e.ui.phase, PhaseSolveStart);
    EXPECT_EQ(e.board.state(3, 3), Undecided);
    // 自動解答: the solution, phase 3, the outcome's (blank) message.
    e.upper();
    EXPECT_EQ(e.ui.phase, PhaseAutoSolved);
    EXPECT_EQ(e.board.status, StatusNone);
    std::istringstream sol(solution);
    std::string line;
    int y = 0;
    while (std::getline(sol, line)) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        std::istringstream row(line);
        std::string tok;
        int x = 0;
        ++y;
        while (row >> tok) {
            ++x;
            ASSERT_EQ(isBlack(e.board.state(x, y)), tok == "#") << x << "," << y;
        }
    }
    EXPECT_EQ(y, 8);
    img = e.grab();
    EXPECT_EQ(RegionDiff(img, 25, 50, sprites::kTileBlack), 0);
    EXPECT_EQ(CountColour(img, kStatusLine, kYellow), 0);
    EXPECT_EQ(RegionDiff(img, e.layout().buttonLeft(), 150, sprites::kButtonClearAll), 0);
    EXPECT_EQ(RegionDiff(img, e.layout().buttonLeft(), 210, sprites::kButtonRestart), 0);
    // 全クリア: the clues go too, edit phase, number 1.
    e.upper();
    EXPECT_EQ(e.ui.phase, PhaseEdit);
    EXPECT_EQ(e.board.state(2, 2), Undecided);
    EXPECT_EQ(e.ui.selectedNumber, 1);
    img = e.grab();
    EXPECT_EQ(RegionDiff(img, e.layout().barLeft(), 50,
                         sprites::Number(sprites::Colour::Selection, 1), 27, 27),
              0);
}

TEST(Session, TheSolverRunsWhileTheWindowShowsTheWaitingMessageAndTakesNoInput) {
    Board puzzle;
    std::string solution;
    if (!LoadR001(puzzle, solution)) OMBRIX_WITHOUT_CORPUS("real/r001");
    Editor e;
    ResizeBoard(e, 8, 8);
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y)
            e.board.state(x, y) = puzzle.state(x, y);
    e.lower();
    Board expected = e.board; // what the solver makes of it, run here
    AutoSolve(expected);

    // A solver held until the test lets it go, on its own thread.
    std::mutex m;
    std::condition_variable cv;
    bool go = false;
    int statusSeen = -1;
    e.view().input().SetSolver([&](Board& b) {
        statusSeen = b.status;
        std::unique_lock lock(m);
        cv.wait(lock, [&] { return go; });
        AutoSolve(b);
    });
    e.clickAt(e.layout().buttonLeft() + 50, 168); // 自動解答, returns at once
    ASSERT_TRUE(e.view().solving());
    // The window paints meanwhile: the waiting message, the board as it was.
    e.view().viewport()->update();
    QImage img = e.grab();
    EXPECT_GT(CountColour(img, kStatusLine, kYellow), 50);
    Board waiting = e.board;
    UiState waitingUi = e.ui;
    const QImage expectedImg = RenderLayout(waiting, waitingUi);
    const QRect line = kStatusLine & expectedImg.rect() & img.rect();
    EXPECT_EQ(img.copy(line), expectedImg.copy(line));
    EXPECT_EQ(e.board.status, StatusSolving);
    // Clicks, double clicks and board commands change nothing.
    const QByteArray before = e.snapshot();
    e.cell(1, 2, Qt::RightButton);
    e.doubleClickAt(e.layout().cellLeft(1) + 13, e.layout().cellTop(2) + 13);
    e.lower();
    e.frame.OnCommand(ID_RULESET_TANDREL);
    e.modal.savePath = QStringLiteral("/nonexistent/never.omx");
    e.frame.OnCommand(ID_FILE_SAVE_AS);
    EXPECT_EQ(e.snapshot(), before);
    EXPECT_TRUE(e.modal.saveFilters.isEmpty());
    {
        std::lock_guard lock(m);
        go = true;
    }
    cv.notify_all();
    e.waitForSolver();
    EXPECT_EQ(statusSeen, StatusNone);
    // The same outcome as the solver run here, phase 3, the whole view new.
    EXPECT_EQ(e.ui.phase, PhaseAutoSolved);
    EXPECT_EQ(e.board.status, expected.status);
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y)
            ASSERT_EQ(e.board.state(x, y), expected.state(x, y)) << x << "," << y;
    img = e.grab();
    EXPECT_EQ(CountColour(img, kStatusLine, kYellow) > 0, e.board.status != StatusNone);
    EXPECT_EQ(RegionDiff(img, e.layout().buttonLeft(), 150, sprites::kButtonClearAll), 0);
}

TEST(Session, ClicksOnAScrolledBoard) {
    Editor e;
    ResizeBoard(e, 31, 45);
    ASSERT_EQ(e.ui.barLength, 40);
    EXPECT_EQ(e.view().scrollExtent(), QSize(1057, 1335));
    QScrollBar* h = e.view().horizontalScrollBar();
    QScrollBar* v = e.view().verticalScrollBar();
    h->setValue(h->maximum());
    v->setValue(v->maximum());
    e.settle();
    ASSERT_GT(e.view().scrollPosition().y(), 0);
    ASSERT_GT(e.view().scrollPosition().x(), 0);
    e.bar(40); // far down the bar
    EXPECT_EQ(e.ui.selectedNumber, 40);
    e.cell(30, 44);
    EXPECT_EQ(e.board.state(30, 44), 40);
    e.cell(31, 45, Qt::RightButton); // Ombrix: nothing
    EXPECT_EQ(e.board.state(31, 45), Undecided);
    const QImage img = e.grab();
    const QPoint s = e.view().scrollPosition();
    EXPECT_EQ(RegionDiff(img, e.layout().cellLeft(30) - s.x(), e.layout().cellTop(44) - s.y(),
                         sprites::Number(sprites::Colour::Clue, 40)),
              0);
}

TEST(Session, AQuickSecondPressCountsLikeAnyOther) {
    Editor e;
    e.lower(); // 解答モードへ
    const Layout l = e.layout();
    // Right twice on a cell: black, then cleared again; two steps.
    e.doubleClickAt(l.cellLeft(2) + 13, l.cellTop(2) + 13, Qt::RightButton);
    EXPECT_EQ(e.board.state(2, 2), Undecided);
    EXPECT_EQ(e.ui.historyCount, 2);
    // Left twice on "1つ戻る": both steps taken back.
    e.doubleClickAt(l.buttonLeft() + 50, 168);
    EXPECT_EQ(e.ui.historyCount, 0);
    EXPECT_EQ(e.board.state(2, 2), Undecided);
    EXPECT_EQ(e.ui.phase, PhaseSolving);
}

TEST(Session, TheWholeBarCanBeScrolledToOnWideShortBoards) {
    Editor e;
    for (QSize size : {QSize(31, 8), QSize(20, 10), QSize(15, 12)}) {
        SCOPED_TRACE(testing::Message() << size.width() << " x " << size.height());
        ResizeBoard(e, size.width(), size.height());
        const int n = e.ui.barLength;
        ASSERT_GT(n, size.height() + 2);
        QScrollBar* v = e.view().verticalScrollBar();
        v->setValue(v->maximum());
        e.view().horizontalScrollBar()->setValue(e.layout().barLeft() - 100);
        e.settle();
        // The last entry, frame line included, lies inside the viewport.
        const Layout l = e.layout();
        const QRect last(l.barLeft(), l.barEntryTop(n), kTileSize, kTileSize);
        EXPECT_TRUE(
            e.view().viewport()->rect().contains(last.translated(-e.view().scrollPosition())))
            << "scrolled to " << e.view().scrollPosition().y();
        e.bar(n);
        EXPECT_EQ(e.ui.selectedNumber, n);
        const QImage img = e.grab();
        const QPoint s = e.view().scrollPosition();
        EXPECT_EQ(RegionDiff(img, l.barLeft() - s.x(), l.barEntryTop(n) - s.y(),
                             sprites::Number(sprites::Colour::Selection, n), 27, 27),
                  0);
    }
}

TEST(SizeDialog, BoundsNonNumbersAndTheSameSize) {
    Editor e;
    e.cell(2, 2);
    struct Try {
        QString w, h;
        bool refused;
        int field; // the edit that gets the focus back
        int low, high;
    };
    const Try tries[] = {
        {"7", "10", true, IDC_SIZE_WIDTH, 8, 31},
        {"32", "10", true, IDC_SIZE_WIDTH, 8, 31},
        {"8", "7", true, IDC_SIZE_HEIGHT, 8, 45},
        {"31", "46", true, IDC_SIZE_HEIGHT, 8, 45},
        {"abc", "10", true, IDC_SIZE_WIDTH, 0, 0},
        {"12", "1x", true, IDC_SIZE_HEIGHT, 0, 0},
        {"31", "45", false, 0, 0, 0},
    };
    QString opened;
    e.modal.sizeScript = [&](CBoardSizeDlg& dlg) {
        dlg.show();
        opened = dlg.widthEdit()->text() + QLatin1Char('x') + dlg.heightEdit()->text();
        auto* ok = dlg.findChild<QPushButton*>(QStringLiteral("id1"));
        for (const Try& t : tries) {
            SCOPED_TRACE((t.w + QLatin1Char(',') + t.h).toStdString());
            e.modal.messages.clear();
            dlg.widthEdit()->setText(t.w);
            dlg.heightEdit()->setText(t.h);
            QTest::mouseClick(ok, Qt::LeftButton);
            if (!t.refused) break;
            EXPECT_TRUE(dlg.isVisible());
            EXPECT_EQ(e.modal.messages.size(), 1);
            const QString msg = e.modal.messages.value(0);
            if (t.low) {
                EXPECT_EQ(msg, OutOfRangeMessage(t.low, t.high));
                EXPECT_TRUE(msg.contains(QString::number(t.low)) &&
                            msg.contains(QString::number(t.high)));
            } else {
                EXPECT_EQ(msg, NotAnIntegerMessage());
            }
            EXPECT_EQ(dlg.focusWidget(), dlg.control(t.field));
            EXPECT_EQ(e.board.width, 10); // nothing changes until both pass
        }
        return dlg.result() == QDialog::Accepted;
    };
    e.frame.OnCommand(ID_SIZE_CHANGE);
    EXPECT_EQ(opened, QStringLiteral("10x10"));
    EXPECT_EQ(e.board.width, 31);
    EXPECT_EQ(e.board.height, 45);
    EXPECT_EQ(e.ui.layoutState, LayoutNewBoard);
    e.settle();
    EXPECT_EQ(e.ui.layoutState, LayoutReady);
    // The whole 31 x 45 layout is larger than the screen: the window takes
    // the screen, the view starts at the top-left.
    EXPECT_EQ(e.frame.frameGeometry().size(), e.frame.screen()->availableGeometry().size());
    EXPECT_EQ(e.view().scrollPosition(), QPoint(0, 0));
    // Cancel changes nothing; OK with the same size still clears the puzzle.
    e.cell(1, 1);
    e.lower();
    e.modal.sizeScript = [](CBoardSizeDlg& dlg) {
        dlg.show();
        QTest::keyClick(&dlg, Qt::Key_Escape);
        return dlg.result() == QDialog::Accepted;
    };
    e.frame.OnCommand(ID_SIZE_CHANGE);
    e.settle();
    EXPECT_EQ(e.board.state(1, 1), 1);
    EXPECT_EQ(e.ui.phase, PhaseSolveStart);
    ResizeBoard(e, 31, 45);
    EXPECT_EQ(e.board.state(1, 1), Undecided);
    EXPECT_EQ(e.ui.phase, PhaseEdit);
    ResizeBoard(e, 8, 8);
    EXPECT_EQ(e.board.width, 8);
    EXPECT_EQ(e.frame.frameGeometry().size(), QSize(456, 390));
}

// A board in the middle of solving, with history, status and rule set.
void MakeWork(Editor& e) {
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
}

TEST(Files, SaveThenLoadGivesTheSameWorkBackFromTheMenuAndTheCommandLine) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Editor e;
    ResizeBoard(e, 12, 9);
    MakeWork(e);
    const Board savedBoard = e.board;
    const UiState savedUi = e.ui;
    e.modal.savePath = dir.filePath(QStringLiteral("work.omx"));
    e.frame.OnCommand(ID_FILE_SAVE_AS);
    EXPECT_EQ(e.modal.saveFilters, QStringList{QStringLiteral("Data Files|*.omx|omx")});
    EXPECT_TRUE(e.modal.messages.isEmpty());
    EXPECT_EQ(QFileInfo(e.modal.savePath).size(), 773); // 769 bytes, four of them line ends
    // Something else, then load the file back.
    e.upper(); // 1つ戻る
    e.lower(); // 最初に戻る
    e.frame.OnCommand(ID_RULESET_OMBRIX);
    e.modal.openPath = e.modal.savePath;
    QTest::keyClick(&e.frame, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(e.modal.openFilters, QStringList{QStringLiteral("Data Files|*.omx|omx")});
    e.settle();
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y)
            ASSERT_EQ(e.board.state(x, y), savedBoard.state(x, y)) << x << "," << y;
    EXPECT_EQ(e.board.ruleSet, RuleSetTandrel);
    EXPECT_EQ(e.board.status, StatusUnsolvable);
    EXPECT_EQ(e.ui.phase, PhaseSolving);
    EXPECT_EQ(e.ui.selectedNumber, 2);
    EXPECT_EQ(e.ui.historyCount, savedUi.historyCount);
    EXPECT_EQ(0, std::memcmp(e.ui.historyX, savedUi.historyX, sizeof savedUi.historyX));
    EXPECT_EQ(0, std::memcmp(e.ui.historyPrev, savedUi.historyPrev, sizeof savedUi.historyPrev));
    EXPECT_EQ(e.ui.layoutState, LayoutReady);
    // The loaded history takes back the steps: the given black cell returns.
    for (int i = 0; i < savedUi.historyCount; ++i)
        e.upper();
    EXPECT_EQ(e.board.state(4, 4), Undecided);
    EXPECT_EQ(e.board.state(2, 1), Undecided);
    EXPECT_EQ(e.board.state(5, 5), GivenBlack);
    const QImage img = e.grab();
    EXPECT_EQ(RegionDiff(img, 10, 5, sprites::kBannerTandrel), 0);
    EXPECT_GT(CountColour(img, kStatusLine, kYellow), 20);
    // Cancelling the dialog does nothing.
    const QByteArray before = e.snapshot();
    e.modal.openPath.clear();
    e.frame.OnCommand(ID_FILE_OPEN);
    EXPECT_EQ(e.snapshot(), before);

    // Named on the command line, the file is loaded and the frame sized to it.
    Editor started(e.modal.savePath);
    EXPECT_EQ(started.board.width, 12);
    EXPECT_EQ(started.board.height, 9);
    EXPECT_EQ(started.board.state(1, 1), 3);
    EXPECT_EQ(started.ui.phase, PhaseSolving);
    EXPECT_EQ(started.board.ruleSet, RuleSetTandrel);
    EXPECT_EQ(started.ui.barLength, 14);
    // As wide as its layout asks; taller, so the bar's 14 numbers are all in sight.
    EXPECT_EQ(started.frame.frameGeometry().width(), 27 * 12 + 240);
    EXPECT_EQ(started.view().height(), 27 * 14 + 57);
    EXPECT_EQ(started.ui.historyCount, savedUi.historyCount);
}

TEST(Files, DamagedAndMissingFilesShowTheUnreadableMessage) {
    QTemporaryDir dir;
    Editor e;
    MakeWork(e);
    const QString good = dir.filePath(QStringLiteral("good.omx"));
    e.modal.savePath = good;
    e.frame.OnCommand(ID_FILE_SAVE_AS);
    // Cut short: the first 300 bytes only.
    QFile in(good);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    const QString cut = dir.filePath(QStringLiteral("cut.omx"));
    QFile out(cut);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes.left(300));
    out.close();
    // Loading it, or a file of zero bytes, changes nothing but the status:
    // the puzzle that was there stays, byte for byte, with the message.
    e.board.status = StatusNone;
    const QByteArray work = e.snapshot();
    const QString zeros = dir.filePath(QStringLiteral("zeros.omx"));
    QFile zeroFile(zeros);
    ASSERT_TRUE(zeroFile.open(QIODevice::WriteOnly));
    zeroFile.write(QByteArray(64 * 1024, '\0'));
    zeroFile.close();
    const QString empty = dir.filePath(QStringLiteral("empty.omx"));
    QFile emptyFile(empty);
    ASSERT_TRUE(emptyFile.open(QIODevice::WriteOnly));
    emptyFile.close();
    for (const QString& path : {cut, zeros, empty}) {
        e.board.status = StatusNone;
        e.modal.openPath = path;
        e.frame.OnCommand(ID_FILE_OPEN);
        EXPECT_EQ(e.board.status, StatusUnreadable);
        e.board.status = StatusNone;
        EXPECT_EQ(e.snapshot(), work) << path.toStdString();
        e.board.status = StatusUnreadable;
    }
    QImage img = e.grab();
    EXPECT_GT(CountColour(img, kStatusLine, kYellow), 20);
    Board expect;
    UiState expectUi;
    expect.status = StatusUnreadable;
    expectUi.layoutState = LayoutBarPending; // no reset: keep the status
    const QImage msg = RenderLayout(expect, expectUi);
    EXPECT_EQ(img.copy(kStatusLine), msg.copy(kStatusLine));
    // A file that does not exist: status 3, nothing else changes.
    e.board.status = StatusNone;
    const QByteArray before = e.snapshot();
    e.modal.openPath = dir.filePath(QStringLiteral("missing.omx"));
    e.frame.OnCommand(ID_FILE_OPEN);
    EXPECT_EQ(e.board.status, StatusUnreadable);
    e.board.status = StatusNone;
    EXPECT_EQ(e.snapshot(), before);
    // Each refusal also said why in a message box naming the file.
    ASSERT_EQ(e.modal.messages.size(), 4);
    EXPECT_TRUE(e.modal.messages[3].contains(QStringLiteral("missing.omx")));
    EXPECT_TRUE(e.modal.messages[3].endsWith(QStringLiteral("理由: ファイルが見つかりません")));
}

TEST(Files, ASecondSolutionFileLoadsWithoutACircle) {
    QTemporaryDir dir;
    Editor e;
    e.cell(2, 2);
    e.lower();
    e.board.status = StatusSecondSolution;
    e.board.altCellX = 3;
    e.board.altCellY = 3;
    e.modal.savePath = dir.filePath(QStringLiteral("second.omx"));
    e.frame.OnCommand(ID_FILE_SAVE_AS);
    const QColor red(255, 0, 0);
    // The banner, the status line and the board (the bar's selected number
    // is red too).
    const QRect boardAndAbove(0, 0, 27 * 10 + 27, 27 * 10 + 52);
    EXPECT_GT(CountColour(e.grab(), boardAndAbove, red), 20);
    // The file does not hold the circled cell: the message, but no circle,
    // neither over the banner nor on a cell of the puzzle before.
    for (const QString& start : {QString(), e.modal.savePath}) {
        Editor loaded(start);
        loaded.board.altCellX = 3;
        loaded.board.altCellY = 3;
        loaded.modal.openPath = e.modal.savePath;
        loaded.frame.OnCommand(ID_FILE_OPEN);
        EXPECT_EQ(loaded.board.status, StatusSecondSolution);
        const QImage img = loaded.grab();
        EXPECT_EQ(CountColour(img, boardAndAbove, red), 0);
        EXPECT_GT(CountColour(img, kStatusLine, kYellow), 20);
    }
}

TEST(Files, AFailedSaveSaysWhyAndLeavesTheOldFile) {
    QTemporaryDir dir;
    Editor e;
    e.bar(12);
    e.cell(1, 1);
    // The target's folder does not exist.
    const QString nowhere = dir.filePath(QStringLiteral("no-such-folder/p.omx"));
    e.modal.savePath = nowhere;
    e.frame.OnCommand(ID_FILE_SAVE_AS);
    ASSERT_EQ(e.modal.messages.size(), 1);
    EXPECT_TRUE(e.modal.messages[0].contains(nowhere));
    EXPECT_TRUE(e.modal.messages[0].startsWith(QStringLiteral("問題を保存できませんでした。")));
    // The reason in Japanese, not the system's English.
    EXPECT_TRUE(e.modal.messages[0].endsWith(QStringLiteral("理由: 保存先のフォルダがありません")))
        << e.modal.messages[0].toStdString();
    // The target is a folder holding a file: it stays as it was.
    const QString folder = dir.filePath(QStringLiteral("taken.omx"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/inside")));
    e.modal.savePath = folder;
    e.frame.OnCommand(ID_FILE_SAVE_AS);
    ASSERT_EQ(e.modal.messages.size(), 2);
    EXPECT_TRUE(e.modal.messages[1].contains(folder));
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/inside")).isDir());
    // The text export fails alike, with its own message.
    e.modal.savePath = nowhere;
    e.frame.OnCommand(ID_FILE_SAVE_TEXT);
    ASSERT_EQ(e.modal.messages.size(), 3);
    EXPECT_TRUE(
        e.modal.messages[2].startsWith(QStringLiteral("テキスト形式で保存できませんでした。")));
    // No temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    // A good save over an existing file replaces it whole.
    const QString p = dir.filePath(QStringLiteral("p.omx"));
    e.modal.savePath = p;
    e.frame.OnCommand(ID_FILE_SAVE_AS);
    EXPECT_EQ(QFileInfo(p).size(), 765);
    const QString t = dir.filePath(QStringLiteral("board.txt"));
    e.modal.savePath = t;
    e.frame.OnCommand(ID_FILE_SAVE_TEXT);
    EXPECT_EQ(e.modal.messages.size(), 3);
    EXPECT_EQ(e.modal.saveFilters.last(), QStringLiteral("TXTﾌｧｲﾙ|*.txt|txt"));
    QFile f(t);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.startsWith(QByteArray("\x8A\xC8\x88\xD5Ombrix\r\n")));
    EXPECT_TRUE(text.contains(QByteArray("12\x81\x62")));
    EXPECT_EQ(text.count("\r\n"), 2 * 10 + 4);
}

TEST(Files, CommonSaveFailuresAreGivenInJapanese) {
    const std::string head = "cannot save /d/p.omx: cannot create a temporary file in /d: ";
    auto reason = [&](int err) {
        return SaveFailureReason(head + std::generic_category().message(err)).toStdString();
    };
    EXPECT_EQ(reason(EACCES), "書き込む権限がありません");
    EXPECT_EQ(reason(EPERM), "書き込む権限がありません");
    EXPECT_EQ(reason(ENOENT), "保存先のフォルダがありません");
    EXPECT_EQ(reason(ENOSPC), "ディスクの空きが足りません");
    EXPECT_EQ(reason(EDQUOT), "ディスクの空きが足りません");
    EXPECT_EQ(reason(EROFS), "読み取り専用のファイルシステムには保存できません");
    // Any other reason: the writer's whole message, as it stands.
    EXPECT_EQ(reason(EIO), head + std::generic_category().message(EIO));
    EXPECT_EQ(SaveFailureReason("cannot save /d/x: not a regular file").toStdString(),
              "cannot save /d/x: not a regular file");
}

TEST(CommandLine, HelpVersionAndBadUsageOfTheEditor) {
    struct Case {
        QStringList args;
        int exitCode;
        const char* out; // expected in standard output ("" for nothing)
        const char* err; // expected in standard error ("" for nothing)
    };
    const Case cases[] = {
        {{"--help"}, 0, "[PUZZLE]", ""},
        {{"-h"}, 0, "--version", ""},
        {{"--version"}, 0, "ombrix " OMBRIX_VERSION "\n", ""},
        {{"--bogus"}, 1, "", "ombrix: Unknown option 'bogus'."},
        {{"a.omx", "b.omx"}, 1, "", "ombrix: more than one puzzle file: b.omx"},
        {{"--help", "a.omx", "b.omx"}, 1, "", "Usage:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const EditorCommandLine line = ParseEditorCommandLine(QStringList{"ombrix"} + c.args);
        EXPECT_TRUE(line.exit);
        EXPECT_EQ(line.exitCode, c.exitCode);
        EXPECT_EQ(line.out.isEmpty(), !*c.out);
        EXPECT_TRUE(line.out.contains(QString::fromUtf8(c.out))) << line.out.toStdString();
        EXPECT_EQ(line.err.isEmpty(), !*c.err);
        EXPECT_TRUE(line.err.contains(QString::fromUtf8(c.err))) << line.err.toStdString();
        if (c.exitCode) {
            EXPECT_TRUE(line.err.contains("Usage:")) << line.err.toStdString();
        }
    }
    for (const QStringList& args : {QStringList{}, QStringList{"p.omx"}, {"--", "--p.omx"}}) {
        const EditorCommandLine line = ParseEditorCommandLine(QStringList{"ombrix"} + args);
        EXPECT_FALSE(line.exit);
        EXPECT_EQ(line.puzzlePath, args.value(args.size() - 1));
    }
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
    EXPECT_TRUE(p.readAllStandardError().contains("Usage:"));
}

TEST(CommandLine, AnUnreadablePuzzleFileLeavesTheEmptyBoard) {
    QTemporaryDir dir;
    // A FIFO that no one writes reads as empty at once instead of hanging.
    const QString fifo = dir.filePath(QStringLiteral("fifo.omx"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {dir.filePath(QStringLiteral("nothing-here.omx")), fifo}) {
        Editor missing(path);
        EXPECT_TRUE(missing.frame.isVisible());
        EXPECT_EQ(missing.board.width, 10);
        EXPECT_EQ(missing.board.height, 10);
        EXPECT_EQ(missing.board.status, StatusUnreadable);
        EXPECT_EQ(missing.ui.phase, PhaseEdit);
        EXPECT_GT(CountColour(missing.grab(), kStatusLine, kYellow), 20);
        for (int x = 1; x <= 10; ++x)
            for (int y = 1; y <= 10; ++y)
                ASSERT_EQ(missing.board.state(x, y), Undecided);
    }
}

} // namespace
} // namespace ombrix
