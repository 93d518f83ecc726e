#include "commands.h"

namespace ombrix::cli {

namespace {

// One cell as a field four characters wide, right-aligned.
std::string field(const std::string& text, bool trailingSpace) {
    std::string f = text + (trailingSpace ? " " : "");
    return f.size() < 4 ? std::string(4 - f.size(), ' ') + f : f;
}

} // namespace

std::string DrawBoard(const Board& board) {
    std::string out;
    for (int y = 1; y <= board.height; ++y) {
        std::string row;
        for (int x = 1; x <= board.width; ++x) {
            const int s = board.state(x, y);
            if (s >= 1 && s <= 48) {
                std::string clue = "[";
                clue += std::to_string(s);
                clue += ']';
                row += field(clue, false);
            } else if (s > 100 && s <= 148) {
                row += field(std::to_string(s - 100), true);
            } else if (isBlack(s)) {
                row += field("#", true);
            } else if (s == WhiteDot) {
                row += field("o", true);
            } else if (s == Undecided) {
                row += field(".", true);
            } else {
                row += field("?", true);
            }
        }
        while (!row.empty() && row.back() == ' ')
            row.pop_back();
        out += row;
        out += '\n';
    }
    return out;
}

} // namespace ombrix::cli
