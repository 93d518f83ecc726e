#include "rule_checker.h"

#include <sstream>
#include <vector>

namespace ombrix::testing {

namespace {

// Joins the pieces of a message (strings and numbers) into one string.
template <typename... Parts> std::string say(const Parts&... parts) {
    std::ostringstream out;
    (out << ... << parts);
    return out.str();
}

} // namespace

bool CheckSolution(const Board& b, std::string& why) {
    auto black = [](int s) { return s == 50 || s == 100 || s == 200; };
    auto clue = [](int s) { return s >= 1 && s <= 48; };
    auto areaCell = [](int s) { return s >= 101 && s <= 148; };
    auto at = [](int x, int y) { return say("(", x, ", ", y, ")"); };
    const int w = b.width, h = b.height;
    auto s = [&](int x, int y) { return static_cast<int>(b.cells[x][y].state); };
    auto inside = [&](int x, int y) { return x >= 1 && x <= w && y >= 1 && y <= h; };
    auto fail = [&](std::string message) {
        why = std::move(message);
        return false;
    };
    // Group numbers by cell; -1 not yet grouped.
    std::vector<int> group(static_cast<std::size_t>((w + 2) * (h + 2)), -1);
    auto idx = [&](int x, int y) { return static_cast<std::size_t>(x * (h + 2) + y); };
    // The cells orthogonally connected to (x, y) that are black exactly when
    // it is, numbered `id`.
    auto flood = [&](int x, int y, int id) {
        const bool colour = black(s(x, y));
        std::vector<std::pair<int, int>> stack{{x, y}}, cells;
        group[idx(x, y)] = id;
        while (!stack.empty()) {
            const auto [cx, cy] = stack.back();
            stack.pop_back();
            cells.push_back({cx, cy});
            for (auto [nx, ny] : {std::pair{cx, cy - 1}, {cx - 1, cy}, {cx, cy + 1}, {cx + 1, cy}})
                if (inside(nx, ny) && black(s(nx, ny)) == colour && group[idx(nx, ny)] < 0) {
                    group[idx(nx, ny)] = id;
                    stack.push_back({nx, ny});
                }
        }
        return cells;
    };

    int groups = 0, blackGroups = 0;
    for (int x = 1; x <= w; ++x) {
        for (int y = 1; y <= h; ++y) {
            if (group[idx(x, y)] >= 0) continue;
            const auto cells = flood(x, y, groups++);
            if (black(s(x, y))) {
                if (++blackGroups > 1)
                    return fail(say("black cells form more than one group (", at(x, y), ")"));
                continue;
            }
            // A white area: decided cells only, one clue, as many cells as
            // it says, area cells that agree.
            int clues = 0, clueValue = 0;
            for (auto [cx, cy] : cells) {
                if (clue(s(cx, cy)))
                    ++clues, clueValue = s(cx, cy);
                else if (!areaCell(s(cx, cy)))
                    return fail(say("cell ", at(cx, cy), " is undecided (", s(cx, cy), ")"));
            }
            if (clues != 1) return fail(say("the area at ", at(x, y), " holds ", clues, " clues"));
            if (static_cast<int>(cells.size()) != clueValue)
                return fail(say("the area of clue ", clueValue, " at ", at(x, y), " has ",
                                cells.size(), " cells"));
            for (auto [cx, cy] : cells)
                if (areaCell(s(cx, cy)) && s(cx, cy) - 100 != clueValue)
                    return fail(say("area cell ", at(cx, cy), " says ", s(cx, cy) - 100,
                                    " in an area of clue ", clueValue));
        }
    }
    // Orthogonal contact merges areas above, so only diagonal contact is left
    // to test, under Tandrel; under Ombrix, 2 x 2 black blocks.
    for (int x = 1; x < w; ++x) {
        for (int y = 1; y < h; ++y) {
            const bool a = black(s(x, y)), b1 = black(s(x + 1, y)), c = black(s(x, y + 1)),
                       d = black(s(x + 1, y + 1));
            if (b.ruleSet == 0 && a && b1 && c && d)
                return fail(say("2 x 2 black block at ", at(x, y)));
            if (b.ruleSet != 0 && !a && !d && group[idx(x, y)] != group[idx(x + 1, y + 1)])
                return fail(say("areas touch diagonally at ", at(x, y), " and ", at(x + 1, y + 1)));
            if (b.ruleSet != 0 && !b1 && !c && group[idx(x + 1, y)] != group[idx(x, y + 1)])
                return fail(say("areas touch diagonally at ", at(x + 1, y), " and ", at(x, y + 1)));
        }
    }
    return true;
}

} // namespace ombrix::testing
