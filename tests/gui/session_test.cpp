// Editing and solving through real clicks on the view: a whole session, the
// waiting message on the screen before the solver runs, a scrolled board,
// the size dialog's bounds, saving and loading, damaged and unwritable files,
// and a puzzle named on the command line.
#include "editor_fixture.h"

#include "grid_text.h"
#include "puzzle_file.h"
#include "solver.h"
#include "status_text.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>

#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

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
    if (!LoadR001(puzzle, solution)) GTEST_SKIP() << "no corpus";
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

TEST(Session, WaitingMessageIsOnTheScreenBeforeTheSolverRuns) {
    Editor e;
    e.cell(1, 1); // a clue 1
    e.lower();
    QImage seen;
    int statusSeen = -1;
    e.view().input().SetSolver([&](Board& b) {
        statusSeen = b.status;
        // What the window system holds now, without painting again.
        QWidget* vp = e.view().viewport();
        const QPoint at = vp->mapTo(&e.frame, QPoint(0, 0));
        seen = e.frame.screen()
                   ->grabWindow(e.frame.winId(), at.x(), at.y(), vp->width(), vp->height())
                   .toImage()
                   .convertToFormat(QImage::Format_RGB32);
        AutoSolve(b);
    });
    e.upper();
    EXPECT_EQ(statusSeen, StatusNone);
    ASSERT_FALSE(seen.isNull());
    // The yellow of "自動解析中！　しばらくお待ちください" on the status line.
    EXPECT_GT(CountColour(seen, kStatusLine, kYellow), 50);
    // The same text painted offscreen matches what was on the screen.
    Board b = e.board;
    UiState ui = e.ui;
    b.status = StatusSolving;
    const QImage expected = RenderLayout(b, ui);
    EXPECT_EQ(seen.copy(kStatusLine), expected.copy(kStatusLine));
    EXPECT_EQ(e.ui.phase, PhaseAutoSolved);
    // Afterwards the outcome replaces it.
    EXPECT_EQ(CountColour(e.grab(), kStatusLine, kYellow) > 0, e.board.status != StatusNone);
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
    EXPECT_EQ(e.frame.frameGeometry().size(), QSize(639, 479));
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
    EXPECT_EQ(e.modal.saveSpecs, QStringList{QStringLiteral("Data Files|*.omx|omx")});
    EXPECT_TRUE(e.modal.messages.isEmpty());
    EXPECT_EQ(QFileInfo(e.modal.savePath).size(), 773); // 769 bytes, four of them line ends
    // Something else, then load the file back.
    e.upper(); // 1つ戻る
    e.lower(); // 最初に戻る
    e.frame.OnCommand(ID_RULESET_OMBRIX);
    e.modal.openPath = e.modal.savePath;
    QTest::keyClick(&e.frame, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(e.modal.openSpecs, QStringList{QStringLiteral("Data Files|*.omx|omx")});
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
    EXPECT_EQ(started.frame.frameGeometry().size(), QSize(27 * 12 + 240, 27 * 9 + 170));
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
    e.board.status = StatusNone;
    e.modal.openPath = cut;
    e.frame.OnCommand(ID_FILE_OPEN);
    EXPECT_EQ(e.board.status, StatusUnreadable);
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
    EXPECT_TRUE(e.modal.messages.isEmpty()); // loading shows no message box
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
    EXPECT_EQ(e.modal.saveSpecs.last(), QStringLiteral("TXTﾌｧｲﾙ|*.txt|txt"));
    QFile f(t);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.startsWith(QByteArray("\x8A\xC8\x88\xD5Ombrix\r\n")));
    EXPECT_TRUE(text.contains(QByteArray("12\x81\x62")));
    EXPECT_EQ(text.count("\r\n"), 2 * 10 + 4);
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
