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
// Every kind but Complete leaves status 3 (StatusUnreadable) and changes
// nothing else; Complete may also leave 3 when that is the status byte the
// file holds.
enum class ReadKind : std::uint8_t {
    Complete, // every field up to the rule-set byte was there and in range
    CutShort, // the stream ended before its rule-set byte
    Refused,  // header short, a size no board has, or an impossible value
    NotRead,  // (files only) the file could not be opened or read
};

struct ReadResult {
    ReadKind kind = ReadKind::Complete;
    std::string reason; // empty for Complete; else what was wrong, in English
};

// Length of the stream of a W x H board, trailer included.
constexpr std::size_t PuzzleStreamSize(int width, int height) {
    return 615 + static_cast<std::size_t>(width + 2) * static_cast<std::size_t>(height + 2);
}

// The stream of the board and the user-interface state, exactly as stored
// (no text-mode translation). Changes nothing. Cells outside the 35 x 48 grid
// (only for a width above 33 or height above 46, which no board holds) are
// written as border cells.
std::vector<std::uint8_t> SerializePuzzle(const Board& board, const UiState& ui);

// Reads a stream into `board` and `ui`, all or nothing:
//   - Refused when fewer than the 9 header bytes are there, the size is
//     outside 8..31 x 8..45 (the reason names the wrong dimension), or the
//     stream holds a value this program never writes: a playable cell's
//     code outside 0, 1..48, 49, 50, 100, 101..148, 200, a ring cell other
//     than the border's 99, a phase above 3, a layout stage above 2, a
//     status above 7, a rule-set byte other than 0, 1 and 10.
//   - CutShort when the stream ends before its rule-set byte.
//   Either way status becomes 3 and nothing else changes.
//   - Otherwise every field is stored (a rule-set byte of 10, what a stream
//     without one shows there, is read as 0; the trailer is not read), the
//     grid is normalised (every cell outside x = 1..W, y = 1..H becomes a
//     border cell 99, every areaId and mark 0), the circled cell of a second
//     solution becomes (0, 0) (none: the file does not hold it),
//     resizePending becomes 1, and layoutState 1 unless status is 3.
//   - Finally a step history that breaks its bounds (historyCount outside
//     0..199, or an entry below historyCount whose column is outside 1..W,
//     row outside 1..H or earlier code not one a playable cell holds) is
//     emptied (historyCount 0), and a selectedNumber outside 1..40 becomes 1.
ReadResult ReadPuzzle(std::span<const std::uint8_t> stream, Board& board, UiState& ui);

// Text-mode translation between the stream and the bytes on disk.
std::vector<std::uint8_t> EncodeTextMode(std::span<const std::uint8_t> stream);
std::vector<std::uint8_t> DecodeTextMode(std::span<const std::uint8_t> disk);

// Shorthands: the disk bytes of a puzzle, and reading disk bytes.
std::vector<std::uint8_t> EncodePuzzleFile(const Board& board, const UiState& ui);
ReadResult DecodePuzzleFile(std::span<const std::uint8_t> disk, Board& board, UiState& ui);

} // namespace ombrix
