// The printed page on a recording surface: where each cell, number and title
// lands in 0.1 mm units (y upwards from the printable area's top-left corner).
#include "files_test_util.h" // EmptyBoard
#include "page_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace ombrix {
namespace {

struct Op {
    enum Kind { Rect, Text } kind;
    PageRect rect{};
    PagePen pen{};
    PageColour colour{}; // fill of a rectangle, colour of a text
    int x = 0, y = 0;
    PageFont font{};
    std::string text;
};

struct RecordingSurface : PageSurface {
    std::vector<Op> ops;
    void rectangle(const PageRect& r, const PagePen& pen, PageColour fill) override {
        ops.push_back({Op::Rect, r, pen, fill, 0, 0, {}, {}});
    }
    void text(int x, int y, const PageFont& font, PageColour colour,
              std::string_view text) override {
        ops.push_back({Op::Text, {}, {}, colour, x, y, font, std::string(text)});
    }
    std::vector<Op> only(Op::Kind kind) const {
        std::vector<Op> out;
        std::copy_if(ops.begin(), ops.end(), std::back_inserter(out),
                     [&](const Op& op) { return op.kind == kind; });
        return out;
    }
    std::vector<Op> texts() const { return only(Op::Text); }
    std::vector<Op> rects() const { return only(Op::Rect); }
};

const std::string kMincho = "ＭＳ 明朝";

using testing::EmptyBoard;

RecordingSurface Draw(const Board& b) {
    RecordingSurface s;
    DrawPuzzlePage(b, s);
    return s;
}

// Every text drawn for the cell whose frame is `cell`, skipping the title.
std::vector<Op> TextsIn(const RecordingSurface& s, const PageRect& cell) {
    std::vector<Op> out;
    for (const Op& op : s.texts())
        if (op.x >= cell.left && op.x < cell.right && op.y <= cell.top && op.y > cell.bottom)
            out.push_back(op);
    return out;
}

TEST(PageDrawing, CellSizeClassesAndFrames) {
    struct Case {
        int w, h, pitch;
    };
    // The largest boards of each class and the first ones past it.
    for (const Case& c : {Case{17, 23, 100}, {18, 8, 75}, {23, 31, 75}, {24, 8, 50}, {31, 45, 50}}) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        const RecordingSurface s = Draw(EmptyBoard(c.w, c.h));
        const std::vector<Op> rects = s.rects();
        ASSERT_EQ(rects.size(), std::size_t(c.w * c.h)); // empty cells: frames only
        for (const Op& r : rects)
            ASSERT_TRUE(r.pen == (PagePen{2, {0, 0, 0}}) && r.colour == (PageColour{255, 255, 255}));
        // Column by column: (1,1), (1,2), ... then (2,1); nothing leaves an
        // A4 page's printable area (about 200 x 285 mm).
        EXPECT_EQ(rects[0].rect, PageCellRect(1, 1, c.pitch));
        EXPECT_EQ(rects[1].rect, PageCellRect(1, 2, c.pitch));
        EXPECT_EQ(rects[std::size_t(c.h)].rect, PageCellRect(2, 1, c.pitch));
        EXPECT_LE(rects.back().rect.right, 1900);
        EXPECT_GE(rects.back().rect.bottom, -2700);
    }
}

TEST(PageDrawing, CellsShrinkOnlyWhereThePrintableAreaCannotHoldThem) {
    const PageArea a4Portrait{2029, 2899}, a4Landscape{2899, 2029};
    // Portrait A4 holds every size class as it is.
    for (auto [w, h] : {std::pair{17, 23}, {23, 31}, {31, 45}})
        EXPECT_EQ(PageCellSizeFor(w, h, a4Portrait), PageCellSizeFor(w, h));
    // Landscape: the largest pitch whose board still ends inside the area.
    EXPECT_EQ(PageCellSizeFor(31, 45, a4Landscape), (PageCellSize{37, 29}));
    EXPECT_EQ(PageCellSizeFor(17, 23, a4Landscape), (PageCellSize{72, 57}));
    EXPECT_EQ(PageCellSizeFor(8, 8, a4Landscape), (PageCellSize{100, 80}));
    const RecordingSurface s = [] {
        RecordingSurface r;
        DrawPuzzlePage(EmptyBoard(31, 45), r, PageArea{2899, 2029});
        return r;
    }();
    EXPECT_EQ(s.rects().back().rect.bottom, -(300 + 37 * 46));
}

TEST(PageDrawing, OneAndTwoDigitNumbersOnEachCellSize) {
    struct Case {
        int w, h, s, d;
    };
    for (const Case& c : {Case{17, 23, 100, 80}, Case{18, 8, 75, 60}, Case{8, 32, 50, 40}}) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        Board b = EmptyBoard(c.w, c.h);
        b.state(3, 2) = 7;                 // clue 7
        b.state(2, 5) = 12;                // clue 12
        b.state(4, 1) = AreaCellBase + 12; // area cell of clue 12
        b.state(5, 5) = AreaCellBase + 5;  // area cell of clue 5
        b.state(6, 6) = 48;                // the largest clue a file can hold
        b.state(7, 7) = AreaCellBase + 46; // and an area cell above the bar's 40
        const RecordingSurface s = Draw(b);
        const PageFont one{kMincho, c.d, 0, 700, false};
        const PageFont two{kMincho, c.d, c.d / 2, 700, false};
        const PageColour blue{0, 0, 255}, green{0, 128, 0};
        // {cell, its text, the font, the colour}; the digits of a number at
        // a tenth and a half of the cell, one digit at a third.
        const struct {
            int x, y;
            const char* text;
            const PageFont& font;
            PageColour colour;
        } cells[] = {{3, 2, "7", one, blue},   {2, 5, "12", two, blue}, {4, 1, "12", two, green},
                     {5, 5, "5", one, green}, {6, 6, "48", two, blue}, {7, 7, "46", two, green}};
        for (const auto& cell : cells) {
            const PageRect r = PageCellRect(cell.x, cell.y, c.s);
            const std::vector<Op> t = TextsIn(s, r);
            ASSERT_EQ(t.size(), std::strlen(cell.text)) << cell.text;
            std::string text;
            for (std::size_t i = 0; i < t.size(); ++i) {
                text += t[i].text;
                EXPECT_EQ(t[i].x, r.left + (t.size() == 1 ? c.s / 3 : i == 0 ? c.s / 10 : c.s / 2));
                EXPECT_EQ(t[i].y, r.top - c.s / 10);
                EXPECT_EQ(t[i].font, cell.font);
                EXPECT_EQ(t[i].colour, cell.colour);
            }
            EXPECT_EQ(text, cell.text);
        }
    }
}

TEST(PageDrawing, EmptyAndBlackCellsAndTheTitle) {
    Board b = EmptyBoard(10, 10, RuleSetTandrel);
    b.state(1, 1) = WhiteDot;
    b.state(2, 1) = GivenBlack;
    b.state(2, 2) = Black;
    b.state(2, 3) = BlackLinked;
    const RecordingSurface s = Draw(b);
    // The title only: "簡易Tandrel" at (200, -150), 10 mm Mincho.
    ASSERT_EQ(s.texts().size(), 1u);
    EXPECT_EQ(s.ops.front().text, "簡易Tandrel");
    EXPECT_EQ(s.ops.front().x, 200);
    EXPECT_EQ(s.ops.front().y, -150);
    EXPECT_EQ(s.ops.front().font, (PageFont{kMincho, 100, 0, 400, true}));
    EXPECT_EQ(Draw(EmptyBoard(8, 8)).ops.front().text, "簡易Ombrix");
    // A black cell is its frame, then the same rectangle black with the thin
    // black pen, before the next cell.
    const std::vector<Op> rects = s.rects();
    ASSERT_EQ(rects.size(), 100u + 3u);
    const PageRect given = PageCellRect(2, 1, 100);
    std::size_t at = 0;
    while (at < rects.size() && !(rects[at].rect == given))
        ++at;
    ASSERT_LT(at + 2, rects.size());
    EXPECT_EQ(rects[at + 1].rect, given);
    EXPECT_EQ(rects[at + 1].colour, (PageColour{0, 0, 0}));
    EXPECT_EQ(rects[at + 1].pen, (PagePen{0, {0, 0, 0}}));
    EXPECT_EQ(rects[at + 2].rect, PageCellRect(2, 2, 100));
}

} // namespace
} // namespace ombrix
