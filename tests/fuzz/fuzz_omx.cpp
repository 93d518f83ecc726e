// libFuzzer target of the puzzle file reader. Any bytes are read over a board
// and UI state full of earlier values; then:
//   - a file not read whole must have changed nothing but the status;
//   - a read one must leave the invariants the view and the solver rely on
//     (size, codes and fields in range, grid ring 99, scratch 0, history and
//     selected number in bounds);
//   - writing what was read and reading it again must give the same fields;
//   - the text export of the result must stay inside the grid.
// A broken check aborts, which libFuzzer reports with the input.
#include "fuzz_check.h"
#include "omx.h"
#include "text_export.h"

using namespace ombrix;
using fuzz::EarlierState;

namespace {

bool SameFields(const Board& a, const UiState& u, const Board& b, const UiState& v) {
    if (u.phase != v.phase || u.layoutState != v.layoutState ||
        u.resizePending != v.resizePending || u.selectedNumber != v.selectedNumber ||
        u.historyCount != v.historyCount)
        return false;
    for (int i = 0; i < kHistorySize; ++i)
        if (u.historyX[i] != v.historyX[i] || u.historyY[i] != v.historyY[i] ||
            u.historyPrev[i] != v.historyPrev[i])
            return false;
    return fuzz::SameBoard(a, b);
}

bool Playable(std::uint8_t s) {
    return s <= BlackLinked || (s >= Black && s <= 148) || s == GivenBlack;
}

Board board, before, again;
UiState ui, uiBefore, uiAgain;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EarlierState(board, ui);
    EarlierState(before, uiBefore);
    const ReadResult result = DecodePuzzleFile({data, size}, board, ui);
    CHECK(board.status == StatusUnreadable || result.kind == ReadKind::Complete);
    CHECK(result.reason.empty() == (result.kind == ReadKind::Complete));

    // All or nothing: a file not read whole changes nothing but the status.
    if (result.kind != ReadKind::Complete) {
        before.status = StatusUnreadable;
        CHECK(SameFields(board, ui, before, uiBefore));
        return 0;
    }
    const int w = board.width, h = board.height;
    CHECK(w >= kMinWidth && w <= kMaxWidth && h >= kMinHeight && h <= kMaxHeight);
    CHECK(ui.phase <= PhaseAutoSolved && board.status <= StatusSumTooLarge);
    CHECK(board.ruleSet == RuleSetOmbrix || board.ruleSet == RuleSetTandrel);
    CHECK(fuzz::CellsInRange(board, Playable));
    CHECK(ui.historyCount >= 0 && ui.historyCount < kHistorySize);
    for (int i = 0; i < ui.historyCount; ++i) {
        CHECK(ui.historyX[i] >= 1 && ui.historyX[i] <= w);
        CHECK(ui.historyY[i] >= 1 && ui.historyY[i] <= h);
    }
    CHECK(ui.selectedNumber >= 1 && ui.selectedNumber <= 40);
    CHECK(ui.resizePending == 1);
    CHECK(ui.layoutState == LayoutBarPending || board.status == StatusUnreadable);

    // Write what was read and read it again.
    const std::vector<std::uint8_t> disk = EncodePuzzleFile(board, ui);
    CHECK(DecodeTextMode(disk) == SerializePuzzle(board, ui));
    CHECK(disk.size() >= PuzzleStreamSize(w, h));
    EarlierState(again, uiAgain);
    const ReadResult second = DecodePuzzleFile(disk, again, uiAgain);
    CHECK(second.kind == ReadKind::Complete);
    CHECK(SameFields(board, ui, again, uiAgain));

    const std::vector<std::uint8_t> text = ExportText(board);
    CHECK(text.size() >= 4);
    return 0;
}
