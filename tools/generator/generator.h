// A seeded generator of valid puzzles: it paints a random board that obeys a
// rule set (areas apart, black cells connected, under Ombrix no 2 x 2 block)
// and puts one clue in each area. Uniqueness is not sought, so the solver may
// find a second solution or give up; the painting itself is always a valid
// solution. The same seed gives the same puzzle on every machine.
#pragma once

#include "board.h"

#include <cstdint>

namespace ombrix {

struct GeneratorOptions {
    int width = 10;
    int height = 10;
    int ruleSet = RuleSetOmbrix;
    std::uint64_t seed = 1;
    int maxArea = 9;           // largest area, 1..40
    int givenBlackPercent = 6; // Tandrel: share of black cells given with the puzzle
};

// Fills `puzzle` (clues and given black cells on an empty board) and
// `solution` (the painted board: area cells 100 + n, black 100, given 200).
// Every area of the solution has at most maxArea cells. Returns false for
// options out of range, and when no painting with areas that small was found
// (under Ombrix a limit of 1 or 2 often is not).
bool GeneratePuzzle(const GeneratorOptions& options, Board& puzzle, Board& solution);

} // namespace ombrix
