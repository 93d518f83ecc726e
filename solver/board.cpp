#include "board.h"

#include "uistate.h"

namespace ombrix {

void ClearPainted(Board& board) {
    for (int x = 1; x <= board.width; ++x)
        for (int y = 1; y <= board.height; ++y)
            if (std::uint8_t& s = board.state(x, y); isPainted(s)) s = Undecided;
}

void ResetBoard(Board& board, UiState& ui) {
    for (int x = 0; x < kGridWidth; ++x) {
        for (int y = 0; y < kGridHeight; ++y) {
            Cell& c = board.cells[x][y];
            c.state = board.isPlayable(x, y) ? Undecided : Border;
            c.areaId = 0;
        }
    }
    for (int i = 0; i < kHistorySize; ++i) {
        ui.historyX[i] = 0;
        ui.historyY[i] = 0;
        ui.historyPrev[i] = 0;
    }
    ui.layoutState = LayoutBarPending;
    ui.phase = PhaseEdit;
    ui.selectedNumber = 1;
    board.status = StatusNone;
}

} // namespace ombrix
