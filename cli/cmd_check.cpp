// ombrix-cli check: the answer check of a puzzle as it stands.
#include "check.h"
#include "commands.h"

#include <iostream>

namespace ombrix::cli {

int RunCheck(const Args& args) {
    if (args.size() != 1 || (!args[0].empty() && args[0][0] == '-')) {
        std::cerr << "usage: ombrix-cli check PUZZLE\n";
        return 1;
    }
    Board board;
    UiState ui;
    std::string error;
    if (!LoadPuzzle(args[0], board, ui, error)) {
        std::cerr << "ombrix-cli check: " << error << "\n";
        return 2;
    }
    const CheckResult result = CheckBoard(board);
    for (const Finding& f : result.findings) {
        std::cout << ViolationName(f.kind);
        for (auto [x, y] : f.cells)
            std::cout << ' ' << x << ',' << y;
        std::cout << '\n';
    }
    if (result.ok()) std::cout << "ok\n";
    if (result.solved()) std::cout << "solved\n";
    return 0;
}

} // namespace ombrix::cli
