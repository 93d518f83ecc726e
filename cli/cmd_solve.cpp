// ombrix-cli solve: run the automatic solver once on a puzzle.
#include "commands.h"
#include "solver.h"
#include "status_text.h"

#include <iostream>
#include <memory>

namespace ombrix::cli {

namespace {

// For --trace: each rule run of the driver that changed a cell or met a
// contradiction, with the cells it changed (x,y:before>after in state codes),
// and each decision of the trial search. The hypotheses' own rule runs are
// not printed: their boards are thrown away.
struct PrintTrace : SolveTrace {
    int trials = 0;
    bool inTrial = false;
    std::unique_ptr<Board> start = std::make_unique<Board>();

    static void printCell(int x, int y, int before, int after) {
        std::cout << ' ' << x << ',' << y << ':' << before << '>' << after;
    }
    void afterRule(const RuleRun& run, const Board& board) override {
        if (inTrial || (run.changes.empty() && board.status != StatusContradiction)) return;
        std::cout << "  " << run.name << ": undecided " << board.undecidedCount
                  << (board.status == StatusContradiction ? " (contradiction)" : "") << ":";
        for (const CellChange& c : run.changes)
            printCell(c.x, c.y, c.before, c.after);
        std::cout << "\n";
    }
    bool wantsChanges() const override { return !inTrial; }
    void beforeTrial(const Board& board) override {
        inTrial = true;
        *start = board;
    }
    void afterTrial(const Board& board) override {
        inTrial = false;
        ++trials;
        std::cout << "trial search " << trials << ": status " << int(board.status) << ", undecided "
                  << board.undecidedCount;
        // A decision is one cell; other outcomes may fill the board.
        if (board.status == StatusNone) {
            std::cout << ":";
            for (int x = 1; x <= board.width; ++x)
                for (int y = 1; y <= board.height; ++y)
                    if (start->state(x, y) != board.state(x, y))
                        printCell(x, y, start->state(x, y), board.state(x, y));
        }
        std::cout << "\n";
    }
};

} // namespace

int RunSolve(const Args& args) {
    ParsedArgs parsed;
    if (!ParseArgs("solve", args, {{"--dump", false}, {"--trace", false}, {"--out", true}}, 1, 1,
                   parsed))
        return 1;
    const bool dump = parsed.has("--dump"), trace = parsed.has("--trace");
    // The dump is read by programs; a trace inside it would spoil it.
    if (dump && trace) return UsageError("solve", "--dump and --trace cannot be combined");
    const std::string outPath = parsed.has("--out") ? parsed.value("--out") : "";
    if (parsed.has("--out") && !IsPuzzleFilePath(outPath))
        return UsageError("solve", "--out needs a puzzle file name ending in .omx");
    static Board board;
    static UiState ui;
    std::string error;
    if (!LoadPuzzle(parsed.names[0], board, ui, error)) return FileError(error);
    board.status = StatusNone;
    PrintTrace printer;
    auto solver = std::make_unique<Solver>(board, trace ? &printer : nullptr);
    solver->AutoSolve();
    if (!outPath.empty() && !SaveSolvedPuzzle(outPath, board, ui, error)) return FileError(error);

    if (dump) {
        std::cout << "status " << int(board.status) << "\n";
        std::cout << "alt " << board.altCellX << " " << board.altCellY << "\n";
        std::cout << "undecided " << board.undecidedCount << "\n";
        for (int y = 1; y <= board.height; ++y) {
            for (int x = 1; x <= board.width; ++x)
                std::cout << (x > 1 ? " " : "") << int(board.state(x, y));
            std::cout << "\n";
        }
        return 0;
    }
    const std::string message = StatusMessageTrimmed(board.status);
    std::cout << (board.status == StatusNone ? std::string("solved") : message) << "\n";
    std::cout << DrawBoard(board);
    if (board.status == StatusSecondSolution)
        std::cout << "circled cell: column " << board.altCellX << ", row " << board.altCellY
                  << " (black in the other solution)\n";
    return 0;
}

} // namespace ombrix::cli
