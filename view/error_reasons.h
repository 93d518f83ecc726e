// The reason of a failed save or load, for the editor's message boxes: the
// common reasons in Japanese, every other one as the writer or reader gave it.
#pragma once

#include "omx.h"

#include <QString>

#include <string>

namespace ombrix {

// `error` is the writer's one-line message ("cannot save PATH: ...: REASON",
// REASON the system's text for an errno). No permission, no such folder, a
// full disk and a read-only file system give a Japanese reason; any other
// message comes back whole.
QString SaveFailureReason(const std::string& error);

// The reason a file could not be opened or read, from the reader's one-line
// message ("cannot open PATH: REASON"): a missing file, no permission and a
// folder in Japanese, any other message whole.
QString ReadFailureReason(const std::string& error);

// The reason a puzzle file was not loaded: `kind` and the loader's message
// as LoadPuzzleFile gives them.
QString PuzzleFailureReason(ReadKind kind, const std::string& error);

// The reason grid text was not loaded: the reader's problem and where.
QString GridTextFailureReason(int line, int column, const std::string& message);

} // namespace ombrix
