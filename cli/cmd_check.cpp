// ombrix-cli check: the answer check of a puzzle as it stands.
#include "check.h"
#include "args.h"
#include "commands.h"

#include <iostream>

namespace ombrix::cli {

int RunCheck(const Args& args) {
    ParsedArgs parsed;
    if (!ParseArgs("check", args, {}, 1, 1, parsed)) return 1;
    Board board;
    UiState ui;
    std::string error;
    if (!LoadPuzzle(parsed.names[0], board, ui, error)) return FileError(error);
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
