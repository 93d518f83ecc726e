// The reason of a failed save, for the editor's message boxes: the common
// reasons in Japanese, every other one as the writer gave it.
#pragma once

#include <QString>

#include <string>

namespace ombrix {

// `error` is the writer's one-line message ("cannot save PATH: ...: REASON",
// REASON the system's text for an errno). No permission, no such folder, a
// full disk and a read-only file system give a Japanese reason; any other
// message comes back whole.
QString SaveFailureReason(const std::string& error);

} // namespace ombrix
