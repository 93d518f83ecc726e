// The hint engine. The solver works on a copy of the player's board: its
// clues set up as for the automatic solver, then every cell the player has
// decided marked black or white, then one deduction loop with a trace that
// keeps the first rule run deciding a cell the player has not.
#include "hint.h"

#include "check.h"
#include "solver.h"
#include "status_text.h"

#include <memory>

namespace ombrix {

namespace {

// Keeps the first rule run that decides an undecided cell.
struct FirstDecision : SolveTrace {
    bool found = false;
    Rule rule{};
    std::vector<HintCell> cells;

    void afterRule(const RuleRun& run, const Board&) override {
        if (found) return;
        for (const CellChange& c : run.changes)
            if (c.before == Undecided) cells.push_back({c.x, c.y, PlayerState(c.after)});
        found = !cells.empty();
        rule = run.rule;
    }
    bool wantsChanges() const override { return !found; }
    void afterTrial(const Board&) override {}

    // What the player would put there: a black cell, a white dot or the
    // area number.
    static std::uint8_t PlayerState(std::uint8_t s) { return isBlack(s) ? std::uint8_t{Black} : s; }
};

Hint Simple(HintKind kind, std::string name, std::string why) {
    Hint h;
    h.kind = kind;
    h.name = std::move(name);
    h.why = std::move(why);
    return h;
}

// Sets the solver's board up from the clues and marks the player's decided
// cells on it; `setup` gets the cells the clues alone decide that the player
// has not. False when the board is contradictory or its clues add up to more
// than its cells (the status says which).
bool SetUp(Solver& solver, Board& board, const Board& player, std::vector<HintCell>* setup) {
    solver.PrepareBoard();
    if (board.status != StatusNone) return false;
    for (int x = 1; x <= board.width; ++x) {
        for (int y = 1; y <= board.height; ++y) {
            const std::uint8_t p = player.state(x, y);
            if (setup && p == Undecided && board.state(x, y) != Undecided)
                setup->push_back({x, y, Black});
            if (isBlack(p))
                solver.MarkBlack(x, y);
            else if (isPainted(p))
                solver.MarkWhite(x, y); // a white dot or an area number
        }
    }
    return board.status == StatusNone;
}

Hint Contradiction() {
    return Simple(HintKind::Error, "contradiction",
                  "このままでは矛盾します。どこかに間違いがあります");
}

} // namespace

const char* RuleHintSentence(Rule rule) {
    switch (rule) {
    case Rule::AreaGap:
        return "別々の領域に挟まれたマスは黒になります";
    case Rule::AreaDiagonal:
        return "斜めに接する別々の領域の間は黒になります";
    case Rule::BlackDeadEnd:
        return "行き止まりの黒マスは、開いている一方へ延びます";
    case Rule::WhiteDeadEnd:
        return "行き止まりの白マスは、開いている一方へ広がります";
    case Rule::ClueTwo:
        return "２の領域に入りきらないマスは黒になります";
    case Rule::UndecidedCell:
        return "まわりのマスだけで色が決まるマスがあります";
    case Rule::WhiteDotJoin:
        return "白マスは届く領域に入り、完成すれば黒で囲まれます";
    case Rule::BlackConnected:
        return "黒マスはすべてつながり、その数も決まっています";
    case Rule::BlackBlocks:
        return "2×2の黒マスはできません";
    case Rule::AreaGrowth:
        return "出口が一つの領域は広がり、完成すれば黒で囲まれます";
    case Rule::BlackCount:
        return "黒マスの数は、マス数から数字の合計を引いた数です";
    case Rule::WhiteDotEscape:
        return "領域から離れた白マスは、ただ一つの出口へ延びます";
    case Rule::Unreachable:
        return "どの数字の領域も届かないマスは黒になります";
    case Rule::AreaReach:
        return "届くマスが数字と同じ数なら、すべてその領域です";
    case Rule::AreaFragment:
        return "数字と切れた領域は、ただ一つの出口へ延びます";
    }
    return "";
}

Hint FindHint(const Board& player) {
    const CheckResult check = CheckBoard(player);
    if (!check.ok()) {
        const Violation first = check.findings.front().kind;
        Hint h = Simple(HintKind::Error, ViolationName(first), ViolationMessage(first));
        for (const Finding& f : check.findings)
            if (f.kind == first)
                for (auto [x, y] : f.cells)
                    h.cells.push_back({x, y, player.state(x, y)});
        return h;
    }
    if (check.solved()) return Simple(HintKind::Solved, "", "正解です！");

    // The board and the solver's storage are too large for the stack.
    auto board = std::make_unique<Board>(player);
    FirstDecision trace;
    auto solver = std::make_unique<Solver>(*board, &trace);
    Hint setup = Simple(HintKind::Rule, kSetupStepName, kSetupSentence);
    if (!SetUp(*solver, *board, player, &setup.cells))
        return board->status == StatusContradiction
                   ? Contradiction()
                   : Simple(HintKind::None, "", StatusMessageTrimmed(board->status));

    // The whole deduction runs, so that a board it finds contradictory gets
    // no hint built on the mistake.
    solver->RunDeduction();
    if (board->status == StatusContradiction) return Contradiction();
    if (!setup.cells.empty()) return setup;
    if (trace.found) {
        Hint h = Simple(HintKind::Rule, Solver::kRules[index(trace.rule)].name,
                        RuleHintSentence(trace.rule));
        h.cells = std::move(trace.cells);
        return h;
    }

    // The rules are stuck: the trial search decides one cell. It runs in
    // the driver, without a trace, which would keep it from skipping rules
    // that cannot act; its rule passes decide nothing before it.
    *board = player;
    solver = std::make_unique<Solver>(*board);
    SetUp(*solver, *board, player, nullptr);
    solver->SolveOn(1);
    if (board->status == StatusSecondSolution)
        return Simple(HintKind::None, "", "ここから先は答えが一つに決まりません");
    if (board->status != StatusNone)
        return Simple(HintKind::None, "", "これ以上決められるマスが見つかりません");
    Hint h = Simple(HintKind::Trial, "", "");
    for (int x = 1; x <= board->width; ++x)
        for (int y = 1; y <= board->height; ++y)
            if (player.state(x, y) == Undecided && board->state(x, y) != Undecided)
                h.cells.push_back({x, y, FirstDecision::PlayerState(board->state(x, y))});
    if (h.cells.empty())
        return Simple(HintKind::None, "", "これ以上決められるマスが見つかりません");
    h.why = isBlack(h.cells.front().state) ? "仮にこのマスを白とすると矛盾するので、黒です"
                                           : "仮にこのマスを黒とすると矛盾するので、白です";
    return h;
}

} // namespace ombrix
