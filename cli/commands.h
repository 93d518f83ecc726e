// The subcommands of ombrix-cli. Each returns the process exit status:
// 0 success, 2 bad input (a message on stderr), 1 usage errors.
#pragma once

#include "board.h"
#include "uistate.h"

#include <string>
#include <vector>

namespace ombrix::cli {

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage; // "solve FILE [--dump]"
    const char* help;  // one or more lines of description
    int (*run)(const Args& args);
};

// Reads a puzzle for a subcommand: grid text, or a puzzle file by its .omx
// extension. On failure returns false with a message naming file and reason.
bool LoadPuzzle(const std::string& path, Board& board, UiState& ui, std::string& error);

// A plain-text drawing of the board for a person: clues in brackets, area
// cells with their number, '#' black, 'o' white dot, '.' undecided.
std::string DrawBoard(const Board& board);

int RunSolve(const Args& args);
#ifdef OMBRIX_HAVE_QT
int RunPrint(const Args& args); // needs Qt Gui
#endif

} // namespace ombrix::cli
