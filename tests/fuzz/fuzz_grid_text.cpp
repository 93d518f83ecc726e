// libFuzzer target of the grid text reader. Any bytes are parsed over a board
// full of earlier values; then:
//   - refused text must leave the board untouched and give a message that
//     names the problem on one short line of printable ASCII;
//   - accepted text must give a board in range (8..31 x 8..45, a rule set,
//     clues 1..48, given black cells, the ring 99, status 0);
//   - formatting the board and parsing the result must give the same board
//     and the same text.
// A broken check aborts, which libFuzzer reports with the input.
#include "grid_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace ombrix;

namespace {

#define CHECK(cond)                                                                                \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "fuzz_grid_text: check failed at line %d: %s\n", __LINE__,        \
                         #cond);                                                                   \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// A board that no parse would produce, so an untouched one is seen.
void EarlierState(Board& board) {
    std::memset(static_cast<void*>(&board), 0, sizeof board);
    board.width = 12;
    board.height = 9;
    board.ruleSet = RuleSetTandrel;
    board.status = StatusSecondSolution;
    board.undecidedCount = 77;
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y) {
            board.cells[x][y].state = static_cast<std::uint8_t>((x * 7 + y) % 201);
            board.cells[x][y].areaId = static_cast<std::uint16_t>(x + y);
            board.cells[x][y].mark = 1;
        }
}

bool SameBoard(const Board& a, const Board& b) {
    if (a.width != b.width || a.height != b.height || a.ruleSet != b.ruleSet ||
        a.status != b.status || a.undecidedCount != b.undecidedCount)
        return false;
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y) {
            const Cell &p = a.cells[x][y], &q = b.cells[x][y];
            if (p.state != q.state || p.areaId != q.areaId || p.mark != q.mark) return false;
        }
    return true;
}

Board board, before, again;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    EarlierState(board);
    EarlierState(before);
    GridTextError error;
    if (!ParseGridText(text, board, error)) {
        CHECK(SameBoard(board, before));
        const std::string message = error.describe();
        CHECK(!error.message.empty() && message.size() < 300);
        for (char c : message)
            CHECK(c >= 0x20 && c < 0x7F);
        return 0;
    }
    const int w = board.width, h = board.height;
    CHECK(w >= kMinWidth && w <= kMaxWidth && h >= kMinHeight && h <= kMaxHeight);
    CHECK(board.ruleSet == RuleSetOmbrix || board.ruleSet == RuleSetTandrel);
    CHECK(board.status == StatusNone);
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y) {
            const Cell& c = board.cells[x][y];
            CHECK(c.areaId == 0 && c.mark == 0);
            if (x == 0 || x > w || y == 0 || y > h)
                CHECK(c.state == Border);
            else
                CHECK(c.state == Undecided || c.state == GivenBlack ||
                      (c.state >= 1 && c.state <= 48));
        }

    const std::string formatted = FormatGridText(board);
    EarlierState(again);
    CHECK(ParseGridText(formatted, again, error));
    CHECK(SameBoard(board, again));
    CHECK(FormatGridText(again) == formatted);
    return 0;
}
