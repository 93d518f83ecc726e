// The .omx reader and writer. The writer stores every field exactly as it is.
// The reader takes a file whole or not at all: a stream that ends early, a
// size no board has or a value this program never writes (a cell code, a
// phase, a layout stage, a status, a rule set) leaves everything but the
// status as it was. A step history or selected number that cannot be used is
// reset after the load (see omx.h).
#include "omx.h"

#include <algorithm>
#include <string>

namespace ombrix {

namespace {

constexpr std::size_t kHeaderSize = 9;
constexpr std::uint8_t kLineFeed = 10;
constexpr std::uint8_t kCarriageReturn = 13;
// A rule-set byte of 10 is the first trailer byte of a stream written
// without a rule set; such a file is an Ombrix puzzle.
constexpr std::uint8_t kMissingRuleSet = 10;
constexpr int kMaxSelectedNumber = 40;
constexpr int kMaxHistoryCount = kHistorySize - 1; // 199

std::uint8_t ToChar(int value) {
    return static_cast<std::uint8_t>((value + 48) & 0xFF);
}
std::uint8_t FromChar(std::uint8_t byte) {
    return static_cast<std::uint8_t>((byte - 48) & 0xFF);
}

int FloorDiv(int a, int b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

// The two-digit counter: the reader computes (hi - 48) * 100 + (lo - 48) in
// 16 bits, so each digit is -48..207 and the values it can produce are
// -4848..20907 modulo 2^16. The writer stores n div 100 and n mod 100, which
// covers 0..20799 (the counters never exceed 1395); any other value can only
// come from a damaged file, and gets the digits that read back as that value.
void PutCounter(std::vector<std::uint8_t>& out, std::uint16_t n) {
    int hi = n / 100, lo = n % 100;
    if (hi > 207) {
        const int s = n >= 0x8000 ? n - 0x10000 : n;
        hi = std::clamp(FloorDiv(s + 48, 100), -48, 207);
        lo = s - 100 * hi;
    }
    out.push_back(ToChar(hi));
    out.push_back(ToChar(lo));
}

std::uint16_t GetCounter(std::uint8_t hi, std::uint8_t lo) {
    return static_cast<std::uint16_t>((hi - 48) * 100 + (lo - 48));
}

// Bytes of the stream up to and including the rule-set byte.
std::size_t NeededSize(int width, int height) {
    return PuzzleStreamSize(width, height) - 4;
}

// A code a playable cell of a saved board holds: empty, a clue, a white dot,
// black, an area cell or a given black cell.
bool IsPlayableCode(int s) {
    return s <= BlackLinked || (s >= Black && s <= AreaCellBase + kMaxClue) || s == GivenBlack;
}

// A step history whose entries the view may use to index the board, and
// whose undo puts back only codes a cell can hold.
bool HistoryInBounds(const UiState& ui, int width, int height) {
    if (ui.historyCount < 0 || ui.historyCount > kMaxHistoryCount) return false;
    for (int i = 0; i < ui.historyCount; ++i) {
        if (ui.historyX[i] < 1 || ui.historyX[i] > width) return false;
        if (ui.historyY[i] < 1 || ui.historyY[i] > height) return false;
        if (!IsPlayableCode(ui.historyPrev[i])) return false;
    }
    return true;
}

} // namespace

std::vector<std::uint8_t> SerializePuzzle(const Board& board, const UiState& ui) {
    const int w = board.width, h = board.height;
    std::vector<std::uint8_t> out;
    out.reserve(PuzzleStreamSize(w, h));
    out.push_back(ui.phase);
    out.push_back(ui.layoutState);
    out.push_back(board.width);
    out.push_back(board.height);
    out.push_back(ToChar(ui.selectedNumber));
    PutCounter(out, board.undecidedCount);
    PutCounter(out, static_cast<std::uint16_t>(ui.historyCount));
    for (int x = 0; x <= w + 1; ++x) {
        for (int y = 0; y <= h + 1; ++y) {
            const bool inGrid = x < kGridWidth && y < kGridHeight;
            out.push_back(ToChar(inGrid ? board.cells[x][y].state : int{Border}));
        }
    }
    for (int i = 0; i < kHistorySize; ++i) {
        out.push_back(ToChar(ui.historyX[i]));
        out.push_back(ToChar(ui.historyY[i]));
        out.push_back(ToChar(ui.historyPrev[i]));
    }
    out.push_back(board.status);
    out.push_back(board.ruleSet);
    out.insert(out.end(), 4, kLineFeed);
    return out;
}

namespace {

// Why a size is one no board has, naming the wrong dimension; empty if fine.
std::string SizeProblem(int w, int h) {
    std::string problem;
    if (w < kMinWidth || w > kMaxWidth)
        problem = "the board width " + std::to_string(w) + " is outside " +
                  std::to_string(kMinWidth) + ".." + std::to_string(kMaxWidth);
    if (h < kMinHeight || h > kMaxHeight)
        problem += (problem.empty() ? "the board height " : " and its height ") +
                   std::to_string(h) + " is outside " + std::to_string(kMinHeight) + ".." +
                   std::to_string(kMaxHeight);
    return problem;
}

std::string Outside(const char* field, int value, int low, int high) {
    return std::string(field) + " " + std::to_string(value) + " is outside " + std::to_string(low) +
           ".." + std::to_string(high);
}

} // namespace

namespace {

// Where the parts of a w x h stream start.
struct Layout {
    std::size_t cellsAt, historyAt, statusAt, ruleSetAt;
    Layout(int w, int h)
        : cellsAt(kHeaderSize), historyAt(cellsAt + static_cast<std::size_t>((w + 2) * (h + 2))),
          statusAt(historyAt + 3 * kHistorySize), ruleSetAt(statusAt + 1) {}
};

// Why a stream of n bytes is too short for a w x h board.
std::string CutShort(std::size_t n, int w, int h) {
    const Layout at(w, h);
    const char* endedIn = n < at.historyAt   ? "the cells"
                          : n < at.statusAt  ? "the step history"
                          : n < at.ruleSetAt ? "the status byte"
                                             : "the rule-set byte";
    return "the puzzle data ends in " + std::string(endedIn) + ", after " + std::to_string(n) +
           " of the " + std::to_string(NeededSize(w, h)) + " bytes a " + std::to_string(w) + " x " +
           std::to_string(h) + " board needs";
}

// The first value of a whole stream that this program never writes, or "".
std::string ValueProblem(std::span<const std::uint8_t> stream, int w, int h) {
    const Layout at(w, h);
    if (stream[0] > PhaseAutoSolved) return Outside("the phase", stream[0], 0, PhaseAutoSolved);
    if (stream[1] > LayoutReady) return Outside("the layout stage", stream[1], 0, LayoutReady);
    if (stream[at.statusAt] > StatusSumTooLarge)
        return Outside("the status", stream[at.statusAt], 0, StatusSumTooLarge);
    const std::uint8_t ruleByte = stream[at.ruleSetAt];
    if (ruleByte != RuleSetOmbrix && ruleByte != RuleSetTandrel && ruleByte != kMissingRuleSet)
        return "the rule set " + std::to_string(ruleByte) + " is neither 0 nor 1";
    std::size_t pos = at.cellsAt;
    for (int x = 0; x <= w + 1; ++x)
        for (int y = 0; y <= h + 1; ++y) {
            const int code = FromChar(stream[pos++]);
            const bool ring = x == 0 || x > w || y == 0 || y > h;
            if (ring ? code != Border : !IsPlayableCode(code))
                return "cell (" + std::to_string(x) + ", " + std::to_string(y) +
                       ") holds the code " + std::to_string(code) +
                       (ring ? ", not the border's 99" : ", which no cell holds");
        }
    return {};
}

} // namespace

ReadResult ReadPuzzle(std::span<const std::uint8_t> stream, Board& board, UiState& ui) {
    // Everything is checked before anything is stored: a refused stream
    // changes nothing but the status.
    auto refuse = [&](ReadKind kind, std::string reason) {
        board.status = StatusUnreadable;
        return ReadResult{kind, std::move(reason)};
    };
    if (stream.size() < kHeaderSize)
        return refuse(ReadKind::Refused,
                      "the header ends after " + std::to_string(stream.size()) + " of its 9 bytes");
    const int w = stream[2], h = stream[3];
    if (std::string problem = SizeProblem(w, h); !problem.empty())
        return refuse(ReadKind::Refused, problem);
    const Layout at(w, h);
    const std::size_t cellsAt = at.cellsAt, historyAt = at.historyAt, statusAt = at.statusAt;
    if (stream.size() <= at.ruleSetAt)
        return refuse(ReadKind::CutShort, CutShort(stream.size(), w, h));
    if (std::string problem = ValueProblem(stream, w, h); !problem.empty())
        return refuse(ReadKind::Refused, problem);
    const std::uint8_t ruleByte = stream[at.ruleSetAt];

    ui.phase = stream[0];
    ui.layoutState = stream[1];
    board.width = static_cast<std::uint8_t>(w);
    board.height = static_cast<std::uint8_t>(h);
    ui.selectedNumber = FromChar(stream[4]);
    board.undecidedCount = GetCounter(stream[5], stream[6]);
    ui.historyCount = static_cast<std::int16_t>(GetCounter(stream[7], stream[8]));
    // Everything outside the playable cells is border, whatever the old
    // board held.
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y) {
            Cell& c = board.cells[x][y];
            const bool inFile = x <= w + 1 && y <= h + 1;
            const std::uint8_t code = inFile ? FromChar(stream[cellsAt + x * (h + 2) + y]) : 0;
            c.state = board.isPlayable(x, y) ? code : std::uint8_t{Border};
            c.areaId = 0;
            c.mark = 0;
        }
    std::size_t pos = historyAt;
    for (int i = 0; i < kHistorySize; ++i) {
        ui.historyX[i] = FromChar(stream[pos++]);
        ui.historyY[i] = FromChar(stream[pos++]);
        ui.historyPrev[i] = FromChar(stream[pos++]);
    }
    board.status = stream[statusAt];
    board.ruleSet = ruleByte == kMissingRuleSet ? std::uint8_t{RuleSetOmbrix} : ruleByte;
    // The file does not hold the circled cell of a second solution: no
    // circle is left over from the puzzle loaded before.
    board.altCellX = 0;
    board.altCellY = 0;

    ui.resizePending = 1;
    if (board.status != StatusUnreadable) ui.layoutState = LayoutBarPending;
    if (!HistoryInBounds(ui, w, h)) ui.historyCount = 0;
    if (ui.selectedNumber < 1 || ui.selectedNumber > kMaxSelectedNumber) ui.selectedNumber = 1;
    return {ReadKind::Complete, {}};
}

std::vector<std::uint8_t> EncodeTextMode(std::span<const std::uint8_t> stream) {
    std::vector<std::uint8_t> disk;
    disk.reserve(stream.size() + stream.size() / 64 + 8);
    for (std::uint8_t b : stream) {
        if (b == kLineFeed) disk.push_back(kCarriageReturn);
        disk.push_back(b);
    }
    return disk;
}

std::vector<std::uint8_t> DecodeTextMode(std::span<const std::uint8_t> disk) {
    std::vector<std::uint8_t> stream;
    stream.reserve(disk.size());
    for (std::size_t i = 0; i < disk.size(); ++i) {
        if (disk[i] == kCarriageReturn && i + 1 < disk.size() && disk[i + 1] == kLineFeed) ++i;
        stream.push_back(disk[i]);
    }
    return stream;
}

std::vector<std::uint8_t> EncodePuzzleFile(const Board& board, const UiState& ui) {
    return EncodeTextMode(SerializePuzzle(board, ui));
}

ReadResult DecodePuzzleFile(std::span<const std::uint8_t> disk, Board& board, UiState& ui) {
    return ReadPuzzle(DecodeTextMode(disk), board, ui);
}

} // namespace ombrix
