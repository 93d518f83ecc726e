// The safe writer and the file reader: a failed write must leave the old file
// and no temporary file behind, and say what failed where. (Loads that fail
// are the command-line and document tests'.) The
// tests run as root in CI, so failures are made with paths that cannot work
// for anyone (a parent that is a file, a folder that does not exist, a target
// that is a folder) and with a file-size limit, not with permissions.
#include "files_test_util.h"
#include "safe_write.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ombrix::testing {
namespace {

namespace fs = std::filesystem;

const Bytes kOld = {'o', 'l', 'd', '\n'};

// Both ways of writing: the unnamed temporary file and the named one that
// file systems without unnamed files get.
class SafeWriteBothWays : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override { gSafeWriteUnnamedFirst = GetParam(); }
    void TearDown() override { gSafeWriteUnnamedFirst = true; }
};
INSTANTIATE_TEST_SUITE_P(Temporary, SafeWriteBothWays, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Unnamed" : "Named"; });

// One file created, replaced, made to fail part way and refused as
// read-only: the old file always stays whole, no temporary is left, and a
// replaced file keeps its mode, and its owner and group where the process
// may set them.
TEST_P(SafeWriteBothWays, CreatesReplacesAndFailsWithoutLeavingTemporaries) {
    TempDir dir;
    const std::string path = dir / "puzzle.omx";
    struct stat st;
    auto mode = [&] { return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0u; };
    const Bytes first = {1, 2, 3, 10, 13, 26, 0};
    std::string error = "stale";
    const mode_t oldMask = umask(022);
    ASSERT_TRUE(WriteFileAtomically(path, first, error)) << error;
    umask(oldMask);
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(ReadAll(path), first);
    EXPECT_EQ(mode(), 0644u);

    // Replacing keeps the old file's permission bits.
    chmod(path.c_str(), 0600);
    const Bytes second(5000, 'x');
    ASSERT_TRUE(WriteFileAtomically(path, second, error)) << error;
    EXPECT_EQ(ReadAll(path), second);
    EXPECT_EQ(mode(), 0600u);

    // A mode wider than the umask is kept too: the file is widened after it
    // was created for the owner alone.
    chmod(path.c_str(), 0664);
    const mode_t narrow = umask(077);
    ASSERT_TRUE(WriteFileAtomically(path, first, error)) << error;
    umask(narrow);
    EXPECT_EQ(mode(), 0664u);

    // A file-size limit makes the write itself fail part way, even for root.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileAtomically(path, second, error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_NE(error.find("cannot save " + path), std::string::npos) << error;
    EXPECT_NE(error.find("File too large"), std::string::npos) << error;
    EXPECT_EQ(ReadAll(path), first);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"puzzle.omx"});

    // A file the caller may not write is refused.
    chmod(path.c_str(), 0444);
    EXPECT_FALSE(WriteFileAtomically(path, second, error));
    EXPECT_EQ(error, "cannot save " + path + ": the file is read-only");
    EXPECT_EQ(ReadAll(path), first);

    if (geteuid() != 0) GTEST_SKIP() << "files of other users need root";
    chmod(path.c_str(), 0640);
    ASSERT_EQ(chown(path.c_str(), 54321, 54322), 0);
    ASSERT_TRUE(WriteFileAtomically(path, second, error)) << error;
    EXPECT_EQ(mode(), 0640u);
    EXPECT_EQ(st.st_uid, 54321u);
    EXPECT_EQ(st.st_gid, 54322u);
    EXPECT_EQ(ReadAll(path), second);
}

TEST(SafeWrite, PathsThatCannotBeWrittenOrReadFailWithTheFileAndTheReason) {
    TempDir dir;
    WriteAll(dir / "plain", kOld);
    fs::create_directory(dir / "folder.omx");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    const struct {
        std::string path, reason;
    } cases[] = {
        {dir / "plain/puzzle.omx", "Not a directory"},
        {dir / "missing/puzzle.omx", "No such file or directory"},
        {dir / "folder.omx", "Is a directory"},
        {dir / "fifo", "not a regular file"},
        {"", "No such file or directory"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(WriteFileAtomically(c.path, kOld, error)) << c.path;
        EXPECT_NE(error.find("cannot save " + c.path), std::string::npos) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    EXPECT_EQ(ReadAll(dir / "plain"), kOld);
    EXPECT_TRUE(fs::is_directory(dir / "folder.omx"));
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"fifo", "folder.omx", "plain"}));
    // The reader stops at its limit; a missing file is named with the reason.
    WriteAll(dir / "big", Bytes(100000, 7));
    Bytes bytes;
    std::string error;
    ASSERT_TRUE(ReadFileBytes(dir / "big", 70000, bytes, error)) << error;
    EXPECT_EQ(bytes.size(), 70000u);
    EXPECT_FALSE(ReadFileBytes(dir / "none", 10, bytes, error));
    EXPECT_EQ(error, "cannot open " + (dir / "none") + ": No such file or directory");
}

// Symbolic links are followed only when they belong to the caller or to the
// folder's owner, and only to a regular file or a name still to be made.
TEST(SafeWrite, SymbolicLinksFollowTheKernelsOwnerRule) {
    TempDir dir;
    const Bytes text = {'n', 'e', 'w'};
    std::string error;
    WriteAll(dir / "target", kOld);
    fs::create_symlink("target", dir / "mine");
    fs::create_symlink("made", dir / "dangling");
    fs::create_symlink("dangling", dir / "chain");
    fs::create_symlink(".", dir / "folder");
    ASSERT_TRUE(WriteFileAtomically(dir / "mine", text, error)) << error;
    EXPECT_EQ(ReadAll(dir / "target"), text);
    ASSERT_TRUE(WriteFileAtomically(dir / "chain", text, error)) << error;
    EXPECT_EQ(ReadAll(dir / "made"), text);
    EXPECT_FALSE(WriteFileAtomically(dir / "folder", text, error));
    EXPECT_NE(error.find("Is a directory"), std::string::npos) << error;
    EXPECT_EQ(dir.Names(),
              (std::vector<std::string>{"chain", "dangling", "folder", "made", "mine", "target"}));
    for (const char* link : {"mine", "dangling", "chain"})
        EXPECT_TRUE(fs::is_symlink(dir / link)) << link;

    // A link planted by another user is not followed; one of the folder's
    // owner is. Only root can give a link away.
    if (geteuid() != 0) GTEST_SKIP() << "giving links to other users needs root";
    constexpr uid_t kOther = 54321;
    ASSERT_EQ(lchown((dir / "mine").c_str(), kOther, kOther), 0);
    WriteAll(dir / "target", kOld);
    EXPECT_FALSE(WriteFileAtomically(dir / "mine", text, error));
    EXPECT_NE(error.find("belongs to neither you nor the folder's owner"), std::string::npos)
        << error;
    EXPECT_EQ(ReadAll(dir / "target"), kOld);
    ASSERT_EQ(chown(dir.path().c_str(), kOther, kOther), 0);
    ASSERT_TRUE(WriteFileAtomically(dir / "mine", text, error)) << error;
    EXPECT_EQ(ReadAll(dir / "target"), text);
}

} // namespace
} // namespace ombrix::testing
