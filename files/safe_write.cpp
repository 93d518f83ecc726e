#include "safe_write.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace ombrix {

namespace {

std::string Reason(int err) {
    return std::generic_category().message(err);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What a write to a path replaces or creates.
struct Target {
    std::string path;    // the name to put the new file at
    bool exists = false; // `st` is valid
    struct stat st {};
    bool refused = false;
    std::string problem; // why it is refused (may be empty)
    int err = 0;         // the system's reason (0: none)

    Target& refuse(std::string why, int reason) {
        refused = true;
        problem = std::move(why);
        err = reason;
        return *this;
    }
};

// Follows symbolic links from `path` as far as the writer may: a link is
// followed only when its owner is the caller or the owner of its folder.
Target ResolveTarget(const std::string& path) {
    Target t;
    t.path = path;
    for (int hops = 0;; ++hops) {
        if (lstat(t.path.c_str(), &t.st) != 0) {
            const int err = errno;
            if (err != ENOENT) return t.refuse("", err);
            return t; // a new name (possibly the target of a dangling link)
        }
        if (!S_ISLNK(t.st.st_mode)) {
            t.exists = true;
            return t;
        }
        if (hops == 40) return t.refuse("", ELOOP);
        struct stat folder;
        const std::string folderPath = FolderOf(t.path);
        if (stat(folderPath.c_str(), &folder) != 0) {
            const int err = errno;
            return t.refuse("", err);
        }
        if (t.st.st_uid != geteuid() && t.st.st_uid != folder.st_uid)
            return t.refuse("the symbolic link " + t.path +
                                " belongs to neither you nor the folder's owner; not followed",
                            0);
        std::string link(static_cast<std::size_t>(std::max<off_t>(t.st.st_size, 0)) + 256, '\0');
        const ssize_t n = readlink(t.path.c_str(), link.data(), link.size());
        if (n < 0) {
            const int err = errno;
            return t.refuse("", err);
        }
        link.resize(static_cast<std::size_t>(n));
        t.path = link.starts_with('/') ? link : folderPath + "/" + link;
    }
}

// True when the caller may not write the existing file: its write permission
// for a user, no write bit at all for root (as `rm` warns of). A read-only
// file system sets errno to EROFS.
bool IsReadOnly(const std::string& path, const struct stat& st) {
    if (geteuid() == 0) return (st.st_mode & 0222) == 0;
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A fresh hidden name beside `target`, well below the usual 255-byte limit
// of one name however long the target's name is.
class TempNames {
  public:
    explicit TempNames(const std::string& target)
        : stem_(FolderOf(target) + "/." + NameOf(target).substr(0, 128) + ".tmp-"),
          random_(std::random_device{}() ^ static_cast<unsigned>(getpid())) {}
    std::string next() {
        static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
        std::string name = stem_;
        for (int i = 0; i < 8; ++i)
            name += kLetters[random_() % (sizeof kLetters - 1)];
        return name;
    }

  private:
    std::string stem_;
    std::minstd_rand random_;
};

// One attempt at writing; `fail` records the step and reason.
class Writer {
  public:
    Writer(const Target& target, std::span<const std::uint8_t> bytes)
        : target_(target), bytes_(bytes), names_(target.path) {}

    enum class Result { Done, Failed, Unsupported };

    // The unnamed temporary file, linked into place when complete.
    Result unnamed() {
        const std::string folder = FolderOf(target_.path);
        const int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, initialMode());
        if (fd < 0) {
            const int err = errno;
            // Not offered by this file system (or kernel): the named way.
            if (err == EOPNOTSUPP || err == EISDIR || err == EINVAL) return Result::Unsupported;
            return fail("cannot create a temporary file in " + folder, err);
        }
        if (!fill(fd, "the new content")) return close(fd), Result::Failed;
        std::string linked;
        const int linkErr = linkInPlace(fd, linked);
        if (linkErr != 0) {
            close(fd);
            if (linkErr == EPERM || linkErr == ENOENT) return Result::Unsupported; // no /proc
            return fail("cannot link the new file into " + folder, linkErr);
        }
        if (close(fd) != 0) {
            const int err = errno;
            unlink(linked.c_str());
            return fail("cannot close the new file", err);
        }
        return linked == target_.path ? Result::Done : renameOver(linked);
    }

    // A hidden named temporary file, renamed over the target when complete.
    Result named() {
        std::string tempPath;
        int fd = -1;
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            tempPath = names_.next();
            fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, initialMode());
            if (fd < 0 && errno != EEXIST) break;
        }
        if (fd < 0) {
            const int err = errno;
            return fail("cannot create a temporary file in " + FolderOf(target_.path), err);
        }
        if (!fill(fd, tempPath)) {
            close(fd);
            unlink(tempPath.c_str());
            return Result::Failed;
        }
        if (close(fd) != 0) {
            const int err = errno;
            unlink(tempPath.c_str());
            return fail("cannot close " + tempPath, err);
        }
        return renameOver(tempPath);
    }

    std::string step;
    int err = 0;

  private:
    // A new file gets 0666 less the umask from the start; a replacement is
    // created for the owner alone and widened to the old file's mode once its
    // owner is set.
    mode_t initialMode() const { return target_.exists ? 0600 : 0666; }

    Result fail(std::string what, int reason) {
        step = std::move(what);
        err = reason;
        return Result::Failed;
    }

    // Owner, mode, content and the flush to the disk; false after fail().
    bool fill(int fd, const std::string& name) {
        if (target_.exists) {
            // Keep the owner and group where the process may set them; a
            // user who may not give the file away keeps at least the group.
            if (fchown(fd, target_.st.st_uid, target_.st.st_gid) != 0)
                (void)!fchown(fd, static_cast<uid_t>(-1), target_.st.st_gid);
            if (fchmod(fd, target_.st.st_mode & 07777) != 0) {
                const int e = errno;
                return fail("cannot copy the permissions of the old file", e), false;
            }
        }
        if (!WriteAll(fd, bytes_)) {
            const int e = errno;
            return fail("cannot write " + name, e), false;
        }
        if (fsync(fd) != 0) {
            const int e = errno;
            return fail("cannot flush " + name + " to the disk", e), false;
        }
        return true;
    }

    // Links the unnamed file at `fd` to the target when it is new, else to a
    // fresh temporary name; returns 0 or the reason.
    int linkInPlace(int fd, std::string& linked) {
        char proc[64];
        std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
        auto link = [&](const std::string& name) {
            if (linkat(AT_FDCWD, proc, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
            const int err = errno;
            if (err == ENOENT && access("/proc/self/fd", F_OK) == 0) return err;
            // Without /proc, linking by descriptor needs a capability.
            return linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
        };
        if (!target_.exists) {
            const int err = link(target_.path);
            if (err != EEXIST) {
                linked = target_.path;
                return err;
            }
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            linked = names_.next();
            const int err = link(linked);
            if (err != EEXIST) return err;
        }
        return EEXIST;
    }

    Result renameOver(const std::string& tempPath) {
        if (rename(tempPath.c_str(), target_.path.c_str()) != 0) {
            const int e = errno;
            unlink(tempPath.c_str());
            return fail("cannot rename " + tempPath + " over it", e);
        }
        return Result::Done;
    }

    const Target& target_;
    std::span<const std::uint8_t> bytes_;
    TempNames names_;
};

} // namespace

bool gSafeWriteUnnamedFirst = true;

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         std::string& error) {
    auto fail = [&](const std::string& step, int err) {
        error = "cannot save " + path;
        if (!step.empty()) error += ": " + step;
        if (err != 0) error += ": " + Reason(err);
        return false;
    };
    if (path.empty()) return fail("", ENOENT);
    const Target target = ResolveTarget(path);
    if (target.refused) return fail(target.problem, target.err);

    if (target.exists) {
        if (S_ISDIR(target.st.st_mode)) return fail("", EISDIR);
        // A device or a pipe would be replaced by a plain file; refuse instead.
        if (!S_ISREG(target.st.st_mode)) return fail("not a regular file", 0);
        if (IsReadOnly(target.path, target.st)) {
            const int err = errno;
            return err == EROFS ? fail("", EROFS) : fail("the file is read-only", 0);
        }
    }

    Writer writer(target, bytes);
    Writer::Result result = gSafeWriteUnnamedFirst ? writer.unnamed() : Writer::Result::Unsupported;
    if (result == Writer::Result::Unsupported) result = writer.named();
    if (result != Writer::Result::Done) return fail(writer.step, writer.err);

    // Make the new name itself durable. The new file is in place already, so
    // a failure here is not reported.
    const int dir = open(FolderOf(target.path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    error.clear();
    return true;
}

bool ReadFileBytes(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes,
                   std::string& error) {
    // Opening a FIFO for reading waits for a writer unless told not to; once
    // open, reads wait as usual, and a FIFO with no writer reads as empty.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        error = "cannot open " + path + ": " + Reason(err);
        return false;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    bytes.clear();
    std::uint8_t buffer[8192];
    while (bytes.size() < limit) {
        const std::size_t want = std::min(sizeof buffer, limit - bytes.size());
        const ssize_t n = read(fd, buffer, want);
        if (n < 0) {
            const int err = errno;
            if (err == EINTR) continue;
            error = "cannot read " + path + ": " + Reason(err);
            close(fd);
            return false;
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    close(fd);
    error.clear();
    return true;
}

} // namespace ombrix
