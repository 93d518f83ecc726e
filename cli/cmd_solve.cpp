// ombrix-cli solve: run the automatic solver once on a puzzle.
#include "commands.h"
#include "solver.h"
#include "status_text.h"

#include <iostream>
#include <memory>

namespace ombrix::cli {

namespace {

// Prints each rule that changed the board, for --trace.
struct PrintTrace : SolveTrace {
    int trials = 0;
    void afterRule(const char* rule, const Board& board) override {
        if (board.changed != lastChanged || board.status != lastStatus)
            std::cout << "  " << rule << ": undecided " << board.undecidedCount
                      << (board.status == StatusContradiction ? " (contradiction)" : "") << "\n";
        lastChanged = board.changed;
        lastStatus = board.status;
    }
    void afterTrial(const Board& board) override {
        ++trials;
        std::cout << "trial search " << trials << ": status " << int(board.status) << ", undecided "
                  << board.undecidedCount << "\n";
        lastChanged = 0;
    }
    std::uint16_t lastChanged = 0;
    std::uint8_t lastStatus = 0;
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
