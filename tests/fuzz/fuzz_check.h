// What the fuzz targets share: a check that aborts with its line (libFuzzer
// then reports the input), and a board full of earlier values, so that a
// field a reader leaves alone is seen to keep its value.
#pragma once

#include "../solver/test_boards.h" // SameBoard, SameUi

#include <cstdio>
#include <cstdlib>

#define CHECK(cond)                                                                                \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);          \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace ombrix::fuzz {

using testing::SameBoard;
using testing::SameUi;

inline void EarlierState(Board& board, UiState& ui) {
    board = Board{};
    ui = UiState{};
    board.width = 12;
    board.height = 9;
    board.ruleSet = RuleSetTandrel;
    board.status = StatusSecondSolution;
    board.undecidedCount = 77;
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y) {
            const bool playable = x >= 1 && x <= 12 && y >= 1 && y <= 9;
            board.cells[x][y].state = playable ? static_cast<std::uint8_t>((x * 7 + y) % 201) : 99;
            board.cells[x][y].areaId = static_cast<std::uint16_t>(x + y);
            board.cells[x][y].mark = 1;
        }
    testing::SolvingState(ui, 12, 9, 5, 3, [](int i) { return i; });
}

// Every cell of the board and of the ring round it in range.
inline bool CellsInRange(const Board& b, bool (*playable)(std::uint8_t)) {
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y) {
            const Cell& c = b.cells[x][y];
            const bool inside = x >= 1 && x <= b.width && y >= 1 && y <= b.height;
            if (c.areaId != 0 || c.mark != 0) return false;
            if (inside ? !playable(c.state) : c.state != Border) return false;
        }
    return true;
}

} // namespace ombrix::fuzz
