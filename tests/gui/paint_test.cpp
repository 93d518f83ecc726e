// The painted layout at its pixel positions: teal bands, cell tiles, the
// number bar with its selected entry, buttons and label by phase, the banner
// by rule set, the status line and the circle of a second solution; and the
// same picture from ombrix-cli render.
#include "gui_support.h"

#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

namespace ombrix::test {
namespace {

using sprites::Colour;

struct Fixture {
    Board board;
    UiState ui;
    Fixture(int w, int h) {
        board.width = static_cast<std::uint8_t>(w);
        board.height = static_cast<std::uint8_t>(h);
        LayoutPass(board, ui, nullptr);
    }
    QImage paint() const { return RenderLayout(board, ui); }
};

TEST(Paint, EmptyBoardALongBarTheStatusLineTheCircleTheButtonsOfEveryPhaseAndTheBanners) {
    Fixture f(10, 10);
    const QImage img = f.paint();
    ASSERT_EQ(img.size(), QSize(490, 390));
    const Layout l(f.board, f.ui);
    // Teal: the band at the top, left of the board, between board and bar,
    // between bar and buttons, below the board and the bar, right of all.
    for (QPoint p : {QPoint(5, 40), QPoint(5, 200), QPoint(310, 200), QPoint(360, 100),
                     QPoint(100, 330), QPoint(486, 100), QPoint(430, 130), QPoint(340, 376)})
        EXPECT_EQ(QColor(img.pixel(p)), kTeal) << p.x() << "," << p.y();
    for (int x = 1; x <= 10; ++x)
        for (int y = 1; y <= 10; ++y)
            EXPECT_EQ(RegionDiff(img, l.cellLeft(x), l.cellTop(y), sprites::kTileEmpty), 0);
    // Bar: 1 selected (its 27 x 27 corner), 2..12 blue.
    EXPECT_EQ(RegionDiff(img, 328, 50, sprites::Number(Colour::Selection, 1), 27, 27), 0);
    for (int k = 2; k <= 12; ++k)
        EXPECT_EQ(RegionDiff(img, 328, l.barEntryTop(k), sprites::Number(Colour::Clue, k)), 0);
    EXPECT_EQ(RegionDiff(img, 10, 5, sprites::kBannerOmbrix), 0);
    EXPECT_EQ(StatusYellow(img), 0); // status 0: blanks

    // More than 20 numbers: the bar goes on in the second column.
    Fixture g(20, 20);
    g.ui.selectedNumber = 21;
    const QImage long_ = g.paint();
    const int bx = 27 * 20 + 58;
    EXPECT_EQ(RegionDiff(long_, bx, 590, sprites::Number(Colour::Selection, 21), 27, 27), 0);
    EXPECT_EQ(RegionDiff(long_, bx, 563, sprites::Number(Colour::Clue, 20)), 0);
    EXPECT_EQ(QColor(long_.pixel(bx + 10, 619)), kTeal);

    // The status line, and for a second solution the circle.
    f.board.status = StatusContradiction;
    EXPECT_GT(StatusYellow(f.paint()), 20);
    // Status 5: a red circle in the cell box of the alt cell, over the cell.
    f.board.status = StatusSecondSolution;
    f.board.altCellX = 4;
    f.board.altCellY = 6;
    f.board.state(4, 6) = Black;
    const QImage circled = f.paint();
    const LayoutRect box = Layout::circleBox(4, 6);
    const int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    // Leftmost and bottom-most points of the circle; not filled.
    EXPECT_GT(CountColour(circled, QRect(box.left, cy - 2, 3, 5), kRed), 0);
    EXPECT_GT(CountColour(circled, QRect(cx - 2, box.bottom - 3, 5, 3), kRed), 0);
    EXPECT_EQ(QColor(circled.pixel(cx, cy)), Qt::black);
    EXPECT_GT(StatusYellow(circled), 20);
    // Any other status: no circle although the cell is still named.
    f.board.status = StatusUnsolvable;
    EXPECT_EQ(CountColour(f.paint(), QRect(0, 0, 300, 390), kRed), 0);

    // The buttons and the label of every phase.
    const struct {
        int phase;
        SpriteRect upper, lower, label;
    } cases[] = {
        {0, sprites::kButtonClearAll, sprites::kButtonToSolve, sprites::kLabelEdit},
        {1, sprites::kButtonAutoSolve, sprites::kButtonToEdit, sprites::kLabelSolve},
        {2, sprites::kButtonUndo, sprites::kButtonRestart, sprites::kLabelSolve},
        {3, sprites::kButtonClearAll, sprites::kButtonRestart, sprites::kLabelSolve},
    };
    const int buttonX = 27 * 10 + 113;
    for (const auto& c : cases) {
        f.ui.phase = static_cast<std::uint8_t>(c.phase);
        const QImage shown = f.paint();
        EXPECT_EQ(RegionDiff(shown, buttonX, 150, c.upper), 0) << c.phase;
        EXPECT_EQ(RegionDiff(shown, buttonX, 210, c.lower), 0) << c.phase;
        EXPECT_EQ(RegionDiff(shown, buttonX, 90, c.label), 0) << c.phase;
    }
    // Tandrel, or any other value from a file: the second banner.
    for (int rules : {int(RuleSetTandrel), 9}) {
        f.board.ruleSet = static_cast<std::uint8_t>(rules);
        EXPECT_EQ(RegionDiff(f.paint(), 10, 5, sprites::kBannerTandrel), 0);
    }
}

TEST(Paint, CellsByStateAndPhaseColoursOverWhateverWasThere) {
    Fixture f(10, 8);
    // 46 as a clue comes from files only.
    const std::pair<int, SpriteRect> cells[] = {
        {3, sprites::Number(Colour::Clue, 3)},
        {25, sprites::Number(Colour::Clue, 25)},
        {WhiteDot, sprites::kTileWhiteDot},
        {Black, sprites::kTileBlack},
        {GivenBlack, sprites::kTileBlack},
        {107, sprites::Number(Colour::Solve, 7)},
        {133, sprites::Number(Colour::Solve, 33)},
        {46, sprites::Number(Colour::Clue, 46)},
        {AreaCellBase + 46, sprites::Number(Colour::Solve, 46)},
        {48, sprites::Number(Colour::Clue, 48)}};
    for (int x = 1; x <= 10; ++x)
        f.board.state(x, 1) = static_cast<std::uint8_t>(cells[x - 1].first);
    f.ui.phase = PhaseSolving;
    f.ui.selectedNumber = 5;
    QImage img(f.paint().size(), QImage::Format_RGB32);
    img.fill(QColor(255, 0, 255)); // whatever the window showed before
    QPainter p(&img);
    PaintBoard(p, f.board, f.ui);
    p.end();
    const Layout l(f.board, f.ui);
    for (int x = 1; x <= 10; ++x)
        EXPECT_EQ(RegionDiff(img, l.cellLeft(x), 50, cells[x - 1].second), 0) << cells[x - 1].first;
    EXPECT_EQ(CountColour(img, img.rect(), QColor(255, 0, 255)), 0);
    // Solve phases: a green bar, the selected entry red.
    EXPECT_EQ(RegionDiff(img, l.barLeft(), 50, sprites::Number(Colour::Solve, 1)), 0);
    EXPECT_EQ(RegionDiff(img, l.barLeft(), l.barEntryTop(5), sprites::Number(Colour::Selection, 5),
                         27, 27),
              0);
}

// ombrix-cli render paints the same picture. (Its failures are the
// command-line tests'.)
TEST(Render, CommandLineWritesTheLayoutAsPng) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("r.png"));
    QProcess p;
    p.start(
        QStringLiteral(OMBRIX_CLI),
        {QStringLiteral("render"), QStringLiteral(OMBRIX_TEST_DATA_DIR "/too-large.grid"), out});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    Fixture f(8, 8);
    f.board.state(1, 1) = 40;
    f.board.state(8, 8) = 30;
    EXPECT_EQ(QImage(out).convertToFormat(QImage::Format_RGB32), f.paint());
}

} // namespace
} // namespace ombrix::test
