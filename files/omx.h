// The .omx puzzle file: one puzzle with the whole state of the user's work
// (cells, size, counters, rule set, status code, phase, layout stage, selected
// number, step history) as a fixed sequence of bytes with no signature.
//
// Two layers, both on bytes (the file system is puzzle_file.h's business):
//   - the stream: the fields one after another (SerializePuzzle, ReadPuzzle);
//   - the disk bytes: the stream in text mode, every 10 stored as 13, 10
//     (EncodeTextMode, DecodeTextMode). On reading only the pair 13, 10
//     becomes 10; a lone 13 and a 26 are data.
//
// The stream, W = width, H = height ("char" = (value + 48) mod 256):
//   phase, layoutState, width, height        raw, one byte each
//   selectedNumber                           char
//   undecidedCount, historyCount             two chars each: n div 100, n mod 100
//   (W + 2)(H + 2) cell states               char, column by column x = 0..W+1,
//                                            rows y = 0..H+1 (the border ring too)
//   200 history triples X, Y, Prev           char
//   status, ruleSet                          raw
//   four line feeds                          raw (written, never read)
// so 615 + (W + 2)(H + 2) bytes: 759 for a 10 x 10 board, 765 on disk.
#pragma once

#include "board.h"
#include "uistate.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ombrix {

// How a read went. The byte reader gives the first three; LoadPuzzleFile
// (puzzle_file.h) adds NotRead for a file that could not be opened or read.
// Every kind but Complete leaves status 3 (StatusUnreadable); Complete may
// also leave 3 when that is the status byte the file holds.
enum class ReadKind : std::uint8_t {
    Complete, // every field up to the rule-set byte was there
    CutShort, // the stream ended early: the fields before the end were stored
    Refused,  // header short or size too large: nothing but status was touched
    NotRead,  // (files only) the file could not be opened or read
};

struct ReadResult {
    ReadKind kind = ReadKind::Complete;
    std::string reason; // empty for Complete; else what was wrong, in English
};

// The largest width and height the 35 x 48 grid can hold with its border ring.
inline constexpr int kOmxMaxWidth = kGridWidth - 2;   // 33
inline constexpr int kOmxMaxHeight = kGridHeight - 2; // 46

// Length of the stream of a W x H board, trailer included.
constexpr std::size_t PuzzleStreamSize(int width, int height) {
    return 615 + static_cast<std::size_t>(width + 2) * static_cast<std::size_t>(height + 2);
}

// The stream of the board and the user-interface state, exactly as stored
// (no text-mode translation). Changes nothing. Cells outside the 35 x 48 grid
// (only for a width above 33 or height above 46, which no board holds) are
// written as border cells.
std::vector<std::uint8_t> SerializePuzzle(const Board& board, const UiState& ui);

// Reads a stream into `board` and `ui`:
//   - Refused when fewer than the 9 header bytes are there or the header's
//     width is above 33 or height above 46: status becomes 3, nothing else
//     changes.
//   - Otherwise the fields are stored in order until the stream ends; the
//     field at which it ends and every later one keep their earlier values
//     (CutShort, status 3). Only the rule-set byte and those before it count:
//     the trailer is not read. A rule-set byte of 10 is read as 0.
//   - Then the grid is normalised (every cell outside x = 1..W, y = 1..H
//     becomes a border cell 99, every areaId and mark 0), resizePending
//     becomes 1, and layoutState 1 unless status is 3.
//   - Finally a step history that breaks its bounds (historyCount outside
//     0..199, or an entry below historyCount whose column is outside 1..W or
//     row outside 1..H) is emptied (historyCount 0), and a selectedNumber
//     outside 1..40 becomes 1.
// No cell outside the 35 x 48 grid is ever touched.
ReadResult ReadPuzzle(std::span<const std::uint8_t> stream, Board& board, UiState& ui);

// Text-mode translation between the stream and the bytes on disk.
std::vector<std::uint8_t> EncodeTextMode(std::span<const std::uint8_t> stream);
std::vector<std::uint8_t> DecodeTextMode(std::span<const std::uint8_t> disk);

// Shorthands: the disk bytes of a puzzle, and reading disk bytes.
std::vector<std::uint8_t> EncodePuzzleFile(const Board& board, const UiState& ui);
ReadResult DecodePuzzleFile(std::span<const std::uint8_t> disk, Board& board, UiState& ui);

} // namespace ombrix
