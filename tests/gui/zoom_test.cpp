// The zoomed view, clicked through: a click lands on the same cell at every
// step, Ctrl+wheel zooms, the zoom comes back after a restart, and at 100 %
// the window's picture is the exported layout's; the window's size for a
// large board, and the parts pinned to a small window's edges.
#include "editor_fixture.h"

#include "commands.h"
#include "paint.h"
#include "zoom.h"

#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>

namespace ombrix::test {
namespace {

TEST(Zoom, EveryStepKeepsClicksTheWheelZoomsKeptAfterARestartTheWindowFitsPinnedPartsInSight) {
    {
        Editor e;
        e.view().OnZoomReset();
        QList<double> seen;
        for (int i = 0; i < 30; ++i) {
            // Up by Ctrl+= to 300 %, then down by Ctrl+- to 50 %.
            QTest::keyClick(&e.frame, i < 15 ? Qt::Key_Equal : Qt::Key_Minus, Qt::ControlModifier);
            seen << e.view().zoom();
            const int x = 1 + i % 10, y = 1 + (i * 3) % 10;
            const Layout l = e.layout();
            // Near the cell's own corners.
            for (const auto& [dx, dy] : {std::pair{2, 2}, {24, 24}}) {
                e.clickAt(l.cellLeft(x) + dx, l.cellTop(y) + dy);
                EXPECT_EQ(e.board.state(x, y), e.ui.selectedNumber) << e.view().zoom();
                e.clickAt(l.cellLeft(x) + dx, l.cellTop(y) + dy, Qt::RightButton);
                EXPECT_EQ(e.board.state(x, y), 0) << e.view().zoom();
            }
        }
        EXPECT_TRUE(seen.contains(kZoomMax) && seen.last() == kZoomMin);

        QWidget* vp = e.view().viewport();
        QWheelEvent up(QPointF(50, 50), vp->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120),
                       Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(vp, &up);
        EXPECT_EQ(e.view().zoom(), ZoomIn(kZoomMin));

        // 100 %: the picture the command-line export draws, pixel for pixel.
        QTest::keyClick(&e.frame, Qt::Key_0, Qt::ControlModifier);
        e.cell(2, 3);
        EXPECT_TRUE(e.showsLayout());
        e.frame.OnCommand(ID_VIEW_ZOOM_IN); // 110 % after the restart
    }
    Editor e;
    EXPECT_EQ(e.view().zoom(), 1.1);
    // 31 x 45 at 50 %: the whole layout in sight, smaller than the screen.
    e.view().SetZoom(kZoomMin);
    e.resizeBoard(31, 45);
    const Layout l = e.layout();
    EXPECT_EQ(e.view().viewport()->size(),
              QSize((l.scrollWidth() + 1) / 2, (l.scrollHeight() + 1) / 2));
    EXPECT_LT(e.frame.frameGeometry().height(), e.frame.screen()->availableGeometry().height());
    // ウィンドウに合わせる at 100 % on the screen-sized window.
    e.frame.OnCommand(ID_VIEW_ZOOM_RESET);
    e.frame.OnCommand(ID_VIEW_ZOOM_FIT);
    EXPECT_NEAR(e.view().zoom(), 0.5, 0.01);

    // At 100 % in a small window scrolled to the far corner, banner and
    // status line stay at the top, label and buttons at the right, as the
    // layout draws them (inside the thin line around each).
    e.view().SetZoom(1.0);
    e.frame.resize(640, 480);
    e.settle();
    COmbrixView& v = e.view();
    v.horizontalScrollBar()->setValue(v.horizontalScrollBar()->maximum());
    v.verticalScrollBar()->setValue(v.verticalScrollBar()->maximum());
    const QImage shown = e.grab();
    const QImage whole = RenderLayout(e.board, e.ui);
    const std::vector<COmbrixView::Pinned> pins = v.pinned();
    ASSERT_EQ(pins.size(), 2u);
    for (const COmbrixView::Pinned& pin : pins) {
        const QRect inner(pin.at + QPoint(1, 1), pin.source.size() - QSize(2, 2));
        EXPECT_EQ(shown.copy(inner), whole.copy(inner.translated(pin.source.topLeft() - pin.at)));
    }
    EXPECT_EQ(pins[1].at.x() + pins[1].source.width(), v.viewport()->width());
    // The pinned lower button, "解答モードへ", works.
    const QPoint lower =
        pins[1].at + QPoint(50, Layout::kLowerButtonTop + 18 - pins[1].source.top());
    QTest::mouseClick(v.viewport(), Qt::LeftButton, Qt::NoModifier, lower);
    EXPECT_EQ(e.ui.phase, PhaseSolveStart);
}

} // namespace
} // namespace ombrix::test
