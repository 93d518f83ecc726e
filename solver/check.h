// The answer check: which rules a board breaks as it stands, with the cells
// that break them. It judges a board in the middle of a solve as well as a
// finished one, and reports only what no later decision can mend: a decided
// cell that contradicts nothing is never named.
#pragma once

#include "board.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace ombrix {

// The kinds of violation, in the order in which the editor names the first.
enum class Violation : std::uint8_t {
    BlackBlock,        // a 2 x 2 block of black cells (Ombrix)
    BlackDivided,      // black groups that no undecided cell can join any more
    AreaWithoutNumber, // a closed white area without a clue
    AreaTwoNumbers,    // a white area holding two or more clues
    AreaTooLarge,      // a white area with more cells than its number
    AreaTooSmall,      // a closed white area with fewer cells than its number
    AreasTouch,        // two areas touching diagonally (Tandrel)
    NumberMismatch,    // an area number that disagrees with its area's clue
};
inline constexpr int kViolationKinds = 8;

struct Finding {
    Violation kind;
    // The offending cells in scan order (column by column), playable
    // coordinates counted from 1.
    std::vector<std::pair<int, int>> cells;
};

struct CheckResult {
    // One finding per offending block, group, area or pair, ordered by kind
    // and then by the first cell.
    std::vector<Finding> findings;
    // Every playable cell is decided: none is Undecided (0).
    bool complete = false;

    bool ok() const { return findings.empty(); }
    bool solved() const { return ok() && complete; }
};

CheckResult CheckBoard(const Board& board);

// A stable lower-case name for the command line ("black-block", ...).
const char* ViolationName(Violation v);
// The status-line sentence for the editor ("2×2の黒マスがあります", ...).
const char* ViolationMessage(Violation v);

} // namespace ombrix
