// ombrix-cli hint: the next step from a puzzle as it stands.
#include "args.h"
#include "commands.h"
#include "hint.h"

#include <iostream>

namespace ombrix::cli {

namespace {

const char* KindWord(HintKind kind) {
    switch (kind) {
    case HintKind::Rule:
        return "rule";
    case HintKind::Error:
        return "error";
    case HintKind::Trial:
        return "trial";
    case HintKind::Solved:
        return "solved";
    case HintKind::None:
        break;
    }
    return "none";
}

const char* StateWord(std::uint8_t s) {
    return isBlack(s) ? "black" : s == Undecided ? "undecided" : "white";
}

} // namespace

int RunHint(const Args& args) {
    ParsedArgs parsed;
    if (!ParseArgs("hint", args, {}, 1, 1, parsed)) return 1;
    Board board;
    UiState ui;
    std::string error;
    if (!LoadPuzzle(parsed.names[0], board, ui, error)) return FileError(error);
    const Hint hint = FindHint(board);
    std::cout << KindWord(hint.kind);
    if (!hint.name.empty()) std::cout << ' ' << hint.name;
    std::cout << "\nwhy " << hint.why << '\n';
    for (const HintCell& c : hint.cells)
        std::cout << c.x << ' ' << c.y << ' ' << StateWord(c.state) << '\n';
    return 0;
}

} // namespace ombrix::cli
