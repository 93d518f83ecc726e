#include "layout.h"

#include <algorithm>

namespace ombrix {

int Layout::frameWidth() const {
    return std::min(27 * W + 240, 639);
}

int Layout::frameHeight() const {
    return std::clamp(27 * H + 170, 390, 479);
}

LayoutRect Layout::band(int i) const {
    const int w = 27 * W, h = 27 * H;
    switch (i) {
    case 0:
        return {0, 0, 4096, 50}; // behind banner and status
    case 1:
        return {0, 0, 25, 2048}; // left of the board
    case 2:
        return {w + 214, 0, 4096, 2048}; // right of the buttons
    case 3:
        return {25, h + 52, w + 26, 2048}; // below the board
    case 4:
        return {w + 27, 51, w + 58, 2048}; // board to bar
    case 5:
        return {w + 86, 51, w + 113, 2048}; // bar to buttons
    case 6:
        return {w + 59, 27 * n + 52, w + 112, 2048}; // below the bar
    case 7:
        return {w + 114, 51, w + 213, 90}; // above the label
    case 8:
        return {w + 114, 113, w + 213, 150}; // label to upper button
    case 9:
        return {w + 114, 186, w + 213, 210}; // between the buttons
    default:
        return {w + 114, 246, w + 213, 2048}; // below the lower button
    }
}

int BarLengthFor(int width, int height) {
    const int m = std::max(width, height);
    if (m <= 18) return m + 2;
    if (m <= 30) return m + 1;
    if (m <= 40) return m;
    return 40;
}

Hit HitTest(const Layout& l, int X, int Y) {
    const int w = 27 * l.W;
    if (X > 25 && X < w + 25 && Y > 50 && Y < 27 * l.H + 50)
        return {HitKind::Cell, (X - 25) / 27 + 1, (Y - 50) / 27 + 1, 0};
    if (X > w + 58 && X < w + 86 && Y > 50 && Y < 27 * l.n + 50)
        return {HitKind::BarNumber, 0, 0, (Y - 50) / 27 + 1};
    if (X > w + 113 && X < w + 214) {
        if (Y > 150 && Y < 186) return {HitKind::UpperButton, 0, 0, 0};
        if (Y > 210 && Y < 246) return {HitKind::LowerButton, 0, 0, 0};
    }
    return {};
}

void LayoutPass(Board& board, UiState& ui, LayoutHost* host) {
    bool resized = false;
    if (ui.layoutState == LayoutNewBoard || ui.resizePending == 1) {
        if (ui.layoutState == LayoutNewBoard) ResetBoard(board, ui);
        const Layout l(board, ui);
        if (host) host->ResizeFrame(l.frameWidth(), l.frameHeight());
        ui.resizePending = 0;
        resized = true;
    }
    if (ui.layoutState == LayoutBarPending) {
        ui.barLength = static_cast<std::int16_t>(BarLengthFor(board.width, board.height));
        ui.layoutState = LayoutReady;
    }
    // The scroll extent once the bar's length is known, so that it covers
    // the whole bar.
    if (resized && host) {
        const Layout l(board, ui);
        host->SetScrollExtent(l.scrollWidth(), l.scrollHeight());
    }
}

namespace sprites {

int ColumnLeft(Colour colour, bool second) {
    const int base = colour == Colour::Clue ? 0 : colour == Colour::Selection ? 28 : 56;
    return second ? base + 186 : base;
}

SpriteRect Number(Colour colour, int k) {
    const bool second = k > 20;
    const int row = second ? k - 21 : k - 1;
    return {ColumnLeft(colour, second), 27 * row, 28, 28};
}

bool ForCell(int state, SpriteRect& out) {
    if (state == Undecided)
        out = kTileEmpty;
    else if (state >= 1 && state <= kMaxNumber)
        out = Number(Colour::Clue, state);
    else if (state == WhiteDot)
        out = kTileWhiteDot;
    else if (isBlack(state))
        out = kTileBlack;
    else if (state > AreaCellBase && state <= AreaCellBase + kMaxNumber)
        out = Number(Colour::Solve, state - AreaCellBase);
    else
        return false;
    return true;
}

PhasePictures ForPhase(int phase) {
    switch (phase) {
    case PhaseEdit:
        return {true, kButtonToSolve, kButtonClearAll, kLabelEdit};
    case PhaseSolveStart:
        return {true, kButtonToEdit, kButtonAutoSolve, kLabelSolve};
    case PhaseSolving:
        return {true, kButtonRestart, kButtonUndo, kLabelSolve};
    case PhaseAutoSolved:
        return {true, kButtonRestart, kButtonClearAll, kLabelSolve};
    default:
        return {false, {}, {}, kLabelSolve};
    }
}

} // namespace sprites
} // namespace ombrix
