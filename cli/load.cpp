#include "commands.h"
#include "grid_text.h"
#include "puzzle_file.h"
#include "status_text.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <sstream>

namespace ombrix::cli {

bool ReadWholeFile(const std::string& path, std::string& data, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open for reading";
        return false;
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) {
        error = path + ": read error";
        return false;
    }
    data = ss.str();
    return true;
}

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
    std::string data;
    if (!ReadWholeFile(path, data, error)) return false;
    GridTextError gridError;
    if (!ParseGridText(data, board, gridError)) {
        error = path + ": " + gridError.describe();
        return false;
    }
    SetFreshUiState(board, ui);
    return true;
}

int LoadInputForOutput(const Args& args, const char* name, const char* usage, Board& board,
                       UiState& ui, std::string& out) {
    std::vector<std::string> paths;
    for (const std::string& a : args) {
        if (!a.empty() && a[0] == '-' && a != "-") {
            std::cerr << "ombrix-cli " << name << ": unknown option " << a << "\n";
            return 1;
        }
        paths.push_back(a);
    }
    if (paths.size() != 2) {
        std::cerr << "ombrix-cli " << name << ": expected " << usage << "\n";
        return 1;
    }
    std::string error;
    if (!LoadPuzzle(paths[0], board, ui, error)) {
        std::cerr << "ombrix-cli: " << error << "\n";
        return 2;
    }
    out = paths[1];
    return 0;
}

} // namespace ombrix::cli
