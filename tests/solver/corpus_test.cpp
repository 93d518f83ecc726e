// Whole puzzles: the real corpus (published Ombrix puzzles with unique
// solutions) and the project's own puzzles (every outcome under both rule
// sets). The generated corpus is held against its golden outcomes by the
// golden test. Every solved board must obey the rules and equal the known
// solution; a board the solver gives up on must agree with the solution in
// every cell it decided.
#include "golden.h"
#include "grid_text.h"
#include "rule_checker.h"
#include "solver.h"
#include "test_boards.h"

#include "corpus.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

using namespace ombrix;
using namespace ombrix::testing;
namespace fs = std::filesystem;

namespace {

// The solution rows of a .sol file: lines made of '.' and '#' tokens only.
std::vector<std::string> ReadSolution(const fs::path& p) {
    std::vector<std::string> rows;
    std::istringstream in(ReadText(p));
    for (std::string line; std::getline(in, line);) {
        std::istringstream ls(line);
        std::string row, tok;
        bool ok = true;
        while (ls >> tok) {
            if (tok != "." && tok != "#") ok = false;
            row += tok;
        }
        if (ok && !row.empty()) rows.push_back(row);
    }
    return rows;
}

// Compares the decided cells of `b` with a solution; complete says whether
// every cell must be decided.
::testing::AssertionResult AgreesWithSolution(const Board& b, const std::vector<std::string>& sol) {
    if (static_cast<int>(sol.size()) != b.height)
        return ::testing::AssertionFailure() << "solution has " << sol.size() << " rows";
    for (int y = 1; y <= b.height; ++y) {
        for (int x = 1; x <= b.width; ++x) {
            const int s = b.state(x, y);
            const bool solBlack = sol[y - 1][x - 1] == '#';
            if (isBlack(s) && !solBlack)
                return ::testing::AssertionFailure() << "(" << x << "," << y << ") black";
            if ((isWhite(s)) && solBlack)
                return ::testing::AssertionFailure() << "(" << x << "," << y << ") white";
        }
    }
    return ::testing::AssertionSuccess();
}

// Solves a puzzle whose comments say "... with status N" and checks that
// outcome; a solved board, or one showing a second solution (with the
// circled cell white), must obey the rules. Returns the status reached.
int SolveAndCheckStatedOutcome(const fs::path& g, Board& board) {
    const std::string text = ReadText(g);
    const auto pos = text.find("with status ");
    EXPECT_NE(pos, std::string::npos);
    if (pos == std::string::npos) return -1;
    const int expected = std::stoi(text.substr(pos + 12));
    GridTextError err;
    EXPECT_TRUE(ParseGridText(text, board, err)) << err.describe();
    AutoSolve(board);
    EXPECT_EQ(board.status, expected);
    if (board.status == 0 || board.status == 5) {
        std::string why;
        EXPECT_TRUE(CheckSolution(board, why)) << why;
    }
    if (board.status == 5) {
        EXPECT_TRUE(isWhite(board.state(board.altCellX, board.altCellY)));
    }
    return board.status;
}

} // namespace

TEST(Corpus, RealPuzzlesSolveCorrectlyOrStopConsistently) {
    const auto grids = CorpusGrids(fs::path(OMBRIX_CORPUS_DIR) / "real");
    if (grids.empty()) OMBRIX_WITHOUT_CORPUS(OMBRIX_CORPUS_DIR);
    int counts[8] = {};
    auto board = std::make_unique<Board>();
    auto original = std::make_unique<Board>();
    for (const fs::path& g : grids) {
        SCOPED_TRACE(g.filename().string());
        GridTextError err;
        ASSERT_TRUE(ParseGridText(ReadText(g), *original, err)) << err.describe();
        *board = *original;
        board->altCellX = board->altCellY = 0; // as the command-line tool starts
        AutoSolve(*board);
        ++counts[board->status & 7];
        // Published puzzles are valid: never a contradiction, never a second
        // solution, never a sum beyond the board.
        EXPECT_TRUE(board->status == 0 || board->status == 2) << int(board->status);
        if (board->status == 0) {
            std::string why;
            EXPECT_TRUE(CheckSolution(*board, why)) << why;
            EXPECT_EQ(board->undecidedCount, 0);
        }
        fs::path sol = g;
        sol.replace_extension(".sol");
        if (fs::exists(sol)) {
            EXPECT_TRUE(AgreesWithSolution(*board, ReadSolution(sol)));
        }
    }
    // Most published puzzles are within the solver's methods.
    EXPECT_GT(counts[0], static_cast<int>(grids.size()) * 3 / 4);
    RecordProperty("solved", counts[0]);
    RecordProperty("unsolvable", counts[2]);
}

TEST(Corpus, OwnPuzzlesGiveEveryOutcome) {
    // tests/data holds the project's own puzzles, each naming the outcome
    // the rules give it; together they cover 0, 1, 2, 5 and 7 under both
    // rule sets.
    std::set<std::pair<int, int>> seen; // (rule set, status)
    auto board = std::make_unique<Board>();
    for (const fs::path& g : CorpusGrids(OMBRIX_TEST_DATA_DIR)) {
        SCOPED_TRACE(g.filename().string());
        const int status = SolveAndCheckStatedOutcome(g, *board);
        seen.insert({board->ruleSet, status});
    }
    for (int ruleSet : {0, 1})
        for (int status : {0, 1, 2, 5})
            EXPECT_TRUE(seen.count({ruleSet, status})) << ruleSet << " " << status;
    EXPECT_TRUE(seen.count({0, 7}));
}
