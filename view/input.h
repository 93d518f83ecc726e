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
    // Left button with Shift: a white dot on a cell in the solve phases;
    // anywhere else a plain left button-down.
    void ShiftLeftDown(int X, int Y);

    // Keyboard input at playable cell (x, y), under the rules of the clicks:
    // the edit phase changes clues and given black cells, the solve phases
    // only the player's own cells, each change a step of the history.
    // TypeNumber puts number n (1..48): a clue, or an area number; `amend`
    // replaces the number just typed there (a second digit) without a step
    // of its own. The selected number follows when the bar shows it.
    void TypeNumber(int x, int y, int n, bool amend = false);
    void TypeBlack(int x, int y); // a given black cell under Tandrel when editing
    void TypeDot(int x, int y);   // solve phases only
    void TypeClear(int x, int y);
    // A cell put as the player would put it (a hint applied): solve phases
    // only, a step of the history.
    void PlaceByPlayer(int x, int y, std::uint8_t state);

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
    void setClue(int x, int y, std::uint8_t state);
    void setByPlayer(int x, int y, std::uint8_t state, bool amend = false);

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
