// What the fuzz targets share: a check that aborts with its line (libFuzzer
// then reports the input), and a board full of earlier values, so that a
// field a reader leaves alone is seen to keep its value.
#pragma once

#include "board.h"
#include "uistate.h"

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
    ui.phase = PhaseSolving;
    ui.layoutState = LayoutReady;
    ui.selectedNumber = 5;
    ui.historyCount = 3;
    for (int i = 0; i < kHistorySize; ++i) {
        ui.historyX[i] = static_cast<std::uint8_t>(1 + i % 12);
        ui.historyY[i] = static_cast<std::uint8_t>(1 + i % 9);
        ui.historyPrev[i] = static_cast<std::uint8_t>(i);
    }
}

// The size, rule set, status, count and every cell (state, area id, mark).
inline bool SameBoard(const Board& a, const Board& b) {
    if (a.width != b.width || a.height != b.height || a.ruleSet != b.ruleSet ||
        a.status != b.status || a.undecidedCount != b.undecidedCount)
        return false;
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y) {
            const Cell &p = a.cells[x][y], &q = b.cells[x][y];
            if (p.state != q.state || p.areaId != q.areaId || p.mark != q.mark) return false;
        }
    return true;
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
