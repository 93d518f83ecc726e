// What a mouse click does: the left- and right-click dispatch of every phase,
// the step history, and the repaint region each action asks for. Handlers
// never draw: they change the Board and the UiState and ask the owner for a
// repaint. Plain C++, no Qt.
#pragma once

#include "layout.h"

#include <functional>

namespace ombrix {

enum class RepaintKind {
    WholeView,    // invalidate the whole view
    Region,       // invalidate one layout rectangle
    WholeViewNow, // erase and paint the whole view before returning
};

struct RepaintRequest {
    RepaintKind kind = RepaintKind::WholeView;
    LayoutRect rect{};
};

class BoardInput {
  public:
    using RepaintFn = std::function<void(const RepaintRequest&)>;
    using SolveFn = std::function<void(Board&)>;

    // `solve` defaults to the automatic solver.
    BoardInput(Board& board, UiState& ui, RepaintFn repaint, SolveFn solve = {});

    // A button-down at layout point (X, Y).
    void LeftDown(int X, int Y);
    void RightDown(int X, int Y);

    void PushStep(int x, int y, int prev);
    void UndoStep();
    void RestartSolve();

    void SetSolver(SolveFn solve) { solve_ = std::move(solve); }

  private:
    Layout layout() const { return Layout(board_, ui_); }
    void ask(RepaintKind kind, LayoutRect rect = {}) { repaint_({kind, rect}); }
    void leftOnCell(int x, int y);
    void rightOnCell(int x, int y);
    void upperButton();
    void lowerButton();

    Board& board_;
    UiState& ui_;
    RepaintFn repaint_;
    SolveFn solve_;
};

} // namespace ombrix
