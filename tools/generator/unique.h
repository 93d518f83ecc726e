// A generator of puzzles with exactly one solution. It paints a random valid
// board (Ombrix: a black network grown until the areas are small; Tandrel:
// small areas seeded over an all-black board, then grown into the walls
// wherever they touch no other area), puts one clue
// in each area and lets the automatic solver's deduction rules judge it:
// where they stall, the painting changes at the cells they leave open (a cell
// turns black, splitting or shrinking an area; a clue moves; under Tandrel a
// black cell there is given with the puzzle) until the deductions decide every
// cell. A puzzle settled by sound deductions has exactly one solution. Then it
// loses clues: two areas join, or a given black cell is taken back, where the
// deductions still settle it (tried in batches of places far apart, one
// deduction per batch); for grades 2 to 4 further joins (and clue moves
// within an area) are kept where the whole automatic solver still settles the
// puzzle at the grade asked for (grade 4: where it gives up and the complete
// analysis proves the puzzle unique; a change that lets an area trade a cell
// for a black cell beside it leaves two solutions and is dropped before the
// solver runs, and for grades 3 and 4 so is one the learning analysis finds
// a second solution for); without a grade asked for, a few joins of grade 2.
// The complete analysis confirms the result once. Everything follows from the
// seed alone, so the same seed gives the same puzzle on every machine: each
// attempt draws from random numbers of its own, and of the attempts run side
// by side the lowest numbered that makes a puzzle wins.
#pragma once

#include "board.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace ombrix {

struct UniqueOptions {
    int width = 10;
    int height = 10;
    int ruleSet = RuleSetOmbrix;
    std::uint64_t seed = 1;
    int grade = 0;          // 1..4 as GradeByAutoSolve counts; 0: any of 1..3
    bool symmetric = false; // clue positions (and given black cells) 180-degree symmetric
    // Gives up after this many seconds of work (0: never); GenerateUnique then
    // returns false with `UniqueResult::timedOut` set.
    double seconds = 0;
    // Set from another thread to stop; GenerateUnique then returns false.
    const std::atomic<bool>* cancel = nullptr;
    // Told at the start of each attempt (1, 2, ...), one call at a time,
    // from the worker thread that takes it.
    std::function<void(int attempt)> progress{};
    // Attempts run side by side on this many worker threads (1..16); the
    // puzzle is the same for any count.
    int threads = 2;
};

struct UniqueResult {
    Board puzzle{};   // clues and given black cells on an empty board (edit phase)
    Board solution{}; // the one solution, as Analyze returns it
    int grade = 0;
    int clues = 0;
    int givenBlack = 0;
    int attempts = 0; // paintings tried
    bool timedOut = false;
};

// Fills `result`; false when the options are out of range (size 8..31 x
// 8..45, grade 0..4) or the cancel flag was set.
bool GenerateUnique(const UniqueOptions& options, UniqueResult& result);

} // namespace ombrix
