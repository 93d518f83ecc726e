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
    // Runs `work` (the solver on a copy of the board) and then `done`, which
    // takes the outcome over; `done` must run on the caller's thread.
    using RunFn = std::function<void(std::function<void()> work, std::function<void()> done)>;

    // `solve` defaults to the automatic solver, `run` to running it at once.
    BoardInput(Board& board, UiState& ui, RepaintFn repaint, SolveFn solve = {});

    // A button-down at layout point (X, Y). Ignored while the solver runs.
    void LeftDown(int X, int Y);
    void RightDown(int X, int Y);

    void PushStep(int x, int y, int prev);
    void UndoStep();
    void RestartSolve();

    void SetSolver(SolveFn solve) { solve_ = std::move(solve); }
    // Where the solver runs: the window gives it a worker thread, so that
    // it repaints and can be moved while a hard puzzle is solved.
    void SetRunner(RunFn run) { run_ = std::move(run); }
    // True from "自動解答" until the solver's outcome is on the board. The
    // board shows the waiting message meanwhile and takes no input.
    bool solving() const { return solving_; }

  private:
    Layout layout() const { return Layout(board_, ui_); }
    void ask(RepaintKind kind, LayoutRect rect = {}) { repaint_({kind, rect}); }
    void leftOnCell(int x, int y);
    void rightOnCell(int x, int y);
    void upperButton();
    void lowerButton();

    void startSolve();
    void finishSolve();

    Board& board_;
    UiState& ui_;
    RepaintFn repaint_;
    SolveFn solve_;
    RunFn run_;
    bool solving_ = false;
    Board work_{}; // the board the solver works on while it runs
};

} // namespace ombrix
