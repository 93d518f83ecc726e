// The subcommands of ombrix-cli. Each returns the process exit status:
// 0 success, 2 bad input (a message on stderr), 1 usage errors.
#pragma once

#include "args.h"
#include "board.h"
#include "uistate.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix::cli {

struct Command {
    const char* name;
    const char* usage; // "solve FILE [--dump]"
    const char* help;  // one or more lines of description
    int (*run)(const Args& args);
};

// The subcommand of that name, or null.
const Command* FindCommand(std::string_view name);

// Reads a puzzle for a subcommand: grid text, or a puzzle file by its .omx
// extension. On failure returns false with a message naming file and reason.
// .omx files are loaded over an empty 10 x 10 board as the editor loads them;
// one that ends early or is refused is an error (the message ends with the
// status 3 text). A grid file gives a fresh board in the edit phase: see
// SetFreshUiState.
bool LoadPuzzle(const std::string& path, Board& board, UiState& ui, std::string& error);

// True when `path` names a puzzle file (.omx, any case); else it is grid text.
bool IsPuzzleFilePath(const std::string& path);

// The state of a board just set up in the edit phase and painted once:
// phase 0, layoutState 2, selectedNumber 1, no step history (all entries 0),
// undecidedCount 0, status 0.
void SetFreshUiState(Board& board, UiState& ui);

// Saves `board` as the editor would right after the automatic solver ran:
// phase 3, layoutState 2, selectedNumber 1, no step history. `ui` is updated
// to match. On failure returns false with a message naming file and reason.
bool SaveSolvedPuzzle(const std::string& path, const Board& board, UiState& ui, std::string& error);

// For a command of the form `NAME IN OUT`: checks the arguments and loads IN.
// Returns 0 when `out` is set and the puzzle is loaded, else the exit status
// (1 bad usage, 2 unreadable puzzle) after a message on stderr.
int LoadInputForOutput(const Args& args, const char* name, Board& board, UiState& ui,
                       std::string& out);

// Prints "ombrix-cli: ERROR" on stderr and returns 2, the exit status of a
// file that cannot be read, parsed or written.
int FileError(const std::string& error);

// Writes `bytes` to `path` through the safe writer; 0, or 2 after a message.
int WriteOutput(const std::string& path, std::span<const std::uint8_t> bytes);
int WriteOutput(const std::string& path, std::string_view text);

// A plain-text drawing of the board for a person: clues in brackets, area
// cells with their number, '#' black, 'o' white dot, '.' undecided.
std::string DrawBoard(const Board& board);

int RunSolve(const Args& args);
int RunConvert(const Args& args);
int RunExportText(const Args& args);
int RunGenerate(const Args& args);
int RunCheck(const Args& args);
int RunHint(const Args& args);
int RunAnalyze(const Args& args);
int RunCollection(const Args& args);
// generate --unique, after the options common to both forms are read.
int RunGenerateUnique(const ParsedArgs& parsed, int ruleSet, int width, int height,
                      std::uint64_t seed, const std::string& out);
#ifdef OMBRIX_HAVE_QT
int RunPrint(const Args& args);  // needs Qt Gui
int RunRender(const Args& args); // needs Qt Gui
#endif

} // namespace ombrix::cli
