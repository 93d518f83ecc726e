#include "rule_checker.h"

#include <sstream>
#include <vector>

namespace ombrix::testing {

namespace {

bool black(int s) {
    return s == 50 || s == 100 || s == 200;
}
bool clue(int s) {
    return s >= 1 && s <= 48;
}
bool areaCell(int s) {
    return s >= 101 && s <= 148;
}

// Joins the pieces of a message (strings and numbers) into one string.
template <typename... Parts> std::string say(const Parts&... parts) {
    std::ostringstream out;
    (out << ... << parts);
    return out.str();
}

std::string at(int x, int y) {
    return say("(", x, ", ", y, ")");
}

} // namespace

bool CheckSolution(const Board& b, std::string& why) {
    const int w = b.width, h = b.height;
    const bool tandrel = b.ruleSet != 0;
    auto s = [&](int x, int y) { return static_cast<int>(b.cells[x][y].state); };
    auto inside = [&](int x, int y) { return x >= 1 && x <= w && y >= 1 && y <= h; };

    int blackCount = 0, firstBx = 0, firstBy = 0;
    for (int x = 1; x <= w; ++x) {
        for (int y = 1; y <= h; ++y) {
            const int v = s(x, y);
            if (!black(v) && !clue(v) && !areaCell(v)) {
                why = say("cell ", at(x, y), " is undecided (", v, ")");
                return false;
            }
            if (black(v) && ++blackCount == 1) firstBx = x, firstBy = y;
        }
    }

    // White areas: orthogonally connected non-black cells.
    std::vector<int> area(static_cast<std::size_t>((w + 2) * (h + 2)), -1);
    auto idx = [&](int x, int y) { return static_cast<std::size_t>(x * (h + 2) + y); };
    int areas = 0;
    static constexpr int dx[4] = {0, -1, 0, 1}, dy[4] = {-1, 0, 1, 0};
    for (int x = 1; x <= w; ++x) {
        for (int y = 1; y <= h; ++y) {
            if (black(s(x, y)) || area[idx(x, y)] >= 0) continue;
            std::vector<std::pair<int, int>> stack{{x, y}}, cells;
            area[idx(x, y)] = areas;
            int clues = 0, clueValue = 0;
            while (!stack.empty()) {
                auto [cx, cy] = stack.back();
                stack.pop_back();
                cells.push_back({cx, cy});
                if (clue(s(cx, cy))) ++clues, clueValue = s(cx, cy);
                for (int i = 0; i < 4; ++i) {
                    const int nx = cx + dx[i], ny = cy + dy[i];
                    if (inside(nx, ny) && !black(s(nx, ny)) && area[idx(nx, ny)] < 0) {
                        area[idx(nx, ny)] = areas;
                        stack.push_back({nx, ny});
                    }
                }
            }
            if (clues != 1) {
                why = say("the area at ", at(x, y), " holds ", clues, " clues");
                return false;
            }
            if (static_cast<int>(cells.size()) != clueValue) {
                why = say("the area of clue ", clueValue, " at ", at(x, y), " has ", cells.size(),
                          " cells");
                return false;
            }
            for (auto [cx, cy] : cells) {
                const int v = s(cx, cy);
                if (areaCell(v) && v - 100 != clueValue) {
                    why = say("area cell ", at(cx, cy), " says ", v - 100, " in an area of clue ",
                              clueValue);
                    return false;
                }
            }
            ++areas;
        }
    }
    // Orthogonal contact merges areas above, so only diagonal contact is left
    // to test, under Tandrel.
    if (tandrel) {
        for (int x = 1; x < w; ++x) {
            for (int y = 1; y <= h; ++y) {
                for (int ddy : {-1, 1}) {
                    const int nx = x + 1, ny = y + ddy;
                    if (!inside(nx, ny) || black(s(x, y)) || black(s(nx, ny))) continue;
                    if (area[idx(x, y)] != area[idx(nx, ny)]) {
                        why = say("areas touch diagonally at ", at(x, y), " and ", at(nx, ny));
                        return false;
                    }
                }
            }
        }
    } else {
        for (int x = 1; x < w; ++x) {
            for (int y = 1; y < h; ++y) {
                if (black(s(x, y)) && black(s(x + 1, y)) && black(s(x, y + 1)) &&
                    black(s(x + 1, y + 1))) {
                    why = say("2 x 2 black block at ", at(x, y));
                    return false;
                }
            }
        }
    }
    // Black cells: one orthogonally connected group.
    if (blackCount > 0) {
        std::vector<char> seen(area.size(), 0);
        std::vector<std::pair<int, int>> stack{{firstBx, firstBy}};
        seen[idx(firstBx, firstBy)] = 1;
        int reached = 0;
        while (!stack.empty()) {
            auto [cx, cy] = stack.back();
            stack.pop_back();
            ++reached;
            for (int i = 0; i < 4; ++i) {
                const int nx = cx + dx[i], ny = cy + dy[i];
                if (inside(nx, ny) && black(s(nx, ny)) && !seen[idx(nx, ny)]) {
                    seen[idx(nx, ny)] = 1;
                    stack.push_back({nx, ny});
                }
            }
        }
        if (reached != blackCount) {
            why = say("black cells form more than one group (", reached, " of ", blackCount,
                      " connected to ", at(firstBx, firstBy), ")");
            return false;
        }
    }
    return true;
}

} // namespace ombrix::testing
