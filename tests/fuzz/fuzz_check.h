// What the fuzz targets share: a check that aborts with its line (libFuzzer
// then reports the input), and the tests' board full of earlier values.
#pragma once

#include "../solver/test_boards.h" // EarlierState, SameBoard, SameUi

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

using testing::EarlierState;
using testing::SameBoard;
using testing::SameUi;

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
