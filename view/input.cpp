#include "input.h"

#include "solver.h"

#include <algorithm>

namespace ombrix {

BoardInput::BoardInput(Board& board, UiState& ui, RepaintFn repaint, SolveFn solve)
    : board_(board), ui_(ui), repaint_(std::move(repaint)), solve_(std::move(solve)) {
    if (!solve_) solve_ = [](Board& b) { AutoSolve(b); };
    run_ = [](std::function<void()> work, std::function<void()> done) {
        work();
        done();
    };
}

void BoardInput::LeftDown(int X, int Y) {
    if (solving_) return;
    const Layout l = layout();
    const Hit hit = HitTest(l, X, Y);
    switch (hit.kind) {
    case HitKind::BarNumber:
        ui_.selectedNumber = static_cast<std::uint8_t>(hit.number);
        ask(RepaintKind::Region, l.barRegion());
        break;
    case HitKind::Cell:
        leftOnCell(hit.x, hit.y);
        break;
    case HitKind::LowerButton:
        lowerButton();
        break;
    case HitKind::UpperButton:
        upperButton();
        break;
    case HitKind::Nothing:
        break;
    }
}

void BoardInput::RightDown(int X, int Y) {
    if (solving_) return;
    const Hit hit = HitTest(layout(), X, Y);
    if (hit.kind == HitKind::Cell) rightOnCell(hit.x, hit.y);
}

void BoardInput::ShiftLeftDown(int X, int Y) {
    if (solving_) return;
    const Hit hit = HitTest(layout(), X, Y);
    if (hit.kind == HitKind::Cell)
        TypeDot(hit.x, hit.y);
    else
        LeftDown(X, Y);
}

void BoardInput::TypeNumber(int x, int y, int n, bool amend) {
    if (solving_ || !board_.isPlayable(x, y) || n < 1 || n > sprites::kMaxNumber) return;
    if (n <= std::min<int>(ui_.barLength, 40) && ui_.selectedNumber != n) {
        ui_.selectedNumber = static_cast<std::uint8_t>(n);
        ask(RepaintKind::Region, layout().barRegion());
    }
    if (ui_.phase == PhaseEdit)
        setClue(x, y, static_cast<std::uint8_t>(n));
    else
        setByPlayer(x, y, static_cast<std::uint8_t>(AreaCellBase + n), amend);
}

void BoardInput::TypeBlack(int x, int y) {
    if (solving_ || !board_.isPlayable(x, y)) return;
    if (ui_.phase != PhaseEdit)
        setByPlayer(x, y, Black);
    else if (board_.ruleSet == RuleSetTandrel)
        setClue(x, y, GivenBlack);
}

void BoardInput::TypeDot(int x, int y) {
    if (solving_ || !board_.isPlayable(x, y) || ui_.phase == PhaseEdit) return;
    setByPlayer(x, y, WhiteDot);
}

void BoardInput::TypeClear(int x, int y) {
    if (solving_ || !board_.isPlayable(x, y)) return;
    if (ui_.phase == PhaseEdit)
        setClue(x, y, Undecided);
    else
        setByPlayer(x, y, Undecided);
}

void BoardInput::PlaceByPlayer(int x, int y, std::uint8_t state) {
    if (solving_ || !board_.isPlayable(x, y) || ui_.phase == PhaseEdit) return;
    setByPlayer(x, y, state);
}

void BoardInput::setClue(int x, int y, std::uint8_t state) {
    std::uint8_t& s = board_.state(x, y);
    if (s == state) return;
    s = state;
    ask(RepaintKind::Region, layout().cellBox(x, y));
}

void BoardInput::setByPlayer(int x, int y, std::uint8_t state, bool amend) {
    std::uint8_t& s = board_.state(x, y);
    // Clues and given black cells are the puzzle itself.
    if ((s >= 1 && s <= sprites::kMaxNumber) || s == GivenBlack || s == state) return;
    if (!amend) PushStep(x, y, s);
    s = state;
    if (ui_.phase == PhaseSolveStart) {
        ui_.phase = PhaseSolving;
        ask(RepaintKind::WholeView);
    } else {
        ask(RepaintKind::Region, layout().boardRegion());
    }
}

void BoardInput::leftOnCell(int x, int y) {
    std::uint8_t& s = board_.state(x, y);
    if (s != Undecided) return;
    if (ui_.phase == PhaseEdit) {
        s = ui_.selectedNumber;
        ask(RepaintKind::Region, layout().cellBox(x, y));
        return;
    }
    s = static_cast<std::uint8_t>(ui_.selectedNumber + AreaCellBase);
    PushStep(x, y, Undecided);
    if (ui_.phase == PhaseSolveStart) {
        ui_.phase = PhaseSolving;
        ask(RepaintKind::WholeView);
    } else {
        ask(RepaintKind::Region, layout().cellBox(x, y));
    }
}

void BoardInput::rightOnCell(int x, int y) {
    std::uint8_t& s = board_.state(x, y);
    if (ui_.phase == PhaseEdit) {
        if (s != Undecided)
            s = Undecided;
        else if (board_.ruleSet == RuleSetTandrel)
            s = GivenBlack;
        else
            return;
        ask(RepaintKind::Region, layout().cellBox(x, y));
        return;
    }
    if (s == Undecided) {
        s = Black;
        PushStep(x, y, Undecided);
        if (ui_.phase == PhaseSolveStart) {
            ui_.phase = PhaseSolving;
            ask(RepaintKind::WholeView);
        } else {
            ask(RepaintKind::Region, layout().boardRegion());
        }
    } else if (s >= WhiteDot && s != GivenBlack) {
        // Clues and given black cells are the puzzle itself: only the edit
        // phase changes them.
        PushStep(x, y, s);
        s = Undecided;
        ask(RepaintKind::Region, layout().boardRegion());
    }
}

void BoardInput::upperButton() {
    switch (ui_.phase) {
    case PhaseEdit:
    case PhaseAutoSolved:
        ResetBoard(board_, ui_);
        ask(RepaintKind::WholeView);
        break;
    case PhaseSolveStart:
        startSolve();
        break;
    case PhaseSolving:
        UndoStep();
        break;
    default:
        break;
    }
}

void BoardInput::lowerButton() {
    switch (ui_.phase) {
    case PhaseEdit:
        ui_.phase = PhaseSolveStart;
        ui_.historyCount = 0;
        ask(RepaintKind::WholeView);
        break;
    case PhaseSolveStart:
        board_.status = StatusNone;
        ui_.phase = PhaseEdit;
        ask(RepaintKind::WholeView);
        break;
    case PhaseSolving:
    case PhaseAutoSolved:
        RestartSolve();
        break;
    default:
        ask(RepaintKind::WholeView);
        break;
    }
}

void BoardInput::startSolve() {
    // The waiting message is on the screen before the solver starts (painted
    // now, in case the solver keeps this thread), and stays on the board the
    // window paints until the outcome replaces it: the solver works on a
    // copy whose status starts at 0.
    board_.status = StatusSolving;
    ask(RepaintKind::WholeViewNow);
    solving_ = true;
    work_ = board_;
    work_.status = StatusNone;
    run_([this] { solve_(work_); }, [this] { finishSolve(); });
}

void BoardInput::finishSolve() {
    board_ = work_;
    ui_.phase = PhaseAutoSolved; // whatever the outcome
    solving_ = false;
    ask(RepaintKind::WholeView);
}

void BoardInput::PushStep(int x, int y, int prev) {
    // A count outside 0..199 can come only from a damaged puzzle file; start
    // the history afresh rather than write outside the arrays.
    if (ui_.historyCount < 0 || ui_.historyCount >= kHistorySize) ui_.historyCount = 0;
    const int i = ui_.historyCount;
    ui_.historyX[i] = static_cast<std::uint8_t>(x);
    ui_.historyY[i] = static_cast<std::uint8_t>(y);
    ui_.historyPrev[i] = static_cast<std::uint8_t>(prev);
    ui_.historyCount = static_cast<std::int16_t>(i + 1);
    if (ui_.historyCount == kHistorySize) {
        constexpr int kKeep = kHistorySize / 2;
        for (int j = 0; j < kKeep; ++j) {
            ui_.historyX[j] = ui_.historyX[j + kKeep];
            ui_.historyY[j] = ui_.historyY[j + kKeep];
            ui_.historyPrev[j] = ui_.historyPrev[j + kKeep];
        }
        ui_.historyCount = kKeep;
    }
}

void BoardInput::UndoStep() {
    if (ui_.historyCount <= 0) return;
    if (ui_.historyCount > kHistorySize) {
        ui_.historyCount = 0; // damaged count from a file: nothing to take back
        return;
    }
    const int i = --ui_.historyCount;
    const int x = ui_.historyX[i], y = ui_.historyY[i];
    // Coordinates from a damaged file that lie off the board are skipped.
    if (board_.isPlayable(x, y)) board_.state(x, y) = ui_.historyPrev[i];
    ask(RepaintKind::Region, layout().boardRegion());
}

void BoardInput::RestartSolve() {
    ClearPainted(board_);
    ui_.phase = PhaseSolveStart;
    ui_.historyCount = 0;
    ask(RepaintKind::WholeView);
}

} // namespace ombrix
