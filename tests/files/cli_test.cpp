// ombrix-cli run as the built program: its file subcommands (convert,
// export-text, solve --out, analyze, generate, collection), writers that fail
// part way, names that are bytes, and every way a command fails.
#include "files_test_util.h"
#include "golden.h" // LoadGrid, ReadText
#include "grid_text.h"
#include "omx.h"
#include "solver.h"
#include "status_text.h"
#include "version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
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
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
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

// convert makes a fresh edit-phase file and grid text again, solve --out the
// solved board as the editor saves it. Names are bytes: two names that are
// not UTF-8 stay two files, as given. analyze names both solutions.
TEST(CliFiles, ConvertSolveAndAnalyzeWriteWhatTheEditorWouldUnderNamesThatAreBytes) {
    TempDir dir;
    WriteText(dir / "p.grid", kGrid);
    const std::string a = "\x82\xa0", b = "\x82\xa1"; // Shift_JIS hiragana
    ASSERT_EQ(RunCli(dir, {"convert", dir / "p.grid", dir / (a + ".omx")}).exitCode, 0);
    // The edit phase of a fresh board: no steps, nothing counted, the bar laid out.
    Board grid = *LoadGrid(dir / "p.grid");
    grid.undecidedCount = 0;
    UiState ui;
    ui.layoutState = LayoutReady;
    EXPECT_EQ(ReadAll(dir / (a + ".omx")), EncodePuzzleFile(grid, ui));
    ASSERT_EQ(RunCli(dir, {"convert", dir / (a + ".omx"), dir / (a + ".grid")}).exitCode, 0);
    EXPECT_EQ(ReadText(dir / (a + ".grid")), FormatGridText(grid));

    CliRun run = RunCli(dir, {"solve", dir / (a + ".grid"), "--out", dir / (b + ".omx"), "--dump"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    Board solved = *LoadGrid(dir / "p.grid");
    AutoSolve(solved);
    EXPECT_EQ(run.out.substr(0, 9), "status " + std::to_string(solved.status) + "\n");
    ui.phase = PhaseAutoSolved;
    EXPECT_EQ(ReadAll(dir / (b + ".omx")), EncodePuzzleFile(solved, ui));

    std::vector<std::string> expected = {"p.grid", a + ".grid", a + ".omx", b + ".omx"};
#ifdef OMBRIX_CLI_HAS_QT
    ASSERT_EQ(RunCli(dir, {"render", dir / (a + ".omx"), dir / (a + ".png")}).exitCode, 0);
    ASSERT_EQ(RunCli(dir, {"print", dir / (b + ".omx"), dir / (b + ".pdf")}).exitCode, 0);
    expected.insert(expected.end(), {a + ".png", b + ".pdf"});
#endif
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dir.Names(), expected);

    // analyze prints the verdict, then the two solutions that differ, each
    // after a blank line: the puzzle's clues and given black cells, as many
    // white cells as the clues ask for (15), and as many cells that differ
    // as the differ line says (an even number: as many turn white as black).
    // Which two of the puzzle's solutions depends on the thread that settles
    // it, so the number is read, not fixed.
    run = RunCli(dir, {"analyze", dir / "p.grid"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("verdict several\ngrade 0\ndiffer ", 0), 0u) << run.out;
    const int reported = std::atoi(run.out.c_str() + run.out.find("differ ") + 7);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 4 + 2 * 9) << run.out;
    const auto tokens = [](const std::string& text) {
        std::istringstream in(text);
        std::vector<std::string> t;
        for (std::string s; in >> s;)
            t.push_back(s);
        return t;
    };
    const std::string text = kGrid; // its rows follow the size line "tandrel 9 8"
    const std::vector<std::string> given = tokens(text.substr(text.find(" 9 8") + 4));
    const std::vector<std::string> shown = tokens(run.out.substr(run.out.find("\n\n")));
    ASSERT_EQ(shown.size(), 2 * given.size()) << run.out;
    int whites[2] = {}, differ = 0;
    for (std::size_t i = 0; i < given.size(); ++i) {
        differ += shown[i] != shown[given.size() + i];
        for (int k = 0; k < 2; ++k) {
            const std::string& t = shown[k * given.size() + i];
            whites[k] += t != "#";
            if (given[i] != ".") {
                EXPECT_EQ(t, given[i]) << run.out;
            }
        }
    }
    EXPECT_EQ(differ, reported) << run.out;
    EXPECT_TRUE(differ > 0 && differ % 2 == 0) << run.out;
    EXPECT_EQ(whites[0], 15);
    EXPECT_EQ(whites[1], 15);
    run = RunCli(dir, {"analyze", dir / "p.grid", "--json"});
    const std::string head = "{\"verdict\": \"several\", \"grade\": 0, \"differ\": ";
    ASSERT_EQ(run.out.rfind(head, 0), 0u) << run.out;
    const int json = std::atoi(run.out.c_str() + head.size());
    EXPECT_TRUE(json > 0 && json % 2 == 0) << run.out;
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
    const Board b = *LoadGrid(dir / "a-1.grid");
    EXPECT_TRUE(b.tandrel());
    for (int x = 1; x <= b.width; ++x)
        for (int y = 1; y <= b.height; ++y)
            EXPECT_EQ(b.state(x, y) != 0, b.state(b.width + 1 - x, b.height + 1 - y) != 0)
                << x << "," << y;
    const std::string list = std::string(OMBRIX_COLLECTION_DIR) + "/seeds.txt";
    ASSERT_EQ(RunCli(dir, {"collection", list, dir.path().string(), "--only", "t02"}).exitCode, 0);
    EXPECT_EQ(ReadAll(dir / "t02.omx"), ReadAll(std::string(OMBRIX_COLLECTION_DIR) + "/t02.omx"));
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
        {{"generate", "--size", "20x20", "--solution", dir / "out.sol"}, "out.sol"},
        {{"generate", "--size", "20x20"}, ""},
    };
#ifdef OMBRIX_CLI_HAS_QT
    cases.push_back({{"render", p, dir / "out.png"}, "out.png"});
    cases.push_back({{"print", p, dir / "out.pdf"}, "out.pdf"});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args.back());
        std::vector<std::string> names = {"p.grid", "p.omx"};
        if (!c.target.empty()) {
            WriteText(dir / c.target, "old\n");
            names.insert(names.begin(), c.target); // out.* sorts first
        }
        const CliRun run = RunCli(dir, c.args, "ulimit -f 1; exec"); // 512 bytes
        EXPECT_EQ(run.exitCode, 2) << run.err;
        const std::string what = c.target.empty()
                                     ? "cannot write to standard output: File too large"
                                     : "cannot save " + dir / c.target;
        EXPECT_NE(run.err.find(what), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
        EXPECT_EQ(dir.Names(), names);
        if (c.target.empty()) continue;
        EXPECT_EQ(ReadAll(dir / c.target), (Bytes{'o', 'l', 'd', '\n'}));
        std::remove((dir / c.target).c_str());
    }
}

// Every way a command can fail, and how each answer goes out: status 1 for
// arguments it does not take (named, with the usage line on stderr), 2 for
// files it cannot read or write (named, with the reason, the file's own bytes
// escaped and cut short); help, the version and results on stdout with 0.
// Nothing goes to stdout on a failure.
TEST(CliArguments, EveryFailureSaysWhyWithItsExitStatus) {
    TempDir dir;
    WriteText(dir / "p.grid", kGrid);
    WriteText(dir / "-dash.grid", kGrid);
    const std::string p = dir / "p.grid", q = dir / "q.grid", cut = dir / "cut.omx",
                      huge = dir / "huge.omx", inPlain = dir / "plain/p.omx";
    ASSERT_EQ(RunCli(dir, {"convert", p, dir / "p.omx"}).exitCode, 0);
    Bytes disk = ReadAll(dir / "p.omx");
    WriteAll(cut, Bytes(disk.begin(), disk.begin() + 400));
    disk[2] = 40;
    WriteAll(huge, disk);
    WriteAll(dir / "plain", Bytes{'o', 'l', 'd'});
    WriteText(dir / "evil.grid", "\x1b]0;owned\x07\x1b[2J" + std::string(900000, 'A') + " 8 8\n");
    WriteText(dir / "grid.omx", "# a puzzle\nombrix 8 8\n");
    ASSERT_EQ(mkfifo((dir / "f.grid").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((dir / "f.omx").c_str(), 0600), 0);
    const std::string unreadable = "(status 3: " + StatusMessageTrimmed(StatusUnreadable) + ")";
    const std::string list = std::string(OMBRIX_COLLECTION_DIR) + "/seeds.txt";
    // A FIFO with no writer reads as empty at once; a hang ends here, not in CI.
    const std::string timeout = "exec timeout -s KILL 10";
    struct Case {
        std::vector<std::string> args;
        int exit;
        std::vector<std::string> says; // on stderr for a failure, on stdout for 0
        std::string setup = "exec";
    };
    std::vector<Case> cases = {
        {{}, 1, {"no command given"}},
        {{"--bogus"}, 1, {"unknown option '--bogus'"}},
        {{"frobnicate"}, 1, {"unknown command 'frobnicate'"}},
        {{"--version"}, 0, {std::string("ombrix-cli ") + OMBRIX_VERSION + "\n"}},
        {{"--help"}, 0, {"usage: ombrix-cli COMMAND"}},
        {{"solve", p, "--out"}, 1, {"--out needs a value"}},
        {{"solve", p, "--out", dir / "x.grid"}, 1, {"--out needs a puzzle file name"}},
        {{"solve", p, "--dump", "--dump"}, 1, {"--dump is given twice"}},
        {{"solve", p, "--trace", "--dump"}, 1, {"--dump and --trace cannot be combined"}},
        {{"solve", "--", dir / "-dash.grid"}, 0, {"[2]"}},
        {{"solve", "/dev/stdin", "--dump"}, 0, {"status "}, "cat '" + p + "' |"},
        {{"hint", p, "x"}, 1, {"unexpected argument 'x'"}},
        {{"hint", p}, 0, {"rule PrepareBoard\nwhy "}}, // its cells: hint_test
        {{"convert", p}, 1, {"too few files named"}},
        {{"convert", p, q}, 1, {"give one of each"}},
        {{"analyze", p, "--limit-seconds", "x"}, 1, {"--limit-seconds takes a number"}},
        {{"generate", "--seed", "12abc"}, 1, {"not '12abc'"}},
        {{"generate", "--max-area", "xyz"}, 1, {"--max-area takes a whole number from 1 to 40"}},
        {{"generate", "--limit-seconds", "5"}, 1, {"--limit-seconds goes with --unique"}},
        {{"generate", "--solution", q, q}, 1, {"same file"}},
        {{"generate", "--rules", "tandrel", "--seed=18446744073709551615", "--size", "12x9",
          "--max-area", "5"},
         0,
         {"seed 18446744073709551615\ntandrel 12 9"}},
        {{"collection", list, dir.path().string(), "--only", "nothing"},
         1,
         {"no entry of that name"}},
        // Damaged and missing puzzle files, and targets that cannot be written.
        {{"export-text", cut, dir / "out.txt"}, 2, {cut + ": the puzzle data ends", unreadable}},
        {{"convert", huge, dir / "out.grid"}, 2, {huge + ": the board width 40", unreadable}},
        {{"solve", dir / "missing.omx"}, 2, {dir / "missing.omx", unreadable}},
        {{"analyze", dir / "missing.grid"}, 2, {"cannot open " + dir / "missing.grid"}},
        {{"convert", p, inPlain}, 2, {"cannot save " + inPlain + ": Not a directory"}},
        {{"solve", p, "--out", inPlain}, 2, {"cannot save " + inPlain + ": Not a directory"}},
        {{"solve", dir / "f.grid"}, 2, {"no header line"}, timeout},
        {{"convert", dir / "f.omx", dir / "x.grid"}, 2, {dir / "f.omx"}, timeout},
        {{"solve", dir / "evil.grid"}, 2, {"unknown rule set '\\x1b]0;owned\\x07\\x1b[2JAAAA"}},
        {{"solve", dir / "grid.omx"}, 2, {"grid.omx: this is grid text, not a puzzle file"}},
    };
#ifdef OMBRIX_CLI_HAS_QT
    cases.push_back({{"render", p}, 1, {"too few files named"}});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args).substr(0, 200));
        const CliRun run = RunCli(dir, c.args, c.setup);
        EXPECT_EQ(run.exitCode, c.exit) << run.err;
        const std::string& said = c.exit == 0 ? run.out : run.err;
        EXPECT_TRUE((c.exit == 0 ? run.err : run.out).empty()) << run.out << run.err;
        for (const std::string& part : c.says)
            EXPECT_NE(said.find(part), std::string::npos) << said;
        if (c.exit == 1) {
            EXPECT_NE(run.err.find("usage: ombrix-cli"), std::string::npos) << run.err;
        }
        if (c.exit == 2) {
            EXPECT_EQ(run.err.find('\x1b'), std::string::npos);
            EXPECT_LT(run.err.size(), 300u);
        }
    }
    // Nothing was written, and the file in the way is as it was.
    EXPECT_FALSE(std::filesystem::exists(q));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.grid"));
    EXPECT_EQ(ReadAll(dir / "plain"), (Bytes{'o', 'l', 'd'}));
}

} // namespace
} // namespace ombrix::testing
