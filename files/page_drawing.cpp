// The printed page, cell by cell in column order, as the print preview and the
// printer see it.
#include "page_drawing.h"

#include <algorithm>

namespace ombrix {

namespace {

// Where the page puts things, in 0.1 mm.
constexpr int kBoardLeft = 100; // cell x starts at kBoardLeft + pitch * x
constexpr int kBoardTop = 300;  // cell y starts at -(kBoardTop + pitch * y)
constexpr int kTitleX = 200;
constexpr int kTitleY = -150;
constexpr int kTitleHeight = 100;

constexpr int kMaxClue = 48;
constexpr int kNormalWeight = 400;
constexpr int kBoldWeight = 700;

// A number of one digit sits a third of a cell in; two digits share the cell,
// the tens a tenth in and the units half way.
void DrawNumber(PageSurface& surface, const PageRect& cell, const PageCellSize& size, int number,
                PageColour colour) {
    const int s = size.pitch;
    const int y = cell.top - s / 10;
    PageFont font{kPageFontFace, size.digitHeight, 0, kBoldWeight, false};
    if (number < 10) {
        const char digit[2] = {char('0' + number), '\0'};
        surface.text(cell.left + s / 3, y, font, colour, digit);
        return;
    }
    font.width = size.digitHeight / 2;
    const char tens[2] = {char('0' + number / 10), '\0'};
    const char units[2] = {char('0' + number % 10), '\0'};
    surface.text(cell.left + s / 10, y, font, colour, tens);
    surface.text(cell.left + s / 2, y, font, colour, units);
}

} // namespace

PageCellSize PageCellSizeFor(int width, int height) {
    if (width > 23 || height > 31) return {50, 40};
    if (width > 17 || height > 23) return {75, 60};
    return {100, 80};
}

PageCellSize PageCellSizeFor(int width, int height, PageArea area) {
    const PageCellSize size = PageCellSizeFor(width, height);
    // The board's far corner lies at (kBoardLeft + pitch (W + 1),
    // kBoardTop + pitch (H + 1)) from the printable area's corner.
    int pitch = size.pitch;
    if (area.width > 0) pitch = std::min(pitch, (area.width - kBoardLeft) / (width + 1));
    if (area.height > 0) pitch = std::min(pitch, (area.height - kBoardTop) / (height + 1));
    if (pitch == size.pitch) return size;
    pitch = std::max(pitch, 1);
    return {pitch, pitch * 4 / 5};
}

PageRect PageCellRect(int x, int y, int pitch) {
    const int left = kBoardLeft + pitch * x;
    const int top = -(kBoardTop + pitch * y);
    return {left, top, left + pitch, top - pitch};
}

void DrawPuzzlePage(const Board& board, PageSurface& surface, PageArea area) {
    const PageFont titleFont{kPageFontFace, kTitleHeight, 0, kNormalWeight, true};
    surface.text(kTitleX, kTitleY, titleFont, kPageBlack,
                 board.ruleSet == RuleSetOmbrix ? kPageTitleOmbrix : kPageTitleTandrel);

    const PageCellSize size = PageCellSizeFor(board.width, board.height, area);
    for (int x = 1; x <= board.width; ++x) {
        for (int y = 1; y <= board.height; ++y) {
            const PageRect cell = PageCellRect(x, y, size.pitch);
            surface.rectangle(cell, kFramePen, kPageWhite);
            const int state = board.state(x, y);
            // Every clue a cell can hold (1..48) and its area cells print
            // their number; white dots and undecided cells are empty.
            if (state >= 1 && state <= kMaxClue)
                DrawNumber(surface, cell, size, state, kClueColour);
            else if (state > AreaCellBase && state <= AreaCellBase + kMaxClue)
                DrawNumber(surface, cell, size, state - AreaCellBase, kAreaColour);
            else if (isBlack(state))
                surface.rectangle(cell, kBlackCellPen, kPageBlack);
        }
    }
}

} // namespace ombrix
