// The state of the user's interaction that is not part of the board itself:
// phase, layout stage, selected number and the step history. Plain data here;
// the view gives it its behaviour, the puzzle file stores it.
#pragma once

#include <cstdint>
#include <type_traits>

namespace ombrix {

enum Phase : std::uint8_t {
    PhaseEdit = 0,
    PhaseSolveStart = 1,
    PhaseSolving = 2,
    PhaseAutoSolved = 3,
};

enum LayoutState : std::uint8_t {
    LayoutNewBoard = 0,
    LayoutBarPending = 1,
    LayoutReady = 2,
};

inline constexpr int kHistorySize = 200;

struct UiState {
    std::uint8_t phase = PhaseEdit;
    std::uint8_t layoutState = LayoutNewBoard;
    std::uint8_t resizePending = 0;
    std::uint8_t selectedNumber = 1;
    std::int16_t barLength = 0;
    std::int16_t historyCount = 0;
    std::uint8_t historyX[kHistorySize]{};
    std::uint8_t historyY[kHistorySize]{};
    std::uint8_t historyPrev[kHistorySize]{};
};
static_assert(std::is_trivially_copyable_v<UiState>);

} // namespace ombrix
