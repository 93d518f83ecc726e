// The painted layout at its pixel positions: teal bands, cell tiles, the
// number bar with its selected entry, buttons and label by phase, the banner
// by rule set, the status line and the circle of a second solution.
#include "gui_support.h"

#include "status_text.h"

#include <QDir>
#include <QFile>
#include <QPainter>

#include <cstdlib>

namespace ombrix {
namespace {

using test::CountColour;
using test::IsColour;
using test::kTeal;
using test::RegionDiff;

struct Fixture {
    Board board;
    UiState ui;
    Fixture(int w, int h) {
        board.width = static_cast<std::uint8_t>(w);
        board.height = static_cast<std::uint8_t>(h);
        LayoutPass(board, ui, nullptr);
    }
    QImage paint() { return RenderLayout(board, ui); }
};

TEST(Paint, EmptyBoardInTheEditPhase) {
    Fixture f(10, 10);
    const QImage img = f.paint();
    ASSERT_EQ(img.size(), QSize(490, 390));
    const Layout l(f.board, f.ui);
    // Teal: the band at the top, left of the board, between board and bar,
    // between bar and buttons, below the board and the bar, right of all.
    for (QPoint p : {QPoint(5, 40), QPoint(5, 200), QPoint(310, 200), QPoint(360, 100),
                     QPoint(100, 330), QPoint(340, 380), QPoint(486, 100), QPoint(430, 130),
                     QPoint(430, 200), QPoint(430, 300), QPoint(300, 51), QPoint(24, 60)})
        EXPECT_TRUE(IsColour(img, p.x(), p.y(), kTeal)) << p.x() << "," << p.y();
    // Every cell is the empty tile.
    for (int x = 1; x <= 10; ++x)
        for (int y = 1; y <= 10; ++y)
            EXPECT_EQ(RegionDiff(img, l.cellLeft(x), l.cellTop(y), sprites::kTileEmpty), 0);
    // Bar: 1 selected (red on cyan, its 27 x 27 corner), 2..12 blue.
    EXPECT_EQ(RegionDiff(img, 328, 50, sprites::Number(sprites::Colour::Selection, 1), 27, 27), 0);
    for (int k = 2; k <= 12; ++k)
        EXPECT_EQ(RegionDiff(img, 328, l.barEntryTop(k), sprites::Number(sprites::Colour::Clue, k)),
                  0)
            << k;
    EXPECT_TRUE(IsColour(img, 340, 376, kTeal)); // below the last tile's line
    // Status 0: a line of blanks, no yellow.
    EXPECT_EQ(CountColour(img, QRect(30, 30, 400, 19), QColor(255, 255, 0)), 0);
}

TEST(Paint, CellsByStateAndPhaseColours) {
    Fixture f(10, 8);
    f.board.state(1, 1) = 3;   // clue
    f.board.state(2, 1) = 25;  // clue of the second column
    f.board.state(3, 1) = 49;  // white dot
    f.board.state(4, 1) = 100; // black
    f.board.state(5, 1) = 200; // given black
    f.board.state(6, 1) = 107; // area cell 7
    f.board.state(7, 1) = 133; // area cell 33
    f.ui.phase = PhaseSolving;
    f.ui.selectedNumber = 5;
    const QImage img = f.paint();
    const Layout l(f.board, f.ui);
    using sprites::Colour;
    EXPECT_EQ(RegionDiff(img, l.cellLeft(1), 50, sprites::Number(Colour::Clue, 3)), 0);
    EXPECT_EQ(RegionDiff(img, l.cellLeft(2), 50, sprites::Number(Colour::Clue, 25)), 0);
    EXPECT_EQ(RegionDiff(img, l.cellLeft(3), 50, sprites::kTileWhiteDot), 0);
    EXPECT_EQ(RegionDiff(img, l.cellLeft(4), 50, sprites::kTileBlack), 0);
    EXPECT_EQ(RegionDiff(img, l.cellLeft(5), 50, sprites::kTileBlack), 0);
    EXPECT_EQ(RegionDiff(img, l.cellLeft(6), 50, sprites::Number(Colour::Solve, 7)), 0);
    EXPECT_EQ(RegionDiff(img, l.cellLeft(7), 50, sprites::Number(Colour::Solve, 33)), 0);
    // Solve phases: a green bar, the selected entry red.
    EXPECT_EQ(RegionDiff(img, l.barLeft(), 50, sprites::Number(Colour::Solve, 1)), 0);
    EXPECT_EQ(RegionDiff(img, l.barLeft(), l.barEntryTop(5), sprites::Number(Colour::Selection, 5),
                         27, 27),
              0);
}

TEST(Paint, ButtonsOfEveryPhaseAndTheBannerOfEachRuleSet) {
    struct Case {
        int phase;
        SpriteRect upper, lower, label;
    };
    const Case cases[] = {
        {0, sprites::kButtonClearAll, sprites::kButtonToSolve, sprites::kLabelEdit},
        {1, sprites::kButtonAutoSolve, sprites::kButtonToEdit, sprites::kLabelSolve},
        {2, sprites::kButtonUndo, sprites::kButtonRestart, sprites::kLabelSolve},
        {3, sprites::kButtonClearAll, sprites::kButtonRestart, sprites::kLabelSolve},
    };
    for (const Case& c : cases) {
        Fixture f(12, 9);
        f.ui.phase = static_cast<std::uint8_t>(c.phase);
        const QImage img = f.paint();
        const int bx = 27 * 12 + 113;
        EXPECT_EQ(RegionDiff(img, bx, 150, c.upper), 0) << c.phase;
        EXPECT_EQ(RegionDiff(img, bx, 210, c.lower), 0) << c.phase;
        EXPECT_EQ(RegionDiff(img, bx, 90, c.label), 0) << c.phase;
    }
    // A phase without buttons (from a file) shows the label only.
    Fixture f(12, 9);
    f.ui.phase = 7;
    const QImage img = f.paint();
    EXPECT_EQ(RegionDiff(img, 27 * 12 + 113, 90, sprites::kLabelSolve), 0);
    EXPECT_NE(RegionDiff(img, 27 * 12 + 113, 150, sprites::kButtonClearAll), 0);

    f.ui.phase = PhaseEdit;
    EXPECT_EQ(RegionDiff(f.paint(), 10, 5, sprites::kBannerOmbrix), 0);
    f.board.ruleSet = RuleSetTandrel;
    EXPECT_EQ(RegionDiff(f.paint(), 10, 5, sprites::kBannerTandrel), 0);
    f.board.ruleSet = 9; // any other value: the second banner
    EXPECT_EQ(RegionDiff(f.paint(), 10, 5, sprites::kBannerTandrel), 0);
}

TEST(Paint, StatusLineAndTheCircleOfASecondSolution) {
    Fixture f(10, 10);
    const QColor yellow(255, 255, 0), red(255, 0, 0);
    const QRect statusLine(30, 30, 420, 19);
    f.board.status = StatusContradiction;
    EXPECT_GT(CountColour(f.paint(), statusLine, yellow), 20);
    // Status 5: a red circle in the cell box of the alt cell, over the cell.
    f.board.status = StatusSecondSolution;
    f.board.altCellX = 4;
    f.board.altCellY = 6;
    f.board.state(4, 6) = 100;
    QImage img = f.paint();
    const LayoutRect box = Layout::circleBox(4, 6);
    EXPECT_GT(CountColour(img, QRect(box.left, box.top, box.width(), box.height()), red), 40);
    // Leftmost, topmost, rightmost, bottom-most points of the circle.
    const int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    EXPECT_GT(CountColour(img, QRect(box.left, cy - 2, 3, 5), red), 0);
    EXPECT_GT(CountColour(img, QRect(cx - 2, box.top, 5, 3), red), 0);
    EXPECT_GT(CountColour(img, QRect(box.right - 3, cy - 2, 3, 5), red), 0);
    EXPECT_GT(CountColour(img, QRect(cx - 2, box.bottom - 3, 5, 3), red), 0);
    EXPECT_TRUE(IsColour(img, cx, cy, Qt::black)); // not filled
    EXPECT_GT(CountColour(img, statusLine, yellow), 20);
    // Any other status: no circle although the cell is still named.
    f.board.status = StatusUnsolvable;
    EXPECT_EQ(CountColour(f.paint(), QRect(0, 0, 300, 390), red), 0);
}

TEST(Paint, LongBarSpillsIntoTheSecondColumn) {
    Fixture f(20, 20); // bar of 21
    ASSERT_EQ(f.ui.barLength, 21);
    f.ui.selectedNumber = 21;
    const QImage img = f.paint();
    const int bx = 27 * 20 + 58;
    using sprites::Colour;
    EXPECT_EQ(RegionDiff(img, bx, 590, sprites::Number(Colour::Selection, 21), 27, 27), 0);
    EXPECT_EQ(RegionDiff(img, bx, 563, sprites::Number(Colour::Clue, 20)), 0);
    EXPECT_EQ(RegionDiff(img, bx, 50, sprites::Number(Colour::Clue, 1)), 0);
    EXPECT_TRUE(IsColour(img, bx + 10, 619, kTeal));
}

TEST(Paint, CluesAboveTheBarsFortyAndTheirAreaCellsAreDrawn) {
    Fixture f(8, 8);
    f.board.state(2, 2) = 46;                // a clue only a file can hold
    f.board.state(3, 3) = AreaCellBase + 46; // and its area cell after solving
    f.board.state(4, 4) = 48;
    QImage img(436, 336, QImage::Format_RGB32);
    img.fill(QColor(255, 0, 255)); // whatever the window showed before
    QPainter p(&img);
    PaintBoard(p, f.board, f.ui, nullptr);
    p.end();
    const Layout l(f.board, f.ui);
    using sprites::Colour;
    EXPECT_EQ(RegionDiff(img, l.cellLeft(2), l.cellTop(2), sprites::Number(Colour::Clue, 46)), 0);
    EXPECT_EQ(RegionDiff(img, l.cellLeft(3), l.cellTop(3), sprites::Number(Colour::Solve, 46)), 0);
    EXPECT_EQ(RegionDiff(img, l.cellLeft(4), l.cellTop(4), sprites::Number(Colour::Clue, 48)), 0);
    // Framed white tiles with blue and green digits, nothing left unpainted.
    const QRect inner2(l.cellLeft(2) + 1, l.cellTop(2) + 1, 26, 26);
    const QRect inner3(l.cellLeft(3) + 1, l.cellTop(3) + 1, 26, 26);
    EXPECT_TRUE(IsColour(img, l.cellLeft(2), l.cellTop(2), Qt::black));
    EXPECT_GT(CountColour(img, inner2, QColor(0, 0, 255)), 40);
    EXPECT_GT(CountColour(img, inner3, QColor(0, 128, 0)), 40);
    EXPECT_GT(CountColour(img, inner3, Qt::white), 300);
    EXPECT_EQ(CountColour(img, QRect(25, 50, 216, 216), QColor(255, 0, 255)), 0);
}

TEST(Render, CommandLineWritesTheLayoutAsPng) {
    const std::string grid = std::string(OMBRIX_CORPUS_DIR) + "/real/r001.grid";
    if (!QFile::exists(QString::fromStdString(grid))) GTEST_SKIP() << "no corpus";
    const QString out = QDir::tempPath() + QStringLiteral("/ombrix-render-test.png");
    QFile::remove(out);
    const std::string cmd =
        std::string(OMBRIX_CLI) + " render " + grid + " " + out.toStdString() + " 2>/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const QImage img(out);
    ASSERT_FALSE(img.isNull());
    // r001 is 8 x 8: (27W + 220) x max(27H + 120, 27n + 57, 310).
    EXPECT_EQ(img.size(), QSize(436, 336));
    EXPECT_EQ(RegionDiff(img.convertToFormat(QImage::Format_RGB32), 10, 5, sprites::kBannerOmbrix),
              0);
    QFile::remove(out);
    // A missing input is refused with exit status 2.
    const std::string bad =
        std::string(OMBRIX_CLI) + " render /nonexistent.grid " + out.toStdString() + " 2>/dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system(bad.c_str())), 2);
    EXPECT_FALSE(QFile::exists(out));
}

} // namespace
} // namespace ombrix
