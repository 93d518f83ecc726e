// The puzzle record shared by the solver, the view and the file code: the grid
// of cells with its ring of border cells, the board's size, the rule set, the
// solver's counters and the status code the view shows as a message line.
#pragma once

#include <cstdint>
#include <type_traits>

namespace ombrix {

// The grid array is fixed; the playable board is x = 1..width, y = 1..height
// and every other cell is a border cell, so each playable cell has all eight
// neighbours inside the array.
inline constexpr int kGridWidth = 35;
inline constexpr int kGridHeight = 48;
inline constexpr int kMinWidth = 8, kMaxWidth = 31;
inline constexpr int kMinHeight = 8, kMaxHeight = 45;

// Cell codes.
enum CellCode : std::uint8_t {
    Undecided = 0,
    // 1..48: a clue of that number.
    WhiteDot = 49,
    BlackLinked = 50,
    Border = 99,
    Black = 100,
    // 101..148: AreaCell, 100 + the clue number of its area.
    AreaCellBase = 100,
    GivenBlack = 200,
};

// The largest clue a grid holds (grid text, puzzle files), and the largest
// clue whose area the solver works out: a clue 48 stands as a white cell
// whose area is never grown or reached (the text export, likewise, shows no
// number above 47).
inline constexpr int kMaxClue = 48;
inline constexpr int kMaxWorkedClue = 47;

// A clue of any number.
constexpr bool isClue(std::uint8_t s) {
    return s >= 1 && s <= kMaxClue;
}
// A clue whose area the solver works out.
constexpr bool isWorkedClue(std::uint8_t s) {
    return s >= 1 && s <= kMaxWorkedClue;
}
// A cell painted into the area of a clue.
constexpr bool isAreaCell(std::uint8_t s) {
    return s > AreaCellBase && s <= AreaCellBase + kMaxClue;
}
// A cell of the area of a clue the solver works out.
constexpr bool isWorkedAreaCell(std::uint8_t s) {
    return s > AreaCellBase && s <= AreaCellBase + kMaxWorkedClue;
}
// The number of a clue or of the clue whose area holds the cell.
constexpr int clueNumber(std::uint8_t s) {
    return s > AreaCellBase ? s - AreaCellBase : s;
}
// The area cell code of a clue or area cell's number.
constexpr std::uint8_t areaCellOf(std::uint8_t s) {
    return static_cast<std::uint8_t>(AreaCellBase + clueNumber(s));
}
// Painted by a solver or a player: not a clue, a given black cell or the
// border.
constexpr bool isPainted(std::uint8_t s) {
    return s > kMaxClue && s != GivenBlack && s != Border;
}

// The region walks' marks in Cell::mark. A walk marks the cells it has
// entered Open and those with nothing left to enter Done; some rules mark
// the cells an earlier walk of the same pass has dealt with Settled.
enum Mark : std::uint8_t { MarkNone = 0, MarkOpen = 1, MarkDone = 2, MarkSettled = 3 };

// What the walks add to their counts when they meet something that ends the
// question early: the walk to a clue sets its visit count to kWalkFoundClue;
// a white-dot group adds kWalkTouchesArea exits for each unfinished area it
// touches (so it is never seen as having one exit), and a fragment adds
// kWalkTouchesClue for a clue, white dot or settled group beside it.
inline constexpr int kWalkFoundClue = 100;
inline constexpr int kWalkTouchesArea = 2;
inline constexpr int kWalkTouchesClue = 10;

enum Status : std::uint8_t {
    StatusNone = 0,
    StatusContradiction = 1,
    StatusUnsolvable = 2,
    StatusUnreadable = 3,
    StatusSolving = 4,
    StatusSecondSolution = 5,
    StatusSumTooSmall = 6,
    StatusSumTooLarge = 7,
};

enum RuleSet : std::uint8_t { RuleSetOmbrix = 0, RuleSetTandrel = 1 };

// The four predicates over a cell code, as one table of bits so that each
// test is a single load. The table is built from the definitions below.
namespace cellclass {
inline constexpr std::uint8_t kBlack = 1, kWall = 2, kWhite = 4, kClosed = 8;
struct Table {
    std::uint8_t bits[256];
};
constexpr Table Make() {
    Table t{};
    for (int s = 0; s < 256; ++s) {
        const bool black = s == 50 || s == 100 || s == 200; // a black cell of the solution
        const bool wall = black || s == 99;                 // black or border
        const bool white = s % 50 != 0 && s % 100 < 50;     // clue, white dot, area cell
        const bool closed = s % 50 != 0;                    // white or border
        t.bits[s] = static_cast<std::uint8_t>((black ? kBlack : 0) | (wall ? kWall : 0) |
                                              (white ? kWhite : 0) | (closed ? kClosed : 0));
    }
    return t;
}
inline constexpr Table kTable = Make();
} // namespace cellclass

// A black cell of the solution: 50, 100, 200.
constexpr bool isBlack(std::uint8_t s) {
    return cellclass::kTable.bits[s] & cellclass::kBlack;
}
// Black or border: a side through which no area can grow.
constexpr bool isWall(std::uint8_t s) {
    return cellclass::kTable.bits[s] & cellclass::kWall;
}
// A cell that may not become black: a clue, a white dot or an area cell.
constexpr bool isWhite(std::uint8_t s) {
    return cellclass::kTable.bits[s] & cellclass::kWhite;
}
// White or border: a side through which no black cell can connect.
constexpr bool isClosed(std::uint8_t s) {
    return cellclass::kTable.bits[s] & cellclass::kClosed;
}

// `areaId` is 16 bits wide so that ids never repeat, however many clues a
// board holds. The fields are ordered for a compact 4-byte cell.
struct Cell {
    std::uint8_t state = 0;
    std::uint8_t mark = 0; // scratch of the region walks
    std::uint16_t areaId = 0;
};
static_assert(sizeof(Cell) == 4);

struct Board {
    Cell cells[kGridWidth][kGridHeight]{};
    std::uint8_t width = 10;
    std::uint8_t height = 10;
    std::uint8_t ruleSet = RuleSetOmbrix;
    std::uint8_t status = StatusNone;
    std::uint16_t undecidedCount = 0;
    std::uint16_t changed = 0;
    // Cells minus the sum of all clues: the number of black cells of any
    // solution. Wider than a 16-bit count so that a huge clue sum cannot wrap
    // round to a positive budget.
    std::int32_t blackBudget = 0;
    std::uint32_t nextAreaId = 0;
    std::uint32_t resumeColumn = 0;
    std::uint32_t altCellX = 0, altCellY = 0;
    std::uint32_t reachX = 0, reachY = 0;

    Cell& at(int x, int y) { return cells[x][y]; }
    const Cell& at(int x, int y) const { return cells[x][y]; }
    std::uint8_t& state(int x, int y) { return cells[x][y].state; }
    std::uint8_t state(int x, int y) const { return cells[x][y].state; }
    bool isPlayable(int x, int y) const { return x >= 1 && x <= width && y >= 1 && y <= height; }
    bool tandrel() const { return ruleSet != RuleSetOmbrix; }
    bool ombrix() const { return ruleSet == RuleSetOmbrix; }
};
static_assert(std::is_trivially_copyable_v<Board>);

struct UiState;

// Takes every painted cell (black, white dot, area cell) back to undecided,
// keeping clues and given black cells. Area ids and marks are left alone.
void ClearPainted(Board& board);

// Empties the board at its current size (border ring 99, playable cells 0,
// every areaId 0, marks untouched), clears the step-history arrays, returns
// the view to the edit phase with number 1 selected and clears the status.
void ResetBoard(Board& board, UiState& ui);

} // namespace ombrix
