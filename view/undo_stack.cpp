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

// Undo and redo are the same step between the two stacks: the work as it
// stands goes on one, the top of the other becomes the work.
bool UndoStack::Step(std::vector<Snapshot>& from, std::vector<Snapshot>& to, Board& board,
                     UiState& ui) {
    if (from.empty()) return false;
    to.push_back({board, ui});
    board = from.back().board;
    ui = from.back().ui;
    from.pop_back();
    return true;
}

bool UndoStack::Undo(Board& board, UiState& ui) {
    return Step(undo_, redo_, board, ui);
}

bool UndoStack::Redo(Board& board, UiState& ui) {
    return Step(redo_, undo_, board, ui);
}

void UndoStack::Clear() {
    undo_.clear();
    redo_.clear();
}

} // namespace ombrix
