// ombrix-cli's file subcommands, run as the built program: convert,
// export-text, solve --out, and the errors for damaged or unwritable files.
#include "files_test_util.h"
#include "grid_text.h"
#include "omx.h"
#include "solver.h"
#include "status_text.h"
#include "text_export.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

namespace ombrix::testing {
namespace {

struct CliRun {
    int exitCode = -1;
    std::string out, err;
};

// Runs ombrix-cli with `args`, its output and errors caught in files of `dir`.
CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args) {
    std::string command = OMBRIX_CLI;
    for (const std::string& a : args)
        command += " '" + a + "'"; // the test's own paths hold no quote
    const std::string outPath = dir / ".stdout", errPath = dir / ".stderr";
    const int status = std::system((command + " >" + outPath + " 2>" + errPath).c_str());
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

    // The saved file solves again to the same outcome, and exports as it stands.
    run = RunCli(dir, {"solve", dir / "solved.omx", "--dump"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, 9), "status " + std::to_string(solved.status) + "\n");
    run = RunCli(dir, {"export-text", dir / "solved.omx", dir / "solved.txt"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadAll(dir / "solved.txt"), ExportText(read));

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
             {"convert", dir / "p.omx", dir / "plain/p.grid"},
             {"export-text", dir / "p.grid", dir / "plain/p.txt"},
             {"solve", dir / "p.grid", "--out", dir / "plain/p.omx"},
         }) {
        const CliRun run = RunCli(dir, args);
        EXPECT_EQ(run.exitCode, 2) << args[0];
        EXPECT_NE(run.err.find("cannot save " + dir / "plain/p."), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("Not a directory"), std::string::npos) << run.err;
    }
    EXPECT_EQ(ReadAll(dir / "plain"), (Bytes{'o', 'l', 'd'}));
}

TEST(CliFiles, ABoardGridTextCannotHoldIsNotConverted) {
    TempDir dir;
    Board board;
    UiState ui;
    board.width = 33; // the reader accepts up to 33 x 46; grid text holds 8..31 x 8..45
    board.height = 8;
    ResetBoard(board, ui);
    WriteAll(dir / "wide.omx", EncodePuzzleFile(board, ui));
    const CliRun run = RunCli(dir, {"convert", dir / "wide.omx", dir / "wide.grid"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("33 x 8"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "wide.grid"));
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

} // namespace
} // namespace ombrix::testing
