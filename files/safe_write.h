// Writing a file so that a good file is never destroyed: the bytes go to a
// temporary file in the target's folder, which is flushed to the disk and then
// put in place of the target in one step. Readers of the target see either the
// old content or the new, never a part. Plain POSIX (Linux).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ombrix {

// Writes `bytes` to `path`, creating it or replacing it whole. Every writer
// of the program goes through here.
//
// The new content is written to a temporary file in the target's folder: an
// unnamed one linked into place where the file system allows it, else a
// hidden `.NAME.tmp-XXXXXXXX` file renamed over the target. The temporary
// file never has a wider mode than the final file. Every write, the flush to
// the disk and the close are checked.
//
// On success returns true; the target has the new content and, when it
// replaced a file, that file's permission bits, and its owner and group
// where the process may set them (a new file gets 0666 less the umask). The
// old file is replaced, not rewritten: a hard link to it keeps the old
// content.
//
// Symbolic links: a link at `path` is followed only when its owner is the
// caller or the owner of the folder that holds it (the rule the kernel
// applies in shared sticky folders), and only to a regular file or to a name
// that does not exist yet (a dangling link creates its target). The link
// itself stays. Any other link is refused.
//
// On failure returns false and sets `error` to one line naming the file, the
// step that failed and the system's reason (strerror), e.g.
//   "cannot save /home/a/p.omx: cannot create a temporary file in /home/a:
//    Permission denied", "cannot save /home/a/b: Is a directory".
// Refused without touching anything: a target that is not a regular file (a
// folder, a device, a FIFO), a file the caller may not write ("the file is
// read-only"; for root, a file with no write permission bit at all), and a
// symbolic link outside the rule above.
// The old file at `path`, if any, is untouched and no temporary file is left.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         std::string& error);

// Whether WriteFileAtomically tries the unnamed temporary file first (true,
// the default). Tests turn it off to run the named way on any file system.
extern bool gSafeWriteUnnamedFirst;

// Reads at most `limit` bytes from the start of the file at `path` into
// `bytes`. The file is opened without waiting, so a FIFO that no process
// writes reads as empty; a pipe or FIFO with a writer is read until the
// writer closes it (or the limit). On failure returns false and sets `error`
// to one line naming the file and the reason.
bool ReadFileBytes(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes,
                   std::string& error);

} // namespace ombrix
