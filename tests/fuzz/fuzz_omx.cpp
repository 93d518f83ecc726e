// libFuzzer target of the puzzle file reader. Any bytes are read over a board
// and UI state full of earlier values; then:
//   - a file not read whole must have changed nothing but the status;
//   - a read one must leave the invariants the view and the solver rely on
//     (size, codes and fields in range, grid ring 99, scratch 0, history and
//     selected number in bounds);
//   - writing what was read and reading it again must give the same fields;
//   - the text export of the result must stay inside the grid.
// A broken check aborts, which libFuzzer reports with the input.
#include "omx.h"
#include "text_export.h"

#include <cstdio>
#include <cstdlib>

using namespace ombrix;

namespace {

#define CHECK(cond)                                                                                \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "fuzz_omx: check failed at line %d: %s\n", __LINE__, #cond);      \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// Earlier values that differ from what a fresh board holds, so that a field
// a short file does not reach is seen to keep its value.
void EarlierState(Board& board, UiState& ui) {
    board = Board{};
    ui = UiState{};
    board.width = 12;
    board.height = 9;
    board.ruleSet = RuleSetTandrel;
    board.status = StatusSecondSolution;
    board.undecidedCount = 77;
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y) {
            const bool playable = x >= 1 && x <= 12 && y >= 1 && y <= 9;
            board.cells[x][y].state = playable ? static_cast<std::uint8_t>((x * 7 + y) % 201) : 99;
            board.cells[x][y].areaId = static_cast<std::uint16_t>(x + y);
            board.cells[x][y].mark = 1;
        }
    ui.phase = PhaseSolving;
    ui.layoutState = LayoutReady;
    ui.selectedNumber = 5;
    ui.historyCount = 3;
    for (int i = 0; i < kHistorySize; ++i) {
        ui.historyX[i] = static_cast<std::uint8_t>(1 + i % 12);
        ui.historyY[i] = static_cast<std::uint8_t>(1 + i % 9);
        ui.historyPrev[i] = static_cast<std::uint8_t>(i);
    }
}

bool SameCells(const Board& a, const Board& b, bool withScratch) {
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y) {
            const Cell &p = a.cells[x][y], &q = b.cells[x][y];
            if (p.state != q.state) return false;
            if (withScratch && (p.areaId != q.areaId || p.mark != q.mark)) return false;
        }
    return true;
}

bool SameFields(const Board& a, const UiState& u, const Board& b, const UiState& v,
                bool withScratch) {
    if (a.width != b.width || a.height != b.height || a.ruleSet != b.ruleSet ||
        a.status != b.status || a.undecidedCount != b.undecidedCount)
        return false;
    if (u.phase != v.phase || u.layoutState != v.layoutState ||
        u.resizePending != v.resizePending || u.selectedNumber != v.selectedNumber ||
        u.historyCount != v.historyCount)
        return false;
    for (int i = 0; i < kHistorySize; ++i)
        if (u.historyX[i] != v.historyX[i] || u.historyY[i] != v.historyY[i] ||
            u.historyPrev[i] != v.historyPrev[i])
            return false;
    return SameCells(a, b, withScratch);
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
        CHECK(SameFields(board, ui, before, uiBefore, true));
        return 0;
    }
    const int w = board.width, h = board.height;
    CHECK(w >= kMinWidth && w <= kMaxWidth && h >= kMinHeight && h <= kMaxHeight);
    CHECK(ui.phase <= PhaseAutoSolved && board.status <= StatusSumTooLarge);
    CHECK(board.ruleSet == RuleSetOmbrix || board.ruleSet == RuleSetTandrel);
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y) {
            const Cell& c = board.cells[x][y];
            CHECK(c.areaId == 0 && c.mark == 0);
            if (x == 0 || x > w || y == 0 || y > h) CHECK(c.state == Border);
            else
                CHECK(c.state <= BlackLinked || (c.state >= Black && c.state <= 148) ||
                      c.state == GivenBlack);
        }
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
    CHECK(SameFields(board, ui, again, uiAgain, true));

    const std::vector<std::uint8_t> text = ExportText(board);
    CHECK(text.size() >= 4);
    return 0;
}
