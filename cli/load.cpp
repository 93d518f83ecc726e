#include "commands.h"
#include "grid_text.h"
#include "puzzle_file.h"
#include "safe_write.h"
#include "status_text.h"

#include <algorithm>
#include <cctype>
#include <iostream>

namespace ombrix::cli {

bool IsPuzzleFilePath(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".omx";
}

void SetFreshUiState(Board& board, UiState& ui) {
    ui = UiState{}; // edit phase, selected number 1, no step history
    ui.layoutState = LayoutReady;
    board.undecidedCount = 0;
    board.status = StatusNone;
}

bool LoadPuzzle(const std::string& path, Board& board, UiState& ui, std::string& error) {
    if (IsPuzzleFilePath(path)) {
        // Load over the board the editor starts with, an empty 10 x 10 one.
        board.width = 10;
        board.height = 10;
        ResetBoard(board, ui);
        ui.layoutState = LayoutReady;
        if (LoadPuzzleFile(path, board, ui, error) != ReadKind::Complete) {
            error += " (status 3: " + StatusMessageTrimmed(StatusUnreadable) + ")";
            return false;
        }
        return true;
    }
    // A grid of 31 x 45 clues is a few kilobytes; anything near the limit is
    // not a puzzle.
    constexpr std::size_t kLimit = 1 << 20;
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(path, kLimit + 1, bytes, error)) return false;
    if (bytes.size() > kLimit) {
        error = path + ": too large for a grid text puzzle";
        return false;
    }
    GridTextError gridError;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!ParseGridText(text, board, gridError)) {
        error = path + ": " + gridError.describe();
        return false;
    }
    SetFreshUiState(board, ui);
    return true;
}

int LoadInputForOutput(const Args& args, const char* name, Board& board, UiState& ui,
                       std::string& out) {
    ParsedArgs parsed;
    if (!ParseArgs(name, args, {}, 2, 2, parsed)) return 1;
    out = parsed.names[1];
    std::string error;
    if (!LoadPuzzle(parsed.names[0], board, ui, error)) return FileError(error);
    return 0;
}

int FileError(const std::string& error) {
    std::cerr << "ombrix-cli: " << error << "\n";
    return 2;
}

int WriteOutput(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::string error;
    return WriteFileAtomically(path, bytes, error) ? 0 : FileError(error);
}

int WriteOutput(const std::string& path, std::string_view text) {
    return WriteOutput(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

} // namespace ombrix::cli
