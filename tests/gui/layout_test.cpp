// The layout pass (bar lengths, frame and scroll sizes, its stages) and the
// hit areas, with the frame lines between them.
#include "layout.h"

#include <gtest/gtest.h>

#include <span>

namespace ombrix {
namespace {

struct RecordingHost : LayoutHost {
    void ResizeFrame(int w, int h) override {
        frame = {w, h};
        ++resizes;
    }
    void SetScrollExtent(int w, int h) override { scroll = {w, h}; }
    std::pair<int, int> frame, scroll;
    int resizes = 0;
};

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
    b.width = 8;
    b.height = 8;
    ui.layoutState = LayoutBarPending;
    ui.resizePending = 1;
    LayoutPass(b, ui, &host);
    EXPECT_EQ(host.resizes, 2);
    EXPECT_EQ(host.frame, std::pair(456, 390));
    EXPECT_EQ(ui.resizePending, 0);
    EXPECT_EQ(ui.barLength, 10);
    EXPECT_EQ(b.state(2, 2), 7);
    // Stage 1 alone (全クリア): only the bar. Stage 0 (a new size): the
    // board reset, the frame and the scroll extent sized for the bar.
    b.width = 20;
    ui.layoutState = LayoutBarPending;
    LayoutPass(b, ui, &host);
    EXPECT_EQ(host.resizes, 2);
    EXPECT_EQ(ui.barLength, 21);
    b.width = 31;
    ui.layoutState = LayoutNewBoard;
    LayoutPass(b, ui, &host);
    EXPECT_EQ(b.state(2, 2), Undecided);
    EXPECT_EQ(ui.barLength, 31);
    EXPECT_EQ(host.scroll.second, 27 * 31 + 57); // the bar reaches below the board
    EXPECT_EQ(host.frame, std::pair(639, 390));
    EXPECT_EQ(ui.layoutState, LayoutReady);
}

// A layout point and what a click there hits: the kind, and the cell or the
// bar's number.
struct HitRow {
    int x, y;
    HitKind kind;
    int a = 0, b = 0;
};
constexpr HitKind kNone = HitKind::Nothing, kCell = HitKind::Cell, kBar = HitKind::BarNumber,
                  kUpper = HitKind::UpperButton, kLower = HitKind::LowerButton;

void ExpectHits(const Layout& l, std::span<const HitRow> rows) {
    for (const HitRow& r : rows) {
        const Hit want = r.kind == kBar ? Hit{kBar, 0, 0, r.a} : Hit{r.kind, r.a, r.b, 0};
        EXPECT_EQ(HitTest(l, r.x, r.y), want) << r.x << "," << r.y;
    }
}

TEST(HitTest, CellsBarAndButtonsWithTheirFrameLines) {
    // The line shared by cells 1 and 2 (X = 52) belongs to the right one;
    // the board's own left, top, right and bottom edge lines hit nothing.
    // Bar at x = 328, buttons at x = 383: the bar's numbers, the last tile's
    // bottom frame line (27n + 50) and the bar's edges; the buttons and the
    // lines round them; the mode label and the banner, which do not react.
    const HitRow rows[] = {
        {52, 60, kCell, 2, 1}, {51, 60, kCell, 1, 1}, {40, 77, kCell, 1, 2},
        {40, 76, kCell, 1, 1}, {25, 60, kNone},       {30, 50, kNone},
        {295, 60, kNone},      {30, 320, kNone},      {294, 319, kCell, 10, 10},
        {330, 51, kBar, 1},    {330, 77, kBar, 2},    {330, 373, kBar, 12},
        {330, 374, kNone},     {328, 60, kNone},      {356, 60, kNone},
        {384, 151, kUpper},    {483, 185, kUpper},    {384, 150, kNone},
        {383, 160, kNone},     {484, 160, kNone},     {400, 186, kNone},
        {400, 211, kLower},    {400, 245, kLower},    {400, 246, kNone},
        {400, 100, kNone},     {50, 10, kNone},
    };
    ExpectHits(Layout(10, 10, 12), rows);
    // A long bar never yields more than n.
    const HitRow longBar[] = {{27 * 31 + 70, 27 * 40 + 49, kBar, 40},
                              {27 * 31 + 70, 27 * 40 + 50, kNone}};
    ExpectHits(Layout(31, 45, 40), longBar);
}

} // namespace
} // namespace ombrix
