#include "board.h"

#include "uistate.h"

namespace ombrix {

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
