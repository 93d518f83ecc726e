#include "undo_stack.h"

#include <algorithm>

namespace ombrix {

bool SameWork(const Board& a, const UiState& ua, const Board& b, const UiState& ub) {
    if (a.width != b.width || a.height != b.height || a.ruleSet != b.ruleSet ||
        a.status != b.status || ua.phase != ub.phase || ua.historyCount != ub.historyCount)
        return false;
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y)
            if (a.cells[x][y].state != b.cells[x][y].state) return false;
    return std::equal(ua.historyX, ua.historyX + kHistorySize, ub.historyX) &&
           std::equal(ua.historyY, ua.historyY + kHistorySize, ub.historyY) &&
           std::equal(ua.historyPrev, ua.historyPrev + kHistorySize, ub.historyPrev);
}

bool UndoStack::Record(const Snapshot& before, const Board& board, const UiState& ui) {
    if (SameWork(before.board, before.ui, board, ui)) return false;
    undo_.push_back(before);
    redo_.clear();
    return true;
}

bool UndoStack::Undo(Board& board, UiState& ui) {
    if (undo_.empty()) return false;
    redo_.push_back({board, ui});
    board = undo_.back().board;
    ui = undo_.back().ui;
    undo_.pop_back();
    return true;
}

bool UndoStack::Redo(Board& board, UiState& ui) {
    if (redo_.empty()) return false;
    undo_.push_back({board, ui});
    board = redo_.back().board;
    ui = redo_.back().ui;
    redo_.pop_back();
    return true;
}

void UndoStack::Clear() {
    undo_.clear();
    redo_.clear();
}

} // namespace ombrix
