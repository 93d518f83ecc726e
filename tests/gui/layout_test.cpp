// The layout's numbers: bar lengths, frame and scroll sizes, hit areas, the
// background bands and the sprite mapping, checked from both sides (a
// position computed, and a point hit-tested back to what stands there).
#include "layout.h"

#include <gtest/gtest.h>

namespace ombrix {
namespace {

struct Sizes {
    int w, h, bar, frameW, frameH, scrollW, scrollH;
};

class RecordingHost : public LayoutHost {
  public:
    void ResizeFrame(int w, int h) override {
        frameW = w;
        frameH = h;
        ++resizes;
    }
    void SetScrollExtent(int w, int h) override {
        scrollW = w;
        scrollH = h;
    }
    int frameW = 0, frameH = 0, scrollW = 0, scrollH = 0, resizes = 0;
};

TEST(LayoutPass, BarFrameAndScrollSizesForBoardSizes) {
    const Sizes cases[] = {
        {10, 10, 12, 510, 440, 490, 390},   {18, 8, 20, 639, 390, 706, 336},
        {19, 19, 20, 639, 479, 733, 633},   {30, 8, 31, 639, 390, 1030, 336},
        {31, 45, 40, 639, 479, 1057, 1335}, {8, 8, 10, 456, 390, 436, 336},
        {15, 12, 17, 639, 479, 625, 444},   {14, 11, 16, 618, 467, 598, 417},
        {20, 10, 21, 639, 440, 760, 390},
    };
    for (const Sizes& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        Board b;
        UiState ui;
        b.width = static_cast<std::uint8_t>(c.w);
        b.height = static_cast<std::uint8_t>(c.h);
        b.state(3, 3) = 5; // the reset at layout stage 0 clears it
        b.status = StatusContradiction;
        RecordingHost host;
        LayoutPass(b, ui, &host);
        EXPECT_EQ(ui.barLength, c.bar);
        EXPECT_EQ(host.frameW, c.frameW);
        EXPECT_EQ(host.frameH, c.frameH);
        EXPECT_EQ(host.scrollW, c.scrollW);
        EXPECT_EQ(host.scrollH, c.scrollH);
        EXPECT_EQ(ui.layoutState, LayoutReady);
        EXPECT_EQ(b.state(3, 3), Undecided);
        EXPECT_EQ(b.status, StatusNone);
        EXPECT_EQ(b.state(c.w + 1, 1), Border);
    }
}

TEST(LayoutPass, StagesAndResizeFlag) {
    Board b;
    UiState ui;
    RecordingHost host;
    LayoutPass(b, ui, &host);
    EXPECT_EQ(host.resizes, 1);
    // A ready layout does nothing more.
    b.state(2, 2) = 7;
    LayoutPass(b, ui, &host);
    EXPECT_EQ(host.resizes, 1);
    // A loaded file: resize without reset, bar worked out again.
    b.width = 20;
    ui.layoutState = LayoutBarPending;
    ui.resizePending = 1;
    LayoutPass(b, ui, &host);
    EXPECT_EQ(host.resizes, 2);
    EXPECT_EQ(host.frameW, 639);
    EXPECT_EQ(ui.resizePending, 0);
    EXPECT_EQ(ui.barLength, 21);
    EXPECT_EQ(b.state(2, 2), 7);
    // Stage 1 alone: only the bar.
    b.width = 8;
    b.height = 8;
    ui.layoutState = LayoutBarPending;
    LayoutPass(b, ui, &host);
    EXPECT_EQ(host.resizes, 2);
    EXPECT_EQ(ui.barLength, 10);
}

TEST(LayoutPass, InitialScrollExtent) {
    EXPECT_EQ(Layout(10, 10, 12).initialScrollWidth(), 510);
    EXPECT_EQ(Layout(10, 10, 12).initialScrollHeight(), 390);
    EXPECT_EQ(Layout(8, 8, 10).initialScrollHeight(), 340);
}

TEST(BarLength, BoundsOfEachRange) {
    EXPECT_EQ(BarLengthFor(8, 8), 10);
    EXPECT_EQ(BarLengthFor(18, 18), 20);
    EXPECT_EQ(BarLengthFor(19, 8), 20);
    EXPECT_EQ(BarLengthFor(8, 30), 31);
    EXPECT_EQ(BarLengthFor(31, 8), 31);
    EXPECT_EQ(BarLengthFor(8, 40), 40);
    EXPECT_EQ(BarLengthFor(8, 41), 40);
    EXPECT_EQ(BarLengthFor(31, 45), 40);
}

TEST(HitTest, CellsAndTheirFrameLines) {
    const Layout l(10, 10, 12);
    // Every cell's box maps back to the cell, corner to corner.
    for (int x = 1; x <= 10; ++x)
        for (int y = 1; y <= 10; ++y) {
            const LayoutRect r = l.cellBox(x, y);
            const Hit want{HitKind::Cell, x, y, 0};
            if (x > 1 && y > 1) {
                EXPECT_EQ(HitTest(l, r.left, r.top), want);
            }
            EXPECT_EQ(HitTest(l, r.right - 1, r.bottom - 1), want);
        }
    // The line shared by cells 1 and 2 (X = 52) belongs to the right one.
    EXPECT_EQ(HitTest(l, 52, 60), (Hit{HitKind::Cell, 2, 1, 0}));
    EXPECT_EQ(HitTest(l, 51, 60), (Hit{HitKind::Cell, 1, 1, 0}));
    EXPECT_EQ(HitTest(l, 40, 77), (Hit{HitKind::Cell, 1, 2, 0}));
    EXPECT_EQ(HitTest(l, 40, 76), (Hit{HitKind::Cell, 1, 1, 0}));
    // The board's own left, top, right and bottom edge lines hit nothing.
    EXPECT_EQ(HitTest(l, 25, 60).kind, HitKind::Nothing);
    EXPECT_EQ(HitTest(l, 30, 50).kind, HitKind::Nothing);
    EXPECT_EQ(HitTest(l, 295, 60).kind, HitKind::Nothing);
    EXPECT_EQ(HitTest(l, 30, 320).kind, HitKind::Nothing);
    EXPECT_EQ(HitTest(l, 294, 319), (Hit{HitKind::Cell, 10, 10, 0}));
}

TEST(HitTest, NumberBarAndButtons) {
    const Layout l(10, 10, 12); // bar at x = 328, buttons at x = 383
    EXPECT_EQ(HitTest(l, 330, 51), (Hit{HitKind::BarNumber, 0, 0, 1}));
    EXPECT_EQ(HitTest(l, 330, 77), (Hit{HitKind::BarNumber, 0, 0, 2}));
    EXPECT_EQ(HitTest(l, 330, 373), (Hit{HitKind::BarNumber, 0, 0, 12}));
    // The last tile's bottom frame line (27n + 50) and the bar's edges.
    EXPECT_EQ(HitTest(l, 330, 374).kind, HitKind::Nothing);
    EXPECT_EQ(HitTest(l, 328, 60).kind, HitKind::Nothing);
    EXPECT_EQ(HitTest(l, 356, 60).kind, HitKind::Nothing);
    EXPECT_EQ(HitTest(l, 384, 151).kind, HitKind::UpperButton);
    EXPECT_EQ(HitTest(l, 483, 185).kind, HitKind::UpperButton);
    EXPECT_EQ(HitTest(l, 384, 150).kind, HitKind::Nothing);
    EXPECT_EQ(HitTest(l, 383, 160).kind, HitKind::Nothing);
    EXPECT_EQ(HitTest(l, 484, 160).kind, HitKind::Nothing);
    EXPECT_EQ(HitTest(l, 400, 186).kind, HitKind::Nothing);
    EXPECT_EQ(HitTest(l, 400, 211).kind, HitKind::LowerButton);
    EXPECT_EQ(HitTest(l, 400, 245).kind, HitKind::LowerButton);
    EXPECT_EQ(HitTest(l, 400, 246).kind, HitKind::Nothing);
    // The mode label and the banner do not react.
    EXPECT_EQ(HitTest(l, 400, 100).kind, HitKind::Nothing);
    EXPECT_EQ(HitTest(l, 50, 10).kind, HitKind::Nothing);
    // A long bar never yields more than n.
    const Layout big(31, 45, 40);
    EXPECT_EQ(HitTest(big, 27 * 31 + 70, 27 * 40 + 49).number, 40);
    EXPECT_EQ(HitTest(big, 27 * 31 + 70, 27 * 40 + 50).kind, HitKind::Nothing);
}

TEST(LayoutGeometry, PositionsAndRegions) {
    const Layout l(10, 8, 12);
    EXPECT_EQ(l.cellLeft(1), 25);
    EXPECT_EQ(l.cellTop(1), 50);
    EXPECT_EQ(l.cellLeft(10), 268);
    EXPECT_EQ(l.cellTop(8), 239);
    EXPECT_EQ(l.cellBox(2, 3), (LayoutRect{52, 104, 79, 131}));
    EXPECT_EQ(l.board(), (LayoutRect{25, 50, 295, 266}));
    EXPECT_EQ(l.boardRegion(), (LayoutRect{25, 50, 297, 268}));
    EXPECT_EQ(l.barRegion(), (LayoutRect{328, 50, 356, 375}));
    EXPECT_EQ(l.barLeft(), 328);
    EXPECT_EQ(l.buttonLeft(), 383);
    EXPECT_EQ(Layout::circleBox(3, 4), (LayoutRect{79, 131, 106, 158}));
    EXPECT_EQ(Layout::circleBox(3, 4), l.cellBox(3, 4));
    // The bands in drawing order, first and last.
    EXPECT_EQ(l.band(0), (LayoutRect{0, 0, 4096, 50}));
    EXPECT_EQ(l.band(2), (LayoutRect{484, 0, 4096, 2048}));
    EXPECT_EQ(l.band(3), (LayoutRect{25, 268, 296, 2048}));
    EXPECT_EQ(l.band(6), (LayoutRect{329, 376, 382, 2048}));
    EXPECT_EQ(l.band(10), (LayoutRect{384, 246, 483, 2048}));
}

TEST(Sprites, CellPicturesAndPhases) {
    SpriteRect r{};
    ASSERT_TRUE(sprites::ForCell(0, r));
    EXPECT_EQ(r.y, 351);
    ASSERT_TRUE(sprites::ForCell(20, r));
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, 513);
    ASSERT_TRUE(sprites::ForCell(21, r));
    EXPECT_EQ(r.x, 186);
    EXPECT_EQ(r.y, 0);
    ASSERT_TRUE(sprites::ForCell(107, r));
    EXPECT_EQ(r.x, 56);
    EXPECT_EQ(r.y, 162);
    ASSERT_TRUE(sprites::ForCell(140, r));
    EXPECT_EQ(r.x, 242);
    for (int s : {50, 100, 200}) {
        ASSERT_TRUE(sprites::ForCell(s, r));
        EXPECT_EQ(r.y, 378);
    }
    ASSERT_TRUE(sprites::ForCell(49, r));
    EXPECT_EQ(r.y, 324);
    for (int s : {41, 48, 99, 141, 148, 150, 255})
        EXPECT_FALSE(sprites::ForCell(s, r)) << s;
    EXPECT_EQ(sprites::Number(sprites::Colour::Selection, 22).x, 214);
    EXPECT_EQ(sprites::ForPhase(0).upper.y, 105);
    EXPECT_EQ(sprites::ForPhase(1).upper.y, 175);
    EXPECT_EQ(sprites::ForPhase(2).upper.y, 140);
    EXPECT_EQ(sprites::ForPhase(3).lower.y, 70);
    EXPECT_FALSE(sprites::ForPhase(4).hasButtons);
    EXPECT_EQ(sprites::ForPhase(4).label.y, 234);
}

} // namespace
} // namespace ombrix
