// The text export: the board as a drawing in box-drawing characters, for
// reading or pasting elsewhere (nothing reads it back). Code page 932
// (Shift_JIS) bytes, every line ending in 13, 10:
//
//   簡易Ombrix            (簡易Tandrel for any rule set but 0)
//                         (empty)
//   ┌─┬─┬ ... ─┐
//   │ piece of each cell of row y
//   ├─┼ ... ─┤            (└─┴ ... ─┘ after the last row)
//   ...
//                         (empty)
//
// 2H + 4 lines. A cell shows its number for a clue 1..47 or an area cell
// 101..147 (" 7｜", "12｜"), a square for a black cell 50, 100, 200 ("■│"),
// and an ideographic space ("　│") for anything else.
#pragma once

#include "board.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace ombrix {

// The fixed pieces, as the code page 932 bytes they stand for.
namespace textpiece {
inline constexpr std::string_view kTitleOmbrix = "\x8A\xC8\x88\xD5Ombrix";   // 簡易Ombrix
inline constexpr std::string_view kTitleTandrel = "\x8A\xC8\x88\xD5Tandrel"; // 簡易Tandrel
inline constexpr std::string_view kTopLeft = "\x84\xA1";                     // ┌
inline constexpr std::string_view kTopJoint = "\x84\x9F\x84\xA6";            // ─┬
inline constexpr std::string_view kTopRight = "\x84\x9F\x84\xA2";            // ─┐
inline constexpr std::string_view kRowLeft = "\x84\xA0";                     // │
inline constexpr std::string_view kMidLeft = "\x84\xA5";                     // ├
inline constexpr std::string_view kMidCross = "\x84\x9F\x84\xA9";            // ─┼
inline constexpr std::string_view kMidRight = "\x84\x9F\x84\xA7";            // ─┤
inline constexpr std::string_view kBottomLeft = "\x84\xA4";                  // └
inline constexpr std::string_view kBottomJoint = "\x84\x9F\x84\xA8";         // ─┴
inline constexpr std::string_view kBottomRight = "\x84\x9F\x84\xA3";         // ─┘
inline constexpr std::string_view kNumberEdge = "\x81\x62";                  // ｜ after "%2d"
inline constexpr std::string_view kBlackCell = "\x81\xA1\x84\xA0";           // ■│
inline constexpr std::string_view kOtherCell = "\x81\x40\x84\xA0";           // 　│ (U+3000)
inline constexpr std::string_view kLineEnd = "\r\n";
} // namespace textpiece

// The export of `board` as it stands. Reads only the playable cells; changes
// nothing.
std::vector<std::uint8_t> ExportText(const Board& board);

} // namespace ombrix
