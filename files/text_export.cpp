#include "text_export.h"

#include <cstdio>

namespace ombrix {

namespace {

void Append(std::vector<std::uint8_t>& out, std::string_view piece) {
    out.insert(out.end(), piece.begin(), piece.end());
}

// A horizontal line: its left end, W - 1 joints, the last cell's edge with
// the right end.
void AppendRule(std::vector<std::uint8_t>& out, int width, std::string_view left,
                std::string_view joint, std::string_view right) {
    Append(out, left);
    for (int x = 2; x <= width; ++x)
        Append(out, joint);
    Append(out, right);
    Append(out, textpiece::kLineEnd);
}

void AppendCell(std::vector<std::uint8_t>& out, int state) {
    int number = 0;
    if (state >= 1 && state <= 47)
        number = state;
    else if (state >= 101 && state <= 147)
        number = state - 100;
    if (number > 0) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%2d", number);
        Append(out, digits);
        Append(out, textpiece::kNumberEdge);
    } else if (isBlack(state)) {
        Append(out, textpiece::kBlackCell);
    } else {
        Append(out, textpiece::kOtherCell);
    }
}

} // namespace

std::vector<std::uint8_t> ExportText(const Board& board) {
    using namespace textpiece;
    const int w = board.width, h = board.height;
    std::vector<std::uint8_t> out;
    out.reserve(32 + static_cast<std::size_t>(2 * h + 2) * static_cast<std::size_t>(4 * w + 6));
    Append(out, board.ruleSet == RuleSetOmbrix ? kTitleOmbrix : kTitleTandrel);
    Append(out, kLineEnd);
    Append(out, kLineEnd);
    AppendRule(out, w, kTopLeft, kTopJoint, kTopRight);
    for (int y = 1; y <= h; ++y) {
        Append(out, kRowLeft);
        for (int x = 1; x <= w; ++x) {
            // A board never has cells outside the grid; this only keeps a
            // damaged size from reading past it.
            const bool inGrid = x < kGridWidth && y < kGridHeight;
            AppendCell(out, inGrid ? board.cells[x][y].state : int{Border});
        }
        Append(out, kLineEnd);
        if (y < h)
            AppendRule(out, w, kMidLeft, kMidCross, kMidRight);
        else
            AppendRule(out, w, kBottomLeft, kBottomJoint, kBottomRight);
    }
    Append(out, kLineEnd);
    return out;
}

} // namespace ombrix
