// Undo and redo of the whole session's work: every change to the puzzle or
// the work on it is kept as a snapshot of the Board and the UiState taken
// just before it. Snapshots are whole records (a few kilobytes each), so
// restoring one gives back exactly what was there. Plain C++, no Qt.
#pragma once

#include "board.h"
#include "uistate.h"

#include <vector>

namespace ombrix {

// True when two states hold the same puzzle and the same work on it: size,
// rule set, status, every cell, phase and step history. The selected number
// and the layout's own bookkeeping do not count as a change.
bool SameWork(const Board& a, const UiState& ua, const Board& b, const UiState& ub);

class UndoStack {
  public:
    struct Snapshot {
        Board board;
        UiState ui;
    };

    // Records `before`, the state an action started from, if the action
    // turned it into something else (`board`, `ui`); a new change forgets
    // what could be redone. Returns whether anything changed.
    bool Record(const Snapshot& before, const Board& board, const UiState& ui);
    // Restores the state before the last change (after the last undo), and
    // keeps the current one for the way back. False when there is none.
    bool Undo(Board& board, UiState& ui);
    bool Redo(Board& board, UiState& ui);

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    void Clear();

  private:
    static bool Step(std::vector<Snapshot>& from, std::vector<Snapshot>& to, Board& board,
                     UiState& ui);
    std::vector<Snapshot> undo_, redo_;
};

} // namespace ombrix
