// ombrix-cli's file subcommands, run as the built program: convert,
// export-text, solve --out, and the errors for damaged or unwritable files.
#include "files_test_util.h"
#include "grid_text.h"
#include "omx.h"
#include "solver.h"
#include "status_text.h"
#include "text_export.h"
#include "version.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>

namespace ombrix::testing {
namespace {

struct CliRun {
    int exitCode = -1;
    std::string out, err;
};

// Runs ombrix-cli with `args`, its output and errors caught in files of `dir`.
// `setup` is shell text that starts the tool ("ulimit -f 1; exec", or
// "cat FILE |" to feed standard input).
CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args,
              const std::string& setup = "exec") {
    std::string command = "(" + setup + " " + OMBRIX_CLI;
    for (const std::string& a : args)
        command += " '" + a + "'"; // the test's own paths hold no quote
    const std::string outPath = dir / ".stdout", errPath = dir / ".stderr";
    const int status = std::system((command + ") >'" + outPath + "' 2>'" + errPath + "'").c_str());
    CliRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const Bytes out = ReadAll(outPath), err = ReadAll(errPath);
    run.out.assign(out.begin(), out.end());
    run.err.assign(err.begin(), err.end());
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return run;
}

const char* kGrid = "# a small Tandrel puzzle\n"
                    "tandrel 9 8\n"
                    ". . . . . . . . 2\n"
                    ". 3 . . . . # . .\n"
                    ". . . . . . . . .\n"
                    ". . . . 4 . . . .\n"
                    ". . . . . . . . .\n"
                    ". . # . . . . 1 .\n"
                    ". . . . . . . . .\n"
                    "5 . . . . . . . .\n";

Board ParseGrid(const std::string& text) {
    Board board;
    GridTextError error;
    EXPECT_TRUE(ParseGridText(text, board, error)) << error.describe();
    return board;
}

TEST(CliFiles, ConvertMakesAFreshEditPhaseFileAndBack) {
    TempDir dir;
    WriteText(dir / "p.grid", kGrid);
    CliRun run = RunCli(dir, {"convert", dir / "p.grid", dir / "p.omx"});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const Board grid = ParseGrid(kGrid);
    const Bytes stream = DecodeTextMode(ReadAll(dir / "p.omx"));
    ASSERT_EQ(stream.size(), PuzzleStreamSize(9, 8));
    // phase 0, layoutState 2, 9 x 8, selectedNumber 1, undecided 0, history 0
    EXPECT_EQ(Bytes(stream.begin(), stream.begin() + 9), (Bytes{0, 2, 9, 8, 49, 48, 48, 48, 48}));
    const std::size_t history = 9 + 11 * 10;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 8; ++y)
            EXPECT_EQ(stream[9 + x * 10 + y], (grid.state(x, y) + 48) & 0xFF) << x << "," << y;
    EXPECT_EQ(Bytes(stream.begin() + history, stream.begin() + history + 600), Bytes(600, 48));
    EXPECT_EQ(stream[history + 600], StatusNone);
    EXPECT_EQ(stream[history + 601], RuleSetTandrel);

    run = RunCli(dir, {"convert", dir / "p.omx", dir / "back.grid"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Bytes back = ReadAll(dir / "back.grid");
    EXPECT_EQ(std::string(back.begin(), back.end()), FormatGridText(grid));

    // Same kind on both sides is a usage error.
    EXPECT_EQ(RunCli(dir, {"convert", dir / "p.grid", dir / "q.grid"}).exitCode, 1);
    EXPECT_EQ(RunCli(dir, {"convert", dir / "p.grid"}).exitCode, 1);
}

TEST(CliFiles, SolveSavesTheSolvedBoardAsTheEditorWould) {
    TempDir dir;
    WriteText(dir / "p.grid", kGrid);
    CliRun run = RunCli(dir, {"solve", dir / "p.grid", "--out", dir / "solved.omx", "--dump"});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    Board solved = ParseGrid(kGrid);
    AutoSolve(solved);
    EXPECT_EQ(run.out.substr(0, 9), "status " + std::to_string(solved.status) + "\n");

    const Bytes stream = DecodeTextMode(ReadAll(dir / "solved.omx"));
    ASSERT_EQ(stream.size(), PuzzleStreamSize(9, 8));
    EXPECT_EQ(stream[0], PhaseAutoSolved);
    EXPECT_EQ(stream[1], LayoutReady);
    EXPECT_EQ(stream[4], 48 + 1);
    EXPECT_EQ(stream[7], 48); // historyCount 0
    EXPECT_EQ(stream[8], 48);
    Board read;
    UiState ui;
    ASSERT_EQ(ReadPuzzle(stream, read, ui).kind, ReadKind::Complete);
    EXPECT_EQ(read.status, solved.status);
    EXPECT_EQ(read.undecidedCount, solved.undecidedCount);
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 8; ++y)
            EXPECT_EQ(read.state(x, y), solved.state(x, y));
    for (int i = 0; i < kHistorySize; ++i)
        EXPECT_EQ(ui.historyX[i] + ui.historyY[i], 0);

    EXPECT_EQ(RunCli(dir, {"solve", dir / "p.grid", "--out", dir / "x.grid"}).exitCode, 1);
    EXPECT_EQ(RunCli(dir, {"solve", dir / "p.grid", "--out"}).exitCode, 1);
}

TEST(CliFiles, DamagedPuzzleFilesAndUnwritableTargetsExitWithTwo) {
    TempDir dir;
    WriteText(dir / "p.grid", kGrid);
    ASSERT_EQ(RunCli(dir, {"convert", dir / "p.grid", dir / "p.omx"}).exitCode, 0);
    Bytes disk = ReadAll(dir / "p.omx");
    const std::string unreadable = StatusMessageTrimmed(StatusUnreadable);

    Bytes cut(disk.begin(), disk.begin() + 400);
    WriteAll(dir / "cut.omx", cut);
    Bytes huge = disk;
    huge[2] = 40;
    WriteAll(dir / "huge.omx", huge);
    WriteAll(dir / "tiny.omx", Bytes{0, 2});
    for (const char* name : {"cut.omx", "huge.omx", "tiny.omx", "missing.omx"}) {
        for (const char* command : {"export-text", "convert"}) {
            SCOPED_TRACE(std::string(command) + " " + name);
            const CliRun run = RunCli(dir, {command, dir / name, dir / "out.txt"});
            EXPECT_EQ(run.exitCode, 2);
            EXPECT_NE(run.err.find(dir / name), std::string::npos) << run.err;
            EXPECT_NE(run.err.find(unreadable), std::string::npos) << run.err;
        }
        const CliRun run = RunCli(dir, {"solve", dir / name});
        EXPECT_EQ(run.exitCode, 2) << name;
        EXPECT_NE(run.err.find("status 3: " + unreadable), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));

    // An unwritable target: the old file stays, the reason is printed.
    WriteAll(dir / "plain", Bytes{'o', 'l', 'd'});
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"convert", dir / "p.grid", dir / "plain/p.omx"},
             {"solve", dir / "p.grid", "--out", dir / "plain/p.omx"},
         }) {
        const CliRun run = RunCli(dir, args);
        EXPECT_EQ(run.exitCode, 2) << args[0];
        EXPECT_NE(run.err.find("cannot save " + dir / "plain/p."), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("Not a directory"), std::string::npos) << run.err;
    }
    EXPECT_EQ(ReadAll(dir / "plain"), (Bytes{'o', 'l', 'd'}));
}

TEST(CliFiles, AnalyzePrintsVerdictGradeAndBothSolutions) {
    TempDir dir;
    WriteText(dir / "p.grid", kGrid);
    CliRun run = RunCli(dir, {"analyze", dir / "p.grid"});
    EXPECT_EQ(run.exitCode, 0);
    // The time varies; everything else is fixed.
    const auto at = run.out.find("seconds ");
    ASSERT_NE(at, std::string::npos);
    run.out.replace(at, run.out.find('\n', at) - at, "seconds T");
    EXPECT_EQ(run.out, "verdict several\ngrade 0\ndiffer 2\nseconds T\n\n"
                       "# # # # # # # # 2\n# 3 . . # # # # .\n# # # # # # # # #\n"
                       "# # # . 4 . . # #\n# # # # # # # # #\n. # # # # # # 1 #\n"
                       ". # # # # # # # #\n5 . . # # # # # #\n\n"
                       "# # # # # # # . 2\n# 3 . . # # # # #\n# # # # # # # # #\n"
                       "# # # . 4 . . # #\n# # # # # # # # #\n. # # # # # # 1 #\n"
                       ". # # # # # # # #\n5 . . # # # # # #\n");
    run = RunCli(dir, {"analyze", dir / "p.grid", "--json"});
    EXPECT_EQ(run.out.rfind("{\"verdict\": \"several\", \"grade\": 0, \"differ\": 2, ", 0), 0u);
    EXPECT_EQ(RunCli(dir, {"analyze", dir / "p.grid", "--limit-seconds", "x"}).exitCode, 1);
    EXPECT_EQ(RunCli(dir, {"analyze", dir / "missing.grid"}).exitCode, 2);
}

// generate --unique: the same seed gives the same bytes, --symmetric places
// clues and given black cells in 180-degree symmetry, and the collection
// command makes a shipped puzzle again byte for byte.
TEST(CliFiles, UniquePuzzlesFollowFromTheSeedAndTheCollectionFromItsList) {
    TempDir dir;
    for (const char* name : {"a.grid", "b.grid"})
        ASSERT_EQ(RunCli(dir, {"generate", "--unique", "--rules", "tandrel", "--seed", "7",
                               "--symmetric", "--count", "2", dir / name})
                      .exitCode,
                  0);
    EXPECT_EQ(ReadAll(dir / "a-1.grid"), ReadAll(dir / "b-1.grid"));
    EXPECT_EQ(ReadAll(dir / "a-2.grid"), ReadAll(dir / "b-2.grid"));
    EXPECT_NE(ReadAll(dir / "a-1.grid"), ReadAll(dir / "a-2.grid"));
    const Bytes text = ReadAll(dir / "a-1.grid");
    const Board b = ParseGrid(std::string(text.begin(), text.end()));
    EXPECT_TRUE(b.tandrel());
    for (int x = 1; x <= b.width; ++x)
        for (int y = 1; y <= b.height; ++y)
            EXPECT_EQ(b.state(x, y) != 0, b.state(b.width + 1 - x, b.height + 1 - y) != 0)
                << x << "," << y;
    const std::string list = std::string(OMBRIX_COLLECTION_DIR) + "/seeds.txt";
    ASSERT_EQ(RunCli(dir, {"collection", list, dir.path().string(), "--only", "t02"}).exitCode, 0);
    EXPECT_EQ(ReadAll(dir / "t02.omx"), ReadAll(std::string(OMBRIX_COLLECTION_DIR) + "/t02.omx"));
    EXPECT_EQ(RunCli(dir, {"collection", list, dir.path().string(), "--only", "nothing"}).exitCode, 1);
}

// Every writer of the tool under a file-size limit smaller than its output:
// the write fails, the old file stays byte for byte, nothing else is left,
// and the tool says so with exit status 2 (not a signal, not 0).
TEST(CliFiles, EveryWriterFailsCleanlyPastAFileSizeLimit) {
    TempDir dir;
    ASSERT_EQ(RunCli(dir, {"generate", "--size", "20x20", "--seed", "5", dir / "p.grid"}).exitCode,
              0);
    ASSERT_EQ(RunCli(dir, {"convert", dir / "p.grid", dir / "p.omx"}).exitCode, 0);
    const std::string p = dir / "p.grid";
    struct Case {
        std::vector<std::string> args;
        std::string target; // the file to keep, "" when the output is stdout
    };
    std::vector<Case> cases = {
        {{"convert", p, dir / "out.omx"}, "out.omx"},
        {{"convert", dir / "p.omx", dir / "out.grid"}, "out.grid"},
        {{"export-text", p, dir / "out.txt"}, "out.txt"},
        {{"generate", "--size", "20x20", dir / "out.grid"}, "out.grid"},
        {{"generate", "--size", "20x20", "--solution", dir / "out.sol"}, "out.sol"},
        {{"solve", p, "--out", dir / "out.omx"}, "out.omx"},
        {{"generate", "--size", "20x20"}, ""},
        {{"solve", p, "--dump"}, ""},
    };
#ifdef OMBRIX_CLI_HAS_QT
    cases.push_back({{"render", p, dir / "out.png"}, "out.png"});
    cases.push_back({{"print", p, dir / "out.pdf"}, "out.pdf"});
#endif
    const std::vector<std::string> before = {"p.grid", "p.omx"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args.back());
        std::vector<std::string> names = before;
        if (!c.target.empty()) {
            WriteText(dir / c.target, "old\n");
            names.push_back(c.target);
            std::sort(names.begin(), names.end());
        }
        const CliRun run = RunCli(dir, c.args, "ulimit -f 1; exec"); // 512 bytes
        EXPECT_EQ(run.exitCode, 2) << run.err;
        if (c.target.empty()) {
            EXPECT_NE(run.err.find("cannot write to standard output: File too large"),
                      std::string::npos)
                << run.err;
        } else {
            EXPECT_NE(run.err.find("cannot save " + dir / c.target), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
            EXPECT_EQ(ReadAll(dir / c.target), (Bytes{'o', 'l', 'd', '\n'}));
        }
        EXPECT_EQ(dir.Names(), names);
        if (!c.target.empty()) std::remove((dir / c.target).c_str());
    }
}

// A FIFO with no writer reads as empty at once; a pipe with a writer is read.
TEST(CliFiles, AFifoInputEndsAtOnceAndAPipeIsRead) {
    TempDir dir;
    ASSERT_EQ(mkfifo((dir / "f.grid").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((dir / "f.omx").c_str(), 0600), 0);
    const std::string timeout = "exec timeout -s KILL 10"; // a hang ends here, not in CI
    CliRun run = RunCli(dir, {"solve", dir / "f.grid"}, timeout);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("no header line"), std::string::npos) << run.err;
    run = RunCli(dir, {"convert", dir / "f.omx", dir / "x.grid"}, timeout);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("f.omx"), std::string::npos) << run.err;

    WriteText(dir / "p.grid", kGrid);
    run = RunCli(dir, {"solve", "/dev/stdin", "--dump"}, "cat '" + dir / "p.grid" + "' |");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, 7), "status ");
}

// Names are bytes: two names that are not UTF-8 stay two files, as given.
TEST(CliFiles, OutputNamesThatAreNotUtf8AreKeptAsBytes) {
    TempDir dir;
    WriteText(dir / "p.grid", kGrid);
    const std::string a = "\x82\xa0", b = "\x82\xa1"; // Shift_JIS hiragana
    ASSERT_EQ(RunCli(dir, {"convert", dir / "p.grid", dir / (a + ".omx")}).exitCode, 0);
    ASSERT_EQ(RunCli(dir, {"convert", dir / "p.grid", dir / (b + ".omx")}).exitCode, 0);
    std::vector<std::string> expected = {"p.grid", a + ".omx", b + ".omx"};
#ifdef OMBRIX_CLI_HAS_QT
    ASSERT_EQ(RunCli(dir, {"render", dir / (a + ".omx"), dir / (a + ".png")}).exitCode, 0);
    ASSERT_EQ(RunCli(dir, {"print", dir / (b + ".omx"), dir / (b + ".pdf")}).exitCode, 0);
    expected.insert(expected.end(), {a + ".png", b + ".pdf"});
#endif
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dir.Names(), expected);
}

// A grid whose first word is terminal escape sequences, 900 KB long: the
// message shows the bytes escaped and cut.
TEST(CliFiles, MessagesShowFileBytesEscapedAndShort) {
    TempDir dir;
    WriteText(dir / "evil.grid", "\x1b]0;owned\x07\x1b[2J" + std::string(900000, 'A') + " 8 8\n");
    CliRun run = RunCli(dir, {"solve", dir / "evil.grid"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos);
    EXPECT_NE(run.err.find("unknown rule set '\\x1b]0;owned\\x07\\x1b[2JAAAA"), std::string::npos)
        << run.err;
    EXPECT_LT(run.err.size(), 300u);

    // The missing rows are reported at the last line, not the one after it;
    // grid text named .omx is called grid text.
    WriteText(dir / "short.grid", "ombrix 8 8\n. . . . . . . .\n");
    run = RunCli(dir, {"solve", dir / "short.grid"});
    EXPECT_NE(run.err.find("line 2: expected 8 rows, found 1"), std::string::npos) << run.err;
    WriteText(dir / "grid.omx", "# a puzzle\nombrix 8 8\n");
    run = RunCli(dir, {"solve", dir / "grid.omx"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("grid.omx: this is grid text, not a puzzle file"), std::string::npos)
        << run.err;
}

// The arguments of every subcommand are read strictly: a bad one is named,
// with the usage line on stderr and exit status 1; help and the version go to
// stdout with exit status 0 only when asked for.
TEST(CliArguments, EverySubcommandRefusesWhatItDoesNotTake) {
    TempDir dir;
    WriteText(dir / "p.grid", kGrid);
    WriteText(dir / "-dash.grid", kGrid);
    const std::string p = dir / "p.grid", q = dir / "q.grid";
    struct Case {
        std::vector<std::string> args;
        int exit;
        std::string says; // on stderr for status 1, on stdout for 0
    };
    std::vector<Case> cases = {
        {{}, 1, "no command given"},
        {{"--bogus"}, 1, "unknown option '--bogus'"},
        {{"frobnicate"}, 1, "unknown command 'frobnicate'"},
        {{"--version"}, 0, std::string("ombrix-cli ") + OMBRIX_VERSION + "\n"},
        {{"--help"}, 0, "usage: ombrix-cli COMMAND"},
        {{"solve", "--help"}, 0, "usage: ombrix-cli solve FILE"},
        {{"solve"}, 1, "no file named"},
        {{"solve", p, "--out"}, 1, "--out needs a value"},
        {{"solve", p, "--dump", "--dump"}, 1, "--dump is given twice"},
        {{"solve", p, "--trace", "--dump"}, 1, "--dump and --trace cannot be combined"},
        {{"solve", "--", dir / "-dash.grid"}, 0, "[2]"},
        {{"check", p}, 0, "ok\n"},
        {{"hint", p, "x"}, 1, "unexpected argument 'x'"},
        // The walls of the 1 at (8,6), and the corner of the 2 at (9,1).
        {{"hint", p},
         0,
         "rule PrepareBoard\nwhy 数字のまわりで、初めから黒と決まるマスです\n7 5 100\n7 6 "
         "100\n7 7 100\n8 2 100\n8 5 100\n8 7 100\n9 5 100\n9 6 100\n9 7 "
         "100\n"},
        {{"convert", p}, 1, "too few files named"},
        {{"generate", "--seed", "-1"}, 1, "--seed takes a whole number from 0 to"},
        {{"generate", "--seed", "12abc"}, 1, "not '12abc'"},
        {{"generate", "--size", " 10x 10"}, 1, "--size takes WxH"},
        {{"generate", "--max-area", "xyz"}, 1, "--max-area takes a whole number from 1 to 40"},
        {{"generate", "--limit-seconds", "5"}, 1, "--limit-seconds goes with --unique"},
        {{"generate", "--unique", "--limit-seconds", "0"}, 1, "--limit-seconds takes"},
        {{"generate", "--rules", "go"}, 1, "--rules takes ombrix or tandrel, not 'go'"},
        {{"generate", "--solution", q, q}, 1, "same file"},
        {{"generate", "--seed=18446744073709551615", "--size", "12x9", "--max-area", "5"},
         0,
         "seed 18446744073709551615\ntandrel 12 9"},
    };
    cases.back().args.insert(cases.back().args.begin() + 1, {"--rules", "tandrel"});
#ifdef OMBRIX_CLI_HAS_QT
    cases.push_back({{"render", p}, 1, "too few files named"});
#endif
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& a : c.args)
            line += a + " ";
        SCOPED_TRACE(line);
        const CliRun run = RunCli(dir, c.args);
        EXPECT_EQ(run.exitCode, c.exit) << run.err;
        if (c.exit == 1) {
            EXPECT_TRUE(run.out.empty()) << run.out;
            EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("usage: ombrix-cli"), std::string::npos) << run.err;
        } else {
            EXPECT_TRUE(run.err.empty()) << run.err;
            EXPECT_NE(run.out.find(c.says), std::string::npos) << run.out;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(q));
}

} // namespace
} // namespace ombrix::testing
