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

bool TwoPaths(const char* name, const char* expected, const Args& args, std::string& in,
              std::string& out) {
    std::vector<std::string> paths;
    for (const std::string& a : args) {
        if (a.size() > 1 && a[0] == '-') {
            std::cerr << "ombrix-cli " << name << ": unknown option " << a << "\n";
            return false;
        }
        paths.push_back(a);
    }
    if (paths.size() != 2) {
        std::cerr << "ombrix-cli " << name << ": expected " << expected << "\n";
        return false;
    }
    in = paths[0];
    out = paths[1];
    return true;
}

int LoadInputForOutput(const Args& args, const char* name, const char* usage, Board& board,
                       UiState& ui, std::string& out) {
    std::string in, error;
    if (!TwoPaths(name, usage, args, in, out)) return 1;
    if (!LoadPuzzle(in, board, ui, error)) {
        std::cerr << "ombrix-cli: " << error << "\n";
        return 2;
    }
    return 0;
}

} // namespace ombrix::cli
