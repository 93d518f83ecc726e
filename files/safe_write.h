// Writing a file so that a good file is never destroyed: the bytes go to a
// temporary file in the target's folder, which is flushed to the disk and then
// renamed over the target in one step. Readers of the target see either the
// old content or the new, never a part. Plain POSIX.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ombrix {

// Writes `bytes` to `path`, creating it or replacing it whole.
//
// On success returns true; the target has the new content, keeps the
// permission bits of the file it replaced (a new file gets 0666 less the
// umask), and a symbolic link at `path` still points where it did (its
// target is replaced).
//
// On failure returns false and sets `error` to one line naming the file, the
// step that failed and the system's reason (strerror), e.g.
//   "cannot save /home/a/p.omx: cannot create a temporary file in /home/a:
//    Permission denied", "cannot save /home/a/b: Is a directory".
// A target that exists but is not a regular file (a folder, a device) is
// refused without touching it.
// The old file at `path`, if any, is untouched and no temporary file is left.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         std::string& error);

// Reads at most `limit` bytes from the start of the file at `path` into
// `bytes`. On failure returns false and sets `error` to one line naming the
// file and the reason.
bool ReadFileBytes(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes,
                   std::string& error);

} // namespace ombrix
