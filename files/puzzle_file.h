// The file commands' work without their dialogs: load and save a .omx puzzle
// file and save the text export, by path. The editor and ombrix-cli call
// these; the formats themselves are in omx.h and text_export.h.
#pragma once

#include "board.h"
#include "omx.h"
#include "uistate.h"

#include <string>

namespace ombrix {

// Loads the puzzle file at `path` into `board` and `ui` as ReadPuzzle
// (omx.h) describes, all or nothing, and returns how it went:
//   Complete  the file was read to its rule-set byte; `error` is empty. The
//             status byte is the file's (possibly 3, if saved so).
//   CutShort  the file ended early,
//   Refused   header short, a size no board has or an impossible value,
//   NotRead   the file could not be opened or read: for these three only
//             status changed (3) and `error` is one line naming the file and
//             the reason.
// In every case the caller repaints; the view shows status 3's message.
ReadKind LoadPuzzleFile(const std::string& path, Board& board, UiState& ui, std::string& error);

// Saves `board` and `ui` as a puzzle file at `path` (created or replaced
// whole, see WriteFileAtomically). Changes no field. On failure returns false,
// the old file is untouched and `error` names the file and the reason.
bool SavePuzzleFile(const std::string& path, const Board& board, const UiState& ui,
                    std::string& error);

// Saves the text export of `board` at `path`, like SavePuzzleFile.
bool SaveTextExport(const std::string& path, const Board& board, std::string& error);

} // namespace ombrix
