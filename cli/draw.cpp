#include "commands.h"

#include <cstdio>

namespace ombrix::cli {

std::string DrawBoard(const Board& board) {
    std::string out;
    char field[8];
    for (int y = 1; y <= board.height; ++y) {
        for (int x = 1; x <= board.width; ++x) {
            const int s = board.state(x, y);
            if (s >= 1 && s <= 48)
                std::snprintf(field, sizeof field, "%4s", ("[" + std::to_string(s) + "]").c_str());
            else if (s > 100 && s <= 148)
                std::snprintf(field, sizeof field, "%3d ", s - 100);
            else if (isBlack(s))
                std::snprintf(field, sizeof field, "  # ");
            else if (s == WhiteDot)
                std::snprintf(field, sizeof field, "  o ");
            else if (s == Undecided)
                std::snprintf(field, sizeof field, "  . ");
            else
                std::snprintf(field, sizeof field, "  ? ");
            out += field;
        }
        while (!out.empty() && out.back() == ' ') out.pop_back();
        out += '\n';
    }
    return out;
}

} // namespace ombrix::cli
