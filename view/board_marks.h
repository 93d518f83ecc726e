// What the window draws over the board beside the puzzle itself and is never
// stored: a status-line text in place of the status code's message, the red
// outlines of the answer check, the blue ones of a hint, and the keyboard's
// cursor cell. The view owns one and clears the text and outlines at the next
// change.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace ombrix {

struct BoardMarks {
    // UTF-8; empty: the status code's message is shown.
    std::string statusText;
    // Cells outlined in red, playable coordinates from 1.
    std::vector<std::pair<int, int>> redCells;
    // Cells outlined in blue: the cells a hint decides.
    std::vector<std::pair<int, int>> blueCells;
    // The cursor cell, drawn once the keyboard has been used.
    bool cursorShown = false;
    int cursorX = 1, cursorY = 1;

    bool empty() const { return statusText.empty() && redCells.empty() && blueCells.empty(); }
};

} // namespace ombrix
