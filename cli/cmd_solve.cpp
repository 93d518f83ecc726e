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
    std::string path, outPath;
    bool dump = false, trace = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--dump")
            dump = true;
        else if (a == "--trace")
            trace = true;
        else if (a == "--out") {
            if (i + 1 == args.size() || !IsPuzzleFilePath(args[i + 1])) {
                std::cerr << "ombrix-cli solve: --out needs a puzzle file name ending in .omx\n";
                return 1;
            }
            outPath = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            std::cerr << "ombrix-cli solve: unknown option " << a << "\n";
            return 1;
        } else if (path.empty())
            path = a;
        else {
            std::cerr << "ombrix-cli solve: more than one puzzle named\n";
            return 1;
        }
    }
    if (path.empty()) {
        std::cerr << "ombrix-cli solve: no puzzle named\n";
        return 1;
    }
    static Board board;
    static UiState ui;
    std::string error;
    if (!LoadPuzzle(path, board, ui, error)) {
        std::cerr << "ombrix-cli: " << error << "\n";
        return 2;
    }
    board.status = StatusNone;
    PrintTrace printer;
    auto solver = std::make_unique<Solver>(board, trace && !dump ? &printer : nullptr);
    solver->AutoSolve();
    if (!outPath.empty() && !SaveSolvedPuzzle(outPath, board, ui, error)) {
        std::cerr << "ombrix-cli: " << error << "\n";
        return 2;
    }

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
