// The printed page of a puzzle: a title naming the rule set and the board as
// framed cells, clue numbers in blue, area numbers in green, black cells
// filled black. Plain C++ that draws through a small surface, so the same page
// goes to a printer, a print preview, a PDF file and a recording fake alike.
//
// Page units are 0.1 mm. x grows to the right and y grows upwards from the
// top-left corner of the printable area, so every point of the page has a
// negative y. A text origin is the top-left corner of the text's cell.
#pragma once

#include "board.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ombrix {

struct PageColour {
    std::uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const PageColour&, const PageColour&) = default;
};

inline constexpr PageColour kPageBlack{0, 0, 0};
inline constexpr PageColour kPageWhite{255, 255, 255};
inline constexpr PageColour kClueColour{0, 0, 255};
inline constexpr PageColour kAreaColour{0, 128, 0};

// A solid pen; width 0 is the thinnest line the device can draw.
struct PagePen {
    int width = 0;
    PageColour colour;
    friend bool operator==(const PagePen&, const PagePen&) = default;
};

// A font as the page asks for it: `height` is the height of the character
// cell in page units, `width` the average character width (0: the face's own
// proportions), `weight` 400 normal or 700 bold.
struct PageFont {
    std::string face;
    int height = 0;
    int width = 0;
    int weight = 400;
    bool italic = false;
    friend bool operator==(const PageFont&, const PageFont&) = default;
};

// A rectangle in page units; top > bottom since y grows upwards.
struct PageRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const PageRect&, const PageRect&) = default;
};

// What the page drawing needs of a device.
class PageSurface {
  public:
    virtual ~PageSurface() = default;
    // Fills `r` with `fill` and outlines it with `pen`, centred on its edges.
    virtual void rectangle(const PageRect& r, const PagePen& pen, PageColour fill) = 0;
    // Draws UTF-8 `text` with its top-left corner at (x, y).
    virtual void text(int x, int y, const PageFont& font, PageColour colour,
                      std::string_view text) = 0;
};

// The face of every text on the page, and the two titles.
inline constexpr const char* kPageFontFace = "ＭＳ 明朝";
inline constexpr const char* kPageTitleOmbrix = "簡易Ombrix";
inline constexpr const char* kPageTitleTandrel = "簡易Tandrel";

// The frame pen of every cell: solid, 0.2 mm, black.
inline constexpr PagePen kFramePen{2, kPageBlack};
// The outline of a black cell: the thinnest black line.
inline constexpr PagePen kBlackCellPen{0, kPageBlack};

// The size class of a board: 10 mm cells up to 17 x 23, 7.5 mm up to 23 x 31,
// 5 mm beyond.
struct PageCellSize {
    int pitch = 0;       // cell side in page units
    int digitHeight = 0; // height of the number fonts
    friend bool operator==(const PageCellSize&, const PageCellSize&) = default;
};
PageCellSize PageCellSizeFor(int width, int height);

// The printable area of a page in page units; 0 for a side with no limit.
struct PageArea {
    int width = 0, height = 0;
};

// The cell size on a page of printable area `area`: the size class above
// whenever the board fits with it, else the largest pitch with which the
// board still ends inside the area (digits four fifths of the pitch, as in
// every class). A4 portrait holds every board in its class; landscape and
// wide margins need the smaller cells.
PageCellSize PageCellSizeFor(int width, int height, PageArea area);

// The frame of cell (x, y), 1-based, for cells of side `pitch`.
PageRect PageCellRect(int x, int y, int pitch);

// Draws the whole page for `board` on a page of printable area `area`;
// reads the board and changes nothing.
void DrawPuzzlePage(const Board& board, PageSurface& surface, PageArea area = {});

} // namespace ombrix
