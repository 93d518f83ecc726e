// ombrix-cli hint: the next step from a puzzle as it stands.
#include "args.h"
#include "commands.h"
#include "hint.h"

#include <iostream>
#include <string>

namespace ombrix::cli {

namespace {

// The word after "rule": the rule's own name, or what stands in its place.
std::string RuleWord(const Hint& hint) {
    switch (hint.kind) {
    case HintKind::Rule:
        return hint.name;
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

} // namespace

int RunHint(const Args& args) {
    ParsedArgs parsed;
    if (!ParseArgs("hint", args, {}, 1, 1, parsed)) return 1;
    Board board;
    UiState ui;
    std::string error;
    if (!LoadPuzzle(parsed.names[0], board, ui, error)) return FileError(error);
    const Hint hint = FindHint(board);
    std::cout << "rule " << RuleWord(hint) << "\nwhy " << hint.why << '\n';
    for (const HintCell& c : hint.cells)
        std::cout << c.x << ' ' << c.y << ' ' << int(c.state) << '\n';
    return 0;
}

} // namespace ombrix::cli
