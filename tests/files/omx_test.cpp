// The .omx reader and writer: golden bytes, round trips, the text-mode
// translation, and damaged files (short, sizes no board has, impossible
// values, out-of-bounds history), which change nothing but the status. (The
// counters' round trip for any two bytes is held by fuzz_omx.)
#include "files_test_util.h"
#include "omx.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

namespace ombrix::testing {
namespace {

TEST(OmxWriter, FreshTenByTenBoardIsTheKnown765Bytes) {
    // A new 10 x 10 board in the edit phase as the editor has it after its first paint.
    Board board = EmptyBoard(10, 10);
    board.undecidedCount = 0;
    UiState ui;
    ui.layoutState = LayoutReady;

    Bytes expected = {0, 2, 10, 10, 49, 48, 48, 48, 48};
    for (int x = 0; x <= 11; ++x)
        for (int y = 0; y <= 11; ++y)
            expected.push_back(x == 0 || x == 11 || y == 0 || y == 11 ? 147 : 48);
    expected.insert(expected.end(), 600, 48);
    expected.insert(expected.end(), {0, 0, 10, 10, 10, 10});
    EXPECT_EQ(SerializePuzzle(board, ui), expected);

    const Bytes disk = EncodePuzzleFile(board, ui);
    ASSERT_EQ(disk.size(), 765u);
    EXPECT_EQ(Bytes(disk.begin(), disk.begin() + 8), (Bytes{0, 2, 13, 10, 13, 10, 49, 48}));
    EXPECT_EQ(Bytes(disk.end() - 10, disk.end()), (Bytes{0, 0, 13, 10, 13, 10, 13, 10, 13, 10}));
}

TEST(OmxRoundTrip, EveryCellValueAndEveryStoredFieldComesBack) {
    // Every cell code on the largest board, with non-zero scratch bytes.
    std::vector<int> values = {0, 49, 50, 100, 200};
    for (int n = 1; n <= 48; ++n)
        values.insert(values.end(), {n, 100 + n});
    Board board = EmptyBoard(31, 45, RuleSetTandrel);
    int k = 0;
    for (int x = 1; x <= 31; ++x)
        for (int y = 1; y <= 45; ++y) {
            board.cells[x][y].state = static_cast<std::uint8_t>(values[k++ % values.size()]);
            board.cells[x][y].areaId = 7;
            board.cells[x][y].mark = 3;
        }
    board.undecidedCount = 1395;
    board.status = StatusSecondSolution;
    UiState ui;
    SolvingState(ui, 31, 45, 40, 199,
                 [&](int i) { return values[std::size_t(i) % values.size()]; });

    const Bytes stream = SerializePuzzle(board, ui);
    Board read;
    UiState readUi;
    EarlierState(read, readUi);
    const ReadResult result = DecodePuzzleFile(EncodeTextMode(stream), read, readUi);
    EXPECT_EQ(result.kind, ReadKind::Complete);
    EXPECT_TRUE(result.reason.empty());

    Board expected = board;
    for (auto& column : expected.cells)
        for (Cell& c : column)
            c.areaId = 0, c.mark = 0;
    EXPECT_TRUE(SameBoard(read, expected));
    UiState expectedUi = ui;
    expectedUi.layoutState = LayoutBarPending; // a good load works out the bar again
    expectedUi.resizePending = 1;
    EXPECT_TRUE(SameUi(readUi, expectedUi));
}

TEST(OmxTextMode, OnlyCarriageReturnLineFeedBecomesALineFeed) {
    EXPECT_EQ(EncodeTextMode(Bytes{10, 13, 26, 10}), (Bytes{13, 10, 13, 26, 13, 10}));
    EXPECT_EQ(DecodeTextMode(Bytes{10, 26, 13, 0, 13}), (Bytes{10, 26, 13, 0, 13}));
    EXPECT_EQ(DecodeTextMode(Bytes{13, 13, 13, 10, 10}), (Bytes{13, 13, 10, 10}));
    // Every stream survives the trip to disk and back, whatever its bytes
    // (a size of 13 or 26, an end-of-file mark to some readers, is data).
    Bytes all;
    for (int i = 0; i < 256; ++i)
        all.insert(all.end(), {std::uint8_t(i), 13, std::uint8_t(i), 10});
    EXPECT_EQ(DecodeTextMode(EncodeTextMode(all)), all);
}

// A file mid-solve: every field of the board differs from EarlierState's.
struct Saved {
    Board board = EmptyBoard(12, 9, RuleSetTandrel);
    UiState ui;
    Saved() {
        const std::tuple<int, int, int> cells[] = {
            {1, 1, 3},           {12, 1, GivenBlack}, {2, 2, 104}, {3, 3, Black},
            {4, 4, BlackLinked}, {5, 5, WhiteDot},    {6, 6, 12},  {12, 9, 48}};
        for (auto [x, y, code] : cells)
            board.state(x, y) = static_cast<std::uint8_t>(code);
        board.status = StatusContradiction;
        board.undecidedCount = 99;
        SolvingState(ui, 12, 9, 12, 5, [](int i) { return i % 50; });
    }
    Bytes stream() const { return SerializePuzzle(board, ui); }
};

// Reads `stream` over the earlier state and expects it refused with every
// byte of the board and the state as it was, but the status 3.
ReadResult ExpectRefusedWhole(std::span<const std::uint8_t> stream) {
    Board expected;
    UiState earlier;
    EarlierState(expected, earlier);
    Board board = expected;
    UiState ui = earlier;
    const ReadResult result = ReadPuzzle(stream, board, ui);
    EXPECT_NE(result.kind, ReadKind::Complete);
    EXPECT_FALSE(result.reason.empty());
    expected.status = StatusUnreadable;
    EXPECT_EQ(std::memcmp(&board, &expected, sizeof board), 0) << result.reason;
    EXPECT_TRUE(SameUi(ui, earlier)) << result.reason;
    return result;
}

TEST(OmxReader, AFileCutAnywhereOrWithValuesNeverWrittenLeavesThePreviousPuzzleAsItWas) {
    const Saved saved;
    const Bytes stream = saved.stream();
    Board board;
    UiState ui;
    const std::size_t needed = 9 + 14 * 11 + 600 + 2;
    for (std::size_t n = 0; n < needed; ++n) {
        SCOPED_TRACE("cut after " + std::to_string(n) + " bytes");
        const ReadResult result = ExpectRefusedWhole(std::span(stream).first(n));
        EXPECT_EQ(result.kind, n < 9 ? ReadKind::Refused : ReadKind::CutShort);
    }
    // From the rule-set byte on the file is whole; the trailer is not read.
    for (std::size_t n = needed; n <= stream.size(); ++n) {
        EarlierState(board, ui);
        ASSERT_EQ(ReadPuzzle(std::span(stream).first(n), board, ui).kind, ReadKind::Complete);
        EXPECT_TRUE(SameBoard(board, saved.board));
        EXPECT_EQ(board.altCellX, 0u); // no circle left from the old puzzle
        EXPECT_EQ(ui.historyCount, 5);
        EXPECT_EQ(ui.layoutState, LayoutBarPending);
    }

    // Values this program never writes refuse the whole file.
    const std::size_t cells = 9, statusAt = needed - 2;
    auto at = [](int x, int y) { return std::size_t(9 + x * 11 + y); };
    const struct {
        const char* name;
        std::size_t pos;
        std::uint8_t byte;
    } cases[] = {
        {"a cell code between area cells and given black", at(3, 3), 48 + 149},
        {"the border code on the board", at(12, 9), 48 + 99},
        {"a ring cell that is not border", cells, 48 + 0},
        {"the ring's last cell", at(13, 10), 48 + 1},
        {"phase 4", 0, 4},
        {"layout stage 3", 1, 3},
        {"status 8", statusAt, 8},
        {"rule set 2", statusAt + 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes changed = stream;
        changed[c.pos] = c.byte;
        EXPECT_EQ(ExpectRefusedWhole(changed).kind, ReadKind::Refused);
    }
    // Every code a playable cell can hold is read.
    for (int code : {0, 1, 48, 49, 50, 100, 101, 148, 200}) {
        Bytes changed = stream;
        changed[at(3, 3)] = static_cast<std::uint8_t>(48 + code);
        EarlierState(board, ui);
        ASSERT_EQ(ReadPuzzle(changed, board, ui).kind, ReadKind::Complete) << code;
        EXPECT_EQ(board.state(3, 3), code);
    }
}

TEST(OmxReader, SizesNoBoardHasAreRefusedNamingTheDimension) {
    // Both dimensions wrong are both named; one wrong, only that one.
    for (auto [w, h, named, absent] :
         {std::tuple{7, 46, "width 7 is outside 8..31 and its height 46 is outside 8..45", ""},
          {34, 8, "width 34 is outside 8..31", "height"},
          {31, 46, "height 46 is outside 8..45", "width"}}) {
        Bytes stream = SerializePuzzle(EmptyBoard(8, 8), UiState{});
        stream[2] = static_cast<std::uint8_t>(w);
        stream[3] = static_cast<std::uint8_t>(h);
        stream.resize(PuzzleStreamSize(w, h), 147); // long enough to be read whole
        const ReadResult r = ExpectRefusedWhole(stream);
        EXPECT_EQ(r.kind, ReadKind::Refused);
        EXPECT_NE(r.reason.find(named), std::string::npos) << r.reason;
        if (*absent) {
            EXPECT_EQ(r.reason.find(absent), std::string::npos) << r.reason;
        }
    }
    // A file of zero bytes (/dev/zero, a sparse file) is a 0 x 0 board.
    EXPECT_NE(ExpectRefusedWhole(Bytes(64 * 1024, 0)).reason.find("width 0"), std::string::npos);

    // 31 x 45, the largest board, is read; the writer never reads outside
    // the grid, whatever the size says.
    Board board = EmptyBoard(31, 45);
    board.state(31, 45) = 48;
    UiState ui;
    Board read = EmptyBoard(10, 10);
    ASSERT_EQ(ReadPuzzle(SerializePuzzle(board, ui), read, ui).kind, ReadKind::Complete);
    EXPECT_EQ(read.state(31, 45), 48);
    EXPECT_EQ(read.state(32, 45), Border);
    board.width = 200;
    EXPECT_EQ(SerializePuzzle(board, ui).size(), PuzzleStreamSize(200, 45));
}

TEST(OmxReader, TheTrailerBytesRuleSetAndStatus) {
    // A stream without its rule-set byte: the trailer's first 10 stands there
    // and makes an Ombrix puzzle.
    Board board = EmptyBoard(9, 8, RuleSetTandrel);
    board.status = StatusSumTooSmall;
    Bytes stream = SerializePuzzle(board, UiState{});
    stream.erase(stream.end() - 5);
    Board read = EmptyBoard(10, 10, RuleSetTandrel);
    UiState readUi;
    EXPECT_EQ(DecodePuzzleFile(EncodeTextMode(stream), read, readUi).kind, ReadKind::Complete);
    EXPECT_EQ(read.ruleSet, RuleSetOmbrix);
    EXPECT_EQ(read.status, StatusSumTooSmall);
    EXPECT_EQ(readUi.layoutState, LayoutBarPending);

    // A complete file with status 3 is complete but keeps its layout byte.
    board = EmptyBoard(8, 8);
    board.status = StatusUnreadable;
    UiState ui;
    ui.layoutState = LayoutReady;
    EXPECT_EQ(ReadPuzzle(SerializePuzzle(board, ui), read, readUi).kind, ReadKind::Complete);
    EXPECT_EQ(read.status, StatusUnreadable);
    EXPECT_EQ(readUi.layoutState, LayoutReady);
    EXPECT_EQ(readUi.resizePending, 1);
    EXPECT_EQ(read.width, 8);
}

// The UI state read back from a file of an empty 9 x 8 board with `ui`.
UiState ReadBack(const UiState& ui) {
    Board board = EmptyBoard(9, 8);
    UiState read;
    ReadPuzzle(SerializePuzzle(board, ui), board, read);
    return read;
}

TEST(OmxReader, AStepHistoryOutOfBoundsIsEmptiedAndABadSelectedNumberBecomesOne) {
    // Entry `badIndex` at (x, y), every other at (1, 1), earlier code `prev`.
    const struct {
        const char* name;
        int count, badIndex, x, y, prev;
        bool kept;
    } cases[] = {
        {"in bounds", 12, 11, 9, 8, 0, true},
        {"count 200", 200, 0, 1, 1, 0, false},
        {"negative count", -1, 0, 1, 1, 0, false},
        {"column 0", 12, 11, 0, 1, 0, false},
        {"column past width", 12, 3, 10, 1, 0, false},
        {"row 0", 12, 0, 1, 0, 0, false},
        {"bad entry at the count", 12, 12, 200, 200, 0, true},
        // An earlier code no cell holds would put it on the board.
        {"earlier code 77", 3, 1, 1, 1, 77, false},
        {"earlier code 149", 3, 1, 1, 1, 149, false},
        {"earlier code 200", 3, 1, 1, 1, 200, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UiState ui;
        ui.historyCount = static_cast<std::int16_t>(c.count);
        for (int i = 0; i < kHistorySize; ++i)
            ui.historyX[i] = ui.historyY[i] = 1;
        ui.historyX[c.badIndex] = static_cast<std::uint8_t>(c.x);
        ui.historyY[c.badIndex] = static_cast<std::uint8_t>(c.y);
        ui.historyPrev[c.badIndex] = static_cast<std::uint8_t>(c.prev);
        const UiState read = ReadBack(ui);
        EXPECT_EQ(read.historyCount, c.kept ? c.count : 0);
        EXPECT_EQ(read.historyX[c.badIndex], c.x); // the entries stay as read
    }
    for (auto [stored, loaded] : {std::pair{0, 1}, {40, 40}, {41, 1}}) {
        UiState ui;
        ui.selectedNumber = static_cast<std::uint8_t>(stored);
        EXPECT_EQ(ReadBack(ui).selectedNumber, loaded) << "stored " << stored;
    }
}

} // namespace
} // namespace ombrix::testing
