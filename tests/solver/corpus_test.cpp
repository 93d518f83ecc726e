// The project's own puzzles (every outcome under both rule sets); the shared
// corpus's exact outcomes, the cells of a board the solver gives up on
// included, are the golden test's. Every solved board must obey the rules.
#include "golden.h"
#include "rule_checker.h"
#include "solver.h"

#include "corpus.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace ombrix;
using namespace ombrix::testing;
namespace fs = std::filesystem;

TEST(Corpus, OwnPuzzlesGiveEveryOutcome) {
    // tests/data holds the project's own puzzles, each naming the outcome
    // the rules give it; together they cover 0, 1, 2, 5 and 7 under both
    // rule sets.
    std::set<std::pair<int, int>> seen; // (rule set, status)
    for (const fs::path& g : CorpusGrids(OMBRIX_TEST_DATA_DIR)) {
        SCOPED_TRACE(g.filename().string());
        const std::string text = ReadText(g);
        const auto pos = text.find("with status ");
        ASSERT_NE(pos, std::string::npos);
        const auto board = LoadGrid(g.string());
        AutoSolve(*board);
        EXPECT_EQ(board->status, std::stoi(text.substr(pos + 12)));
        // A solved board, or one showing a second solution (with the circled
        // cell white), obeys the rules.
        if (board->status == StatusNone || board->status == StatusSecondSolution) {
            std::string why;
            EXPECT_TRUE(CheckSolution(*board, why)) << why;
        }
        if (board->status == StatusSecondSolution) {
            EXPECT_TRUE(isWhite(board->state(board->altCellX, board->altCellY)));
        }
        seen.insert({board->ruleSet, board->status});
    }
    for (int ruleSet : {0, 1})
        for (int status : {0, 1, 2, 5})
            EXPECT_TRUE(seen.count({ruleSet, status})) << ruleSet << " " << status;
    EXPECT_TRUE(seen.count({0, 7}));
}
