// The .omx reader and writer. The writer stores every field exactly as it is;
// the reader stores the bytes back without judging them, except where a
// value would let the reader or the view reach outside their arrays: a size
// the grid cannot hold is refused, and a step history or selected number out
// of bounds is reset after the load (see omx.h).
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

// A step history whose entries the view may use to index the board.
bool HistoryInBounds(const UiState& ui, int width, int height) {
    if (ui.historyCount < 0 || ui.historyCount > kMaxHistoryCount) return false;
    for (int i = 0; i < ui.historyCount; ++i) {
        if (ui.historyX[i] < 1 || ui.historyX[i] > width) return false;
        if (ui.historyY[i] < 1 || ui.historyY[i] > height) return false;
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

ReadResult ReadPuzzle(std::span<const std::uint8_t> stream, Board& board, UiState& ui) {
    if (stream.size() < kHeaderSize) {
        board.status = StatusUnreadable;
        return {ReadKind::Refused,
                "the header ends after " + std::to_string(stream.size()) + " of its 9 bytes"};
    }
    const int w = stream[2], h = stream[3];
    if (w > kOmxMaxWidth || h > kOmxMaxHeight) {
        board.status = StatusUnreadable;
        return {ReadKind::Refused, "the board size " + std::to_string(w) + " x " +
                                       std::to_string(h) + " is larger than 33 x 46"};
    }

    ui.phase = stream[0];
    ui.layoutState = stream[1];
    board.width = static_cast<std::uint8_t>(w);
    board.height = static_cast<std::uint8_t>(h);
    ui.selectedNumber = FromChar(stream[4]);
    board.undecidedCount = GetCounter(stream[5], stream[6]);
    ui.historyCount = static_cast<std::int16_t>(GetCounter(stream[7], stream[8]));

    // The rest is read field by field until the stream ends; the read that
    // meets the end stores nothing, and neither does any read after it.
    std::size_t pos = kHeaderSize;
    const char* endedIn = nullptr;
    auto next = [&](std::uint8_t& into, const char* where) {
        if (pos >= stream.size()) {
            if (!endedIn) endedIn = where;
            return false;
        }
        into = stream[pos++];
        return true;
    };

    std::uint8_t byte = 0;
    for (int x = 0; x <= w + 1 && !endedIn; ++x)
        for (int y = 0; y <= h + 1 && !endedIn; ++y)
            if (next(byte, "the cells")) board.cells[x][y].state = FromChar(byte);
    for (int i = 0; i < kHistorySize && !endedIn; ++i) {
        if (next(byte, "the step history")) ui.historyX[i] = FromChar(byte);
        if (next(byte, "the step history")) ui.historyY[i] = FromChar(byte);
        if (next(byte, "the step history")) ui.historyPrev[i] = FromChar(byte);
    }
    if (next(byte, "the status byte")) board.status = byte;
    if (next(byte, "the rule-set byte"))
        board.ruleSet = byte == kMissingRuleSet ? std::uint8_t{RuleSetOmbrix} : byte;
    if (endedIn) board.status = StatusUnreadable;

    // The ring bytes of the file are never used: everything outside the
    // playable cells is border, whatever the file or the old board held.
    for (int x = 0; x < kGridWidth; ++x) {
        for (int y = 0; y < kGridHeight; ++y) {
            Cell& c = board.cells[x][y];
            if (x == 0 || x > w || y == 0 || y > h) c.state = Border;
            c.areaId = 0;
            c.mark = 0;
        }
    }
    ui.resizePending = 1;
    if (board.status != StatusUnreadable) ui.layoutState = LayoutBarPending;

    if (!HistoryInBounds(ui, w, h)) ui.historyCount = 0;
    if (ui.selectedNumber < 1 || ui.selectedNumber > kMaxSelectedNumber) ui.selectedNumber = 1;

    if (!endedIn) return {ReadKind::Complete, {}};
    return {ReadKind::CutShort, "the puzzle data ends in " + std::string(endedIn) + ", after " +
                                    std::to_string(stream.size()) + " of the " +
                                    std::to_string(NeededSize(w, h)) + " bytes a " +
                                    std::to_string(w) + " x " + std::to_string(h) + " board needs"};
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
