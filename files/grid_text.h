// The grid text format: a readable, hand-editable form of a puzzle.
//
//   # comment lines (before the header only)
//   ombrix 10 8          <- rule set (ombrix | tandrel), width, height
//   . 2 . # ...          <- H rows of W tokens: '.' empty, 1..48 a clue,
//                           '#' a given black cell
//
// Blank lines are skipped everywhere. The reader reports the first problem
// with its line and column.
#pragma once

#include "board.h"

#include <string>
#include <string_view>

namespace ombrix {

struct GridTextError {
    int line = 0;   // 1-based; 0 when the problem has no line
    int column = 0; // 1-based; 0 when the problem has no column
    std::string message;
    std::string describe() const;
};

// Parses `text` into a fresh board: size, rule set, clues and given black
// cells set; the border ring 99, every other cell 0, status 0. On failure
// returns false and leaves `board` untouched.
bool ParseGridText(std::string_view text, Board& board, GridTextError& error);

// `bytes` in single quotes, safe to print on a terminal: bytes outside
// printable ASCII (control characters, escape sequences, bytes of other
// encodings) shown as \xNN, a backslash as \\, and anything past the first
// 40 bytes cut off with "...".
std::string QuoteForMessage(std::string_view bytes);

// Writes the clues and given black cells of `board` (every other value as
// '.') in the grid text format.
std::string FormatGridText(const Board& board);

} // namespace ombrix
