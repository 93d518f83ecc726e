// The printed page on a recording surface: where each cell, number and title
// lands in 0.1 mm units (y upwards from the printable area's top-left corner).
#include "files_test_util.h" // EmptyBoard
#include "page_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace ombrix {
namespace {

// What the page drew, call by call; `fill` and `colour` are black when unset.
struct RectOp {
    PageRect rect;
    PagePen pen;
    PageColour fill;
    friend bool operator==(const RectOp&, const RectOp&) = default;
};
struct TextOp {
    int x, y;
    PageFont font;
    PageColour colour;
    std::string text;
    friend bool operator==(const TextOp&, const TextOp&) = default;
};

struct RecordingSurface : PageSurface {
    std::vector<RectOp> rects;
    std::vector<TextOp> texts;
    explicit RecordingSurface(const Board& b) { DrawPuzzlePage(b, *this); }
    void rectangle(const PageRect& r, const PagePen& pen, PageColour fill) override {
        rects.push_back({r, pen, fill});
    }
    void text(int x, int y, const PageFont& font, PageColour colour,
              std::string_view text) override {
        texts.push_back({x, y, font, colour, std::string(text)});
    }
};

const std::string kMincho = "ＭＳ 明朝";

using testing::EmptyBoard;

// Each class of cell size (its largest board, the first past it, the
// largest of all) with its cell frames, numbers of one and two digits.
TEST(PageDrawing, CellFramesAndNumbersOnEachCellSize) {
    struct Case {
        int w, h, s, d;
    };
    for (const Case& c : {Case{17, 23, 100, 80}, Case{18, 8, 75, 60}, Case{31, 45, 50, 40}}) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        // Clues blue, area cells green: 48 the largest clue a file can hold,
        // 46 an area cell above the bar's 40.
        const struct {
            int x, y;
            const char* text;
            bool area;
        } cells[] = {{3, 2, "7", false}, {2, 5, "12", false}, {4, 1, "12", true},
                     {5, 5, "5", true},  {6, 6, "48", false}, {7, 7, "46", true}};
        Board b = EmptyBoard(c.w, c.h);
        for (const auto& cell : cells)
            b.state(cell.x, cell.y) = std::stoi(cell.text) + (cell.area ? AreaCellBase : 0);
        const RecordingSurface s(b);
        ASSERT_EQ(s.rects.size(), std::size_t(c.w * c.h)); // column by column
        EXPECT_EQ(s.rects[std::size_t(c.h)].rect, PageCellRect(2, 1, c.s));
        EXPECT_EQ(s.rects.back().rect, PageCellRect(c.w, c.h, c.s));
        EXPECT_EQ(s.rects.back().pen, (PagePen{2, {0, 0, 0}}));
        EXPECT_GE(s.rects.back().rect.bottom, -2700); // inside an A4 page
        const PageFont one{kMincho, c.d, 0, 700, false}, two{kMincho, c.d, c.d / 2, 700, false};
        const PageColour blue{0, 0, 255}, green{0, 128, 0};
        // The digits of a number at a tenth and a half of the cell, one digit
        // at a third, all a tenth down.
        for (const auto& cell : cells) {
            const PageRect r = PageCellRect(cell.x, cell.y, c.s);
            std::vector<TextOp> t; // the texts drawn inside the cell
            for (const TextOp& op : s.texts)
                if (op.x >= r.left && op.x < r.right && op.y <= r.top && op.y > r.bottom)
                    t.push_back(op);
            ASSERT_EQ(t.size(), std::strlen(cell.text)) << cell.text;
            for (std::size_t i = 0; i < t.size(); ++i)
                EXPECT_EQ(t[i], (TextOp{r.left + (t.size() == 1 ? c.s / 3
                                                  : i           ? c.s / 2
                                                                : c.s / 10),
                                        r.top - c.s / 10, t.size() == 1 ? one : two,
                                        cell.area ? green : blue, std::string(1, cell.text[i])}))
                    << cell.text << " digit " << i;
        }
    }
}

TEST(PageDrawing, EmptyAndBlackCellsAndTheTitle) {
    Board b = EmptyBoard(10, 10, RuleSetTandrel);
    b.state(1, 1) = WhiteDot;
    b.state(2, 1) = GivenBlack;
    b.state(2, 2) = Black;
    b.state(2, 3) = BlackLinked;
    const RecordingSurface s(b);
    // The title only: "簡易Tandrel" at (200, -150), 10 mm Mincho.
    const PageFont title{kMincho, 100, 0, 400, true};
    EXPECT_EQ(s.texts, (std::vector<TextOp>{{200, -150, title, {0, 0, 0}, "簡易Tandrel"}}));
    EXPECT_EQ(RecordingSurface(EmptyBoard(8, 8)).texts.at(0).text, "簡易Ombrix");
    // A black cell is its frame, then the same rectangle black with the thin
    // black pen, before the next cell.
    ASSERT_EQ(s.rects.size(), 100u + 3u);
    const PageRect given = PageCellRect(2, 1, 100);
    const std::size_t at = std::find_if(s.rects.begin(), s.rects.end(),
                                        [&](const RectOp& op) { return op.rect == given; }) -
                           s.rects.begin();
    ASSERT_LT(at + 2, s.rects.size());
    EXPECT_EQ(s.rects[at + 1], (RectOp{given, PagePen{0, {0, 0, 0}}, PageColour{0, 0, 0}}));
    EXPECT_EQ(s.rects[at + 2].rect, PageCellRect(2, 2, 100));
}

} // namespace
} // namespace ombrix
