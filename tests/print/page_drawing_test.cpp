// The printed page on a recording surface: where each cell, number and title
// lands in 0.1 mm units (y upwards from the printable area's top-left corner).
#include "files_test_util.h" // EmptyBoard
#include "page_drawing.h"

#include <gtest/gtest.h>

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
        for (const Op& op : ops)
            if (op.kind == kind) out.push_back(op);
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
    const Case cases[] = {{8, 8, 100},  {17, 23, 100}, {18, 8, 75}, {17, 24, 75},
                          {23, 31, 75}, {24, 8, 50},   {8, 32, 50}, {31, 45, 50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        const RecordingSurface s = Draw(EmptyBoard(c.w, c.h));
        const std::vector<Op> rects = s.rects();
        ASSERT_EQ(rects.size(), std::size_t(c.w * c.h)); // empty cells: frames only
        for (const Op& r : rects) {
            EXPECT_EQ(r.pen, (PagePen{2, {0, 0, 0}}));
            EXPECT_EQ(r.colour, (PageColour{255, 255, 255}));
            EXPECT_EQ(r.rect.right - r.rect.left, c.pitch);
            EXPECT_EQ(r.rect.top - r.rect.bottom, c.pitch);
        }
        // Column by column: (1,1), (1,2), ... then (2,1).
        const int s0 = c.pitch;
        EXPECT_EQ(rects[0].rect, (PageRect{100 + s0, -(300 + s0), 100 + 2 * s0, -(300 + 2 * s0)}));
        EXPECT_EQ(rects[1].rect.left, 100 + s0);
        EXPECT_EQ(rects[1].rect.top, -(300 + 2 * s0));
        EXPECT_EQ(rects[std::size_t(c.h)].rect.left, 100 + 2 * s0);
        EXPECT_EQ(rects[std::size_t(c.h)].rect.top, -(300 + s0));
        const PageRect last = rects.back().rect;
        EXPECT_EQ(last.right, 100 + s0 * (c.w + 1));
        EXPECT_EQ(last.bottom, -(300 + s0 * (c.h + 1)));
        // Nothing leaves an A4 page's printable area (about 200 x 285 mm).
        EXPECT_LE(last.right, 1900);
        EXPECT_GE(last.bottom, -2700);
    }
}

TEST(PageDrawing, CellsShrinkOnlyWhereThePrintableAreaCannotHoldThem) {
    const PageArea a4Portrait{2029, 2899}, a4Landscape{2899, 2029};
    // Portrait A4 holds every size class as it is.
    for (auto [w, h] : {std::pair{17, 23}, {23, 31}, {31, 45}})
        EXPECT_EQ(PageCellSizeFor(w, h, a4Portrait), PageCellSizeFor(w, h));
    EXPECT_EQ(PageCellSizeFor(31, 45, PageArea{}), (PageCellSize{50, 40}));
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
    // Each class of cell size, at its largest board and the first past it.
    for (const Case& c : {Case{10, 10, 100, 80}, Case{17, 23, 100, 80}, Case{18, 8, 75, 60},
                          Case{17, 24, 75, 60}, Case{24, 8, 50, 40}, Case{8, 32, 50, 40}}) {
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

        const PageRect seven = PageCellRect(3, 2, c.s);
        std::vector<Op> t = TextsIn(s, seven);
        ASSERT_EQ(t.size(), 1u);
        EXPECT_EQ(t[0].text, "7");
        EXPECT_EQ(t[0].x, seven.left + c.s / 3);
        EXPECT_EQ(t[0].y, seven.top - c.s / 10);
        EXPECT_EQ(t[0].font, one);
        EXPECT_EQ(t[0].colour, blue);

        const PageRect clue = PageCellRect(2, 5, c.s);
        t = TextsIn(s, clue);
        ASSERT_EQ(t.size(), 2u);
        EXPECT_EQ(t[0].text, "1");
        EXPECT_EQ(t[0].x, clue.left + c.s / 10);
        EXPECT_EQ(t[1].text, "2");
        EXPECT_EQ(t[1].x, clue.left + c.s / 2);
        for (const Op& op : t) {
            EXPECT_EQ(op.y, clue.top - c.s / 10);
            EXPECT_EQ(op.font, two);
            EXPECT_EQ(op.colour, blue);
        }

        const PageRect area = PageCellRect(4, 1, c.s);
        t = TextsIn(s, area);
        ASSERT_EQ(t.size(), 2u);
        EXPECT_EQ(t[0].text + t[1].text, "12");
        EXPECT_EQ(t[0].x, area.left + c.s / 10);
        EXPECT_EQ(t[1].x, area.left + c.s / 2);
        for (const Op& op : t) {
            EXPECT_EQ(op.font, two);
            EXPECT_EQ(op.colour, green);
        }

        t = TextsIn(s, PageCellRect(5, 5, c.s));
        ASSERT_EQ(t.size(), 1u);
        EXPECT_EQ(t[0].text, "5");
        EXPECT_EQ(t[0].font, one);
        EXPECT_EQ(t[0].colour, green);

        t = TextsIn(s, PageCellRect(6, 6, c.s));
        ASSERT_EQ(t.size(), 2u);
        EXPECT_EQ(t[0].text + t[1].text, "48");
        EXPECT_EQ(t[0].colour, blue);
        t = TextsIn(s, PageCellRect(7, 7, c.s));
        ASSERT_EQ(t.size(), 2u);
        EXPECT_EQ(t[0].text + t[1].text, "46");
        EXPECT_EQ(t[1].colour, green);
    }
    // On the 10 mm board a 7 stands 33 right of and 10 below the cell's
    // top-left corner, the digits of 12 at 10 and 50.
    Board b = EmptyBoard(10, 10);
    b.state(1, 1) = 7;
    b.state(1, 2) = 12;
    const std::vector<Op> texts = Draw(b).texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[1].x, 200 + 33);
    EXPECT_EQ(texts[1].y, -400 - 10);
    EXPECT_EQ(texts[2].x, 210);
    EXPECT_EQ(texts[3].x, 250);
}

TEST(PageDrawing, EmptyAndBlackCells) {
    Board b = EmptyBoard(10, 10, RuleSetTandrel);
    b.state(1, 1) = WhiteDot;
    b.state(1, 2) = Undecided;
    b.state(2, 1) = GivenBlack;
    b.state(2, 2) = Black;
    b.state(2, 3) = BlackLinked;
    const RecordingSurface s = Draw(b);

    EXPECT_EQ(s.texts().size(), 1u); // the title only
    const std::vector<Op> rects = s.rects();
    ASSERT_EQ(rects.size(), 100u + 3u);
    // A black cell is its frame, then the same rectangle black with the thin
    // black pen, before the next cell.
    const PageRect given = PageCellRect(2, 1, 100);
    std::size_t at = 0;
    while (at < rects.size() && !(rects[at].rect == given))
        ++at;
    ASSERT_LT(at + 2, rects.size());
    EXPECT_EQ(rects[at].colour, (PageColour{255, 255, 255}));
    EXPECT_EQ(rects[at + 1].rect, given);
    EXPECT_EQ(rects[at + 1].colour, (PageColour{0, 0, 0}));
    EXPECT_EQ(rects[at + 1].pen, (PagePen{0, {0, 0, 0}}));
    EXPECT_EQ(rects[at + 2].rect, PageCellRect(2, 2, 100));
    int blacks = 0;
    for (const Op& r : rects)
        blacks += r.colour == PageColour{0, 0, 0};
    EXPECT_EQ(blacks, 3);
}

TEST(PageDrawing, TitleNamesTheRuleSet) {
    for (int ruleSet : {0, 1}) {
        const RecordingSurface s = Draw(EmptyBoard(8, 8, ruleSet));
        ASSERT_FALSE(s.ops.empty());
        const Op& title = s.ops.front();
        ASSERT_EQ(title.kind, Op::Text);
        EXPECT_EQ(title.text, ruleSet == 0 ? "簡易Ombrix" : "簡易Tandrel");
        EXPECT_EQ(title.x, 200);
        EXPECT_EQ(title.y, -150);
        EXPECT_EQ(title.font, (PageFont{kMincho, 100, 0, 400, true}));
        EXPECT_EQ(title.colour, (PageColour{0, 0, 0}));
    }
}

} // namespace
} // namespace ombrix
