// libFuzzer target of the solver on every board a reader accepts. The bytes
// are read as a puzzle file when they start with a control byte (a puzzle
// file starts with its phase, 0..3), else as grid text, each the way
// ombrix-cli solve reads it; a board that is read whole is solved, and then:
//   - the ring of border cells around the board is intact;
//   - the outcome is one of the solver's statuses, and the circled cell of a
//     second solution lies on the board;
//   - a board the solver calls solved obeys the rules by the independent
//     checker of the tests.
// A broken check aborts, which libFuzzer reports with the input.
#include "fuzz_check.h"
#include "grid_text.h"
#include "omx.h"
#include "rule_checker.h"
#include "solver.h"

#include <memory>

using namespace ombrix;

namespace {

Board board;
UiState ui;

bool Read(const std::uint8_t* data, std::size_t size) {
    if (size > 0 && data[0] < 0x20) {
        // Over the board the editor starts with, an empty 10 x 10 one.
        board.width = 10;
        board.height = 10;
        ResetBoard(board, ui);
        ui.layoutState = LayoutReady;
        return DecodePuzzleFile({data, size}, board, ui).kind == ReadKind::Complete;
    }
    GridTextError error;
    return ParseGridText({reinterpret_cast<const char*>(data), size}, board, error);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!Read(data, size)) return 0;
    board.status = StatusNone;
    static auto solver = std::make_unique<Solver>(board);
    solver->AutoSolve();

    const int w = board.width, h = board.height;
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y)
            if (x == 0 || x > w || y == 0 || y > h) CHECK(board.cells[x][y].state == Border);
    CHECK(board.status <= StatusSumTooLarge && board.status != StatusUnreadable &&
          board.status != StatusSolving);
    if (board.status == StatusSecondSolution) {
        const auto x = static_cast<int>(board.altCellX), y = static_cast<int>(board.altCellY);
        CHECK(x >= 1 && x <= w && y >= 1 && y <= h);
    }
    if (board.status == StatusNone) {
        std::string why;
        if (!testing::CheckSolution(board, why)) {
            std::fprintf(stderr, "fuzz_solve: solved board breaks a rule: %s\n", why.c_str());
            std::abort();
        }
    }
    return 0;
}
