#include "safe_write.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

// The file a write to `path` should replace: the target of a symbolic link
// that leads to an existing file, else `path` itself.
std::string ResolveTarget(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string target = resolved;
    std::free(resolved);
    return target;
}

// Creates a new file beside `target` with a name of its own, 0666 less the
// umask. Returns the descriptor, or -1 with errno set.
int CreateTemporary(const std::string& target, std::string& tempPath) {
    // The name stays well below the usual 255-byte limit of one name,
    // however long the target's name is.
    const std::string stem = FolderOf(target) + "/." + NameOf(target).substr(0, 128) + ".tmp-";
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::minstd_rand random(seed() ^ static_cast<unsigned>(getpid()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = stem;
        for (int i = 0; i < 8; ++i)
            tempPath += kLetters[random() % (sizeof kLetters - 1)];
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
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

} // namespace

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         std::string& error) {
    auto fail = [&](const std::string& step, int err) {
        error = "cannot save " + path + ": " + step;
        if (err != 0) error += (step.empty() ? "" : ": ") + Reason(err);
        return false;
    };
    if (path.empty()) return fail("", ENOENT);
    const std::string target = ResolveTarget(path);

    struct stat old;
    const bool replacing = stat(target.c_str(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode)) return fail("", EISDIR);
    // A device or a pipe would be replaced by a plain file; refuse instead.
    if (replacing && !S_ISREG(old.st_mode)) return fail("not a regular file", 0);

    std::string tempPath;
    const int fd = CreateTemporary(target, tempPath);
    if (fd < 0) return fail("cannot create a temporary file in " + FolderOf(target), errno);

    // From here on every failure removes the temporary file.
    auto abandon = [&](const std::string& step, int err, bool open) {
        if (open) close(fd);
        unlink(tempPath.c_str());
        return fail(step, err);
    };
    if (replacing && fchmod(fd, old.st_mode & 07777) != 0)
        return abandon("cannot copy the permissions of the old file", errno, true);
    if (!WriteAll(fd, bytes)) return abandon("cannot write " + tempPath, errno, true);
    if (fsync(fd) != 0) return abandon("cannot flush " + tempPath + " to the disk", errno, true);
    if (close(fd) != 0) return abandon("cannot close " + tempPath, errno, false);
    if (rename(tempPath.c_str(), target.c_str()) != 0)
        return abandon("cannot rename " + tempPath + " over it", errno, false);

    // Make the rename itself durable. The new file is in place already, so a
    // failure here is not reported.
    const int dir = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    error.clear();
    return true;
}

bool ReadFileBytes(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes,
                   std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open " + path + ": " + Reason(errno);
        return false;
    }
    bytes.clear();
    std::uint8_t buffer[8192];
    while (bytes.size() < limit) {
        const std::size_t want = std::min(sizeof buffer, limit - bytes.size());
        const ssize_t n = read(fd, buffer, want);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = "cannot read " + path + ": " + Reason(errno);
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
