// Drawing the whole layout from the Board and the UiState, through a QPainter
// on any paint device: the window's viewport, a QImage for the picture export
// and the tests. The painter takes layout coordinates.
#pragma once

#include "board_marks.h"
#include "layout.h"

#include <QFont>
#include <QImage>

class QPainter;

namespace ombrix {

// The sprite sheet, loaded once from the program's resources.
const QImage& SpriteSheet();
// The 32 x 32 application icon.
const QImage& AppIcon();

// The font of the status line. A fixed Japanese face, not the machine's
// default, so the message looks alike everywhere.
QFont StatusFont();

// Paints everything as the board and state stand, then the window's `marks`
// if given. Painting changes nothing: whoever changes the board's size,
// loads, empties or resets it runs the layout pass (LayoutPass) first.
void PaintBoard(QPainter& p, const Board& board, const UiState& ui,
                const BoardMarks* marks = nullptr);

// Paints a whole layout into a new image of the size of the scroll extent
// (27W + 220) x max(27H + 120, 27n + 57, 310).
QImage RenderLayout(const Board& board, const UiState& ui);

} // namespace ombrix
