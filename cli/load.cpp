#include "commands.h"
#include "grid_text.h"

#include <fstream>
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

bool LoadPuzzle(const std::string& path, Board& board, UiState& ui, std::string& error) {
    std::string data;
    if (!ReadWholeFile(path, data, error)) return false;
    (void)ui;
    GridTextError gridError;
    if (!ParseGridText(data, board, gridError)) {
        error = path + ": " + gridError.describe();
        return false;
    }
    return true;
}

} // namespace ombrix::cli
