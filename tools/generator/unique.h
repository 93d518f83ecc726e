// A generator of puzzles with exactly one solution. It paints a random valid
// board, puts one clue in each area, and asks the complete analysis whether
// the clues allow another painting; while they do, it changes the painting
// at a cell where two solutions differ (or, under Tandrel, gives that black
// cell with the puzzle) and asks again. A unique puzzle then loses clues where
// it can: two areas that join into one keep the puzzle unique with one clue
// fewer. The grade comes from the automatic solver; a puzzle of another grade
// than the one asked for is thrown away and the next attempt paints afresh.
// Everything follows from the seed alone, so the same seed gives the same
// puzzle on every machine.
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
    // Told at the start of each attempt (1, 2, ...), from the working thread.
    std::function<void(int attempt)> progress;
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
