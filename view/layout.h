// The view's fixed layout: every position, size and hit area of the window,
// worked out by arithmetic from the board's width and height, the sprite
// sheet's source rectangles, and the layout step that sizes the frame and the
// scroll extent whenever the board's size changes. Plain C++, no Qt, so the
// window, the picture export and the tests share one set of numbers.
#pragma once

#include "board.h"
#include "uistate.h"

namespace ombrix {

// A rectangle as left, top, right, bottom; right and bottom exclusive.
struct LayoutRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

inline constexpr int kCellPitch = 27;
inline constexpr int kTileSize = 28;
inline constexpr int kBoardLeft = 25;
inline constexpr int kBoardTop = 50;
inline constexpr int kButtonWidth = 101;
inline constexpr int kButtonHeight = 35;
inline constexpr int kLabelHeight = 22;
inline constexpr int kStatusTextX = 30;
inline constexpr int kStatusTextY = 30;
inline constexpr int kBannerX = 10;
inline constexpr int kBannerY = 5;
inline constexpr int kBannerWidth = 186;
inline constexpr int kBannerHeight = 21;

// Layout positions for a board of W x H cells and a bar of n numbers.
struct Layout {
    int W = 10, H = 10, n = 12;

    Layout() = default;
    Layout(int w, int h, int barLength) : W(w), H(h), n(barLength) {}
    Layout(const Board& b, const UiState& ui) : W(b.width), H(b.height), n(ui.barLength) {}

    // Top-left corner of the 28 x 28 tile of cell (x, y), 1-based.
    int cellLeft(int x) const { return kBoardLeft + kCellPitch * (x - 1); }
    int cellTop(int y) const { return kBoardTop + kCellPitch * (y - 1); }
    // The 27 x 27 cell box, also the repaint region of one cell.
    LayoutRect cellBox(int x, int y) const {
        return {cellLeft(x), cellTop(y), cellLeft(x) + kCellPitch, cellTop(y) + kCellPitch};
    }
    LayoutRect board() const {
        return {kBoardLeft, kBoardTop, kCellPitch * W + 25, kCellPitch * H + 50};
    }
    int barLeft() const { return kCellPitch * W + 58; }
    int barEntryTop(int k) const { return kBoardTop + kCellPitch * (k - 1); }
    int buttonLeft() const { return kCellPitch * W + 113; }
    static constexpr int kLabelTop = 90;
    static constexpr int kUpperButtonTop = 150;
    static constexpr int kLowerButtonTop = 210;
    // The circle of a second solution: the cell box of (x, y).
    static LayoutRect circleBox(int x, int y) {
        return {27 * x - 2, 27 * y + 23, 27 * x + 25, 27 * y + 50};
    }

    // Repaint regions.
    LayoutRect boardRegion() const { return {25, 50, 27 * W + 27, 27 * H + 52}; }
    LayoutRect barRegion() const { return {27 * W + 58, 50, 27 * W + 86, 27 * n + 51}; }

    // Total scroll extent set by the layout step, and the one set before the
    // first paint. The height covers the board and the number bar, whose
    // last tile on a wide, short board reaches far below the board: its
    // bottom line plus the 6 pixels the button column keeps on the right.
    int scrollWidth() const { return 27 * W + 220; }
    int scrollHeight() const {
        int h = 27 * H + 120 > 310 ? 27 * H + 120 : 310;
        return 27 * n + 57 > h ? 27 * n + 57 : h;
    }
    int initialScrollWidth() const { return 27 * W + 240; }
    int initialScrollHeight() const { return 27 * H + 120 > 340 ? 27 * H + 120 : 340; }

    // Outer size of the main frame window, decorations included.
    int frameWidth() const;
    int frameHeight() const;

    // The eleven teal background rectangles, in drawing order.
    static constexpr int kBandCount = 11;
    LayoutRect band(int i) const;
};

// How many numbers the bar offers for a W x H board.
int BarLengthFor(int width, int height);

enum class HitKind { Nothing, Cell, BarNumber, UpperButton, LowerButton };

struct Hit {
    HitKind kind = HitKind::Nothing;
    int x = 0, y = 0; // the cell, for HitKind::Cell
    int number = 0;   // 1..n, for HitKind::BarNumber
    friend bool operator==(const Hit&, const Hit&) = default;
};

// Maps a layout point to what a left click there hits (strict inequalities:
// frame lines shared by two cells belong to the lower or right one, the
// board's own outer edge lines to nothing).
Hit HitTest(const Layout& layout, int X, int Y);

// What the layout step needs of the window: resizing the frame to an outer
// size (keeping its position, raised to the top) and the view's scroll extent.
class LayoutHost {
  public:
    virtual ~LayoutHost() = default;
    virtual void ResizeFrame(int outerWidth, int outerHeight) = 0;
    virtual void SetScrollExtent(int width, int height) = 0;
};

// The layout step at the start of every paint: resets the board at layout
// stage 0, sizes frame and scroll extent when asked, works out the bar length.
// `host` may be null (a picture export has no window).
void LayoutPass(Board& board, UiState& ui, LayoutHost* host);

// Sprite sheet pictures: source rectangles as left, top, width, height.
struct SpriteRect {
    int x, y, w, h;
};

namespace sprites {
// The second digit columns run on below the banners' rows to 48, the largest
// clue a cell can hold.
inline constexpr int kSheetWidth = 273;
inline constexpr int kSheetHeight = 757;
inline constexpr int kMaxNumber = 48;
enum class Colour { Clue, Selection, Solve };
// Tile of number k (1..48) in a colour.
SpriteRect Number(Colour colour, int k);
// Column strip for 1..20 (first) or 21..48 (second) of a colour.
int ColumnLeft(Colour colour, bool second);
inline constexpr SpriteRect kButtonToSolve{84, 0, 101, 35};     // 解答モードへ
inline constexpr SpriteRect kButtonToEdit{84, 35, 101, 35};     // 作成モードへ
inline constexpr SpriteRect kButtonRestart{84, 70, 101, 35};    // 最初に戻る
inline constexpr SpriteRect kButtonClearAll{84, 105, 101, 35};  // 全クリア
inline constexpr SpriteRect kButtonUndo{84, 140, 101, 35};      // 1つ戻る
inline constexpr SpriteRect kButtonAutoSolve{84, 175, 101, 35}; // 自動解答
inline constexpr SpriteRect kLabelEdit{84, 211, 101, 22};       // 作成モード
inline constexpr SpriteRect kLabelSolve{84, 234, 101, 22};      // 解答モード
inline constexpr SpriteRect kTileWhiteDot{84, 324, 28, 28};
inline constexpr SpriteRect kTileEmpty{84, 351, 28, 28};
inline constexpr SpriteRect kTileBlack{84, 378, 28, 28};
inline constexpr SpriteRect kBannerOmbrix{0, 541, 186, 21};
inline constexpr SpriteRect kBannerTandrel{0, 566, 186, 21};

// The picture of a cell's state, or false when the state has none.
bool ForCell(int state, SpriteRect& out);

// The buttons and label of a phase; false where the phase shows no button.
struct PhasePictures {
    bool hasButtons;
    SpriteRect lower, upper, label;
};
PhasePictures ForPhase(int phase);
} // namespace sprites

} // namespace ombrix
