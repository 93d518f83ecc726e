// Boards written as text in the tests themselves. Tokens, separated by
// spaces, one row per string:
//   .  undecided        #  black (100)     L  black linked (50)
//   G  given black      o  white dot       N  clue N (1..48)
//   aN area cell of clue N (100 + N)
// Area ids are not in the text: tests that need them set them.
#pragma once

#include "board.h"
#include "solver.h"
#include "uistate.h"

#include <cstring>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace ombrix::testing {

// The tokens that stand for one cell code.
inline constexpr std::pair<const char*, int> kTokens[] = {
    {".", Undecided}, {"#", Black}, {"L", BlackLinked}, {"G", GivenBlack}, {"o", WhiteDot}};

inline std::unique_ptr<Board> MakeBoard(int ruleSet, const std::vector<std::string>& rows) {
    auto board = std::make_unique<Board>();
    std::vector<std::vector<std::string>> tokens;
    for (const std::string& row : rows) {
        std::istringstream in(row);
        tokens.emplace_back(std::istream_iterator<std::string>(in),
                            std::istream_iterator<std::string>());
    }
    board->width = static_cast<std::uint8_t>(tokens.at(0).size());
    board->height = static_cast<std::uint8_t>(tokens.size());
    board->ruleSet = static_cast<std::uint8_t>(ruleSet);
    UiState ui;
    ResetBoard(*board, ui);
    for (int y = 1; y <= board->height; ++y) {
        for (int x = 1; x <= board->width; ++x) {
            const std::string& t = tokens.at(y - 1).at(x - 1);
            int v = t[0] == 'a' ? 100 + std::stoi(t.substr(1)) : -1;
            for (auto [text, code] : kTokens)
                if (t == text) v = code;
            board->state(x, y) = static_cast<std::uint8_t>(v >= 0 ? v : std::stoi(t));
        }
    }
    return board;
}

// The rows of a board as text, in the same tokens (area cells as aN).
inline std::vector<std::string> BoardRows(const Board& b) {
    std::vector<std::string> rows;
    for (int y = 1; y <= b.height; ++y) {
        std::string row;
        for (int x = 1; x <= b.width; ++x) {
            const int s = b.state(x, y);
            std::string t = std::to_string(s);
            if (s > 100 && s < 200) t = std::string("a").append(std::to_string(s - 100));
            for (auto [text, code] : kTokens)
                if (s == code) t = text;
            if (x > 1) row += ' ';
            row += t;
        }
        rows.push_back(row);
    }
    return rows;
}

// The size, rule set, status, count and every cell (state, area id, mark):
// every field the puzzle file stores or its reader sets.
inline bool SameBoard(const Board& a, const Board& b) {
    if (std::tie(a.width, a.height, a.ruleSet, a.status, a.undecidedCount) !=
        std::tie(b.width, b.height, b.ruleSet, b.status, b.undecidedCount))
        return false;
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y) {
            const Cell &p = a.cells[x][y], &q = b.cells[x][y];
            if (std::tie(p.state, p.areaId, p.mark) != std::tie(q.state, q.areaId, q.mark))
                return false;
        }
    return true;
}

// Every field, byte for byte: a UiState has no padding.
inline bool SameUi(const UiState& a, const UiState& b) {
    static_assert(std::has_unique_object_representations_v<UiState>);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A state in the middle of solving: phase 2, the bar laid out, number
// `selected` chosen, and `count` steps of a history filled to the end over a
// w x h board, each step's earlier code from `prev(i)`.
template <class Prev>
inline void SolvingState(UiState& ui, int w, int h, int selected, int count, Prev prev) {
    ui.phase = PhaseSolving;
    ui.layoutState = LayoutReady;
    ui.selectedNumber = static_cast<std::uint8_t>(selected);
    ui.historyCount = static_cast<std::int16_t>(count);
    for (int i = 0; i < kHistorySize; ++i) {
        ui.historyX[i] = static_cast<std::uint8_t>(1 + i % w);
        ui.historyY[i] = static_cast<std::uint8_t>(1 + i % h);
        ui.historyPrev[i] = static_cast<std::uint8_t>(prev(i));
    }
}

// A board and state full of earlier values, so that a field a reader leaves
// alone is seen to keep its value: a 14 x 10 Ombrix board mid-solve with a
// circled cell, every cell with its own code, area id and mark.
inline void EarlierState(Board& board, UiState& ui) {
    board = Board{};
    board.width = 14;
    board.height = 10;
    board.status = StatusSecondSolution;
    board.undecidedCount = 77;
    board.altCellX = 4;
    board.altCellY = 5;
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y) {
            const bool playable = x >= 1 && x <= 14 && y >= 1 && y <= 10;
            board.cells[x][y].state = playable ? static_cast<std::uint8_t>((x * 7 + y) % 201) : 99;
            board.cells[x][y].areaId = static_cast<std::uint16_t>(x + y);
            board.cells[x][y].mark = 1;
        }
    ui = UiState{};
    SolvingState(ui, 14, 10, 5, 3, [](int i) { return i; });
}

} // namespace ombrix::testing
