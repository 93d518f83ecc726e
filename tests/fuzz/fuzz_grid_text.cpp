// libFuzzer target of the grid text reader. Any bytes are parsed over a board
// full of earlier values; then:
//   - refused text must leave the board untouched and give a message that
//     names the problem on one short line of printable ASCII;
//   - accepted text must give a board in range (8..31 x 8..45, a rule set,
//     clues 1..48, given black cells, the ring 99, status 0);
//   - formatting the board and parsing the result must give the same board
//     and the same text.
// A broken check aborts, which libFuzzer reports with the input.
#include "fuzz_check.h"
#include "grid_text.h"

using namespace ombrix;
using fuzz::EarlierState;
using fuzz::SameBoard;

namespace {

bool Playable(std::uint8_t s) {
    return s == Undecided || s == GivenBlack || (s >= 1 && s <= 48);
}

Board board, before, again;
UiState ui;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    EarlierState(board, ui);
    EarlierState(before, ui);
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
    CHECK(fuzz::CellsInRange(board, Playable));

    const std::string formatted = FormatGridText(board);
    EarlierState(again, ui);
    CHECK(ParseGridText(formatted, again, error));
    CHECK(SameBoard(board, again));
    CHECK(FormatGridText(again) == formatted);
    return 0;
}
