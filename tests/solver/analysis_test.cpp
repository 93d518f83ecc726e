// The complete analysis: held against the automatic solver on the project's
// own puzzles and every corpus puzzle, against the rule checker for every
// solution it returns, against clingo on the answer set encoding for a sample
// of boards of both rule sets, and stopped by its limits and from another
// thread.
#include "analysis.h"
#include "clingo_run.h"
#include "corpus.h"
#include "generator.h"
#include "golden.h" // LoadGrid
#include "rule_checker.h"
#include "solver.h"
#include "test_boards.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <thread>

using namespace ombrix;
using namespace ombrix::testing;
namespace fs = std::filesystem;

namespace {

std::set<std::pair<int, int>> BlackCells(const Board& b) {
    std::set<std::pair<int, int>> cells;
    for (int x = 1; x <= b.width; ++x)
        for (int y = 1; y <= b.height; ++y)
            if (isBlack(b.state(x, y))) cells.insert({x, y});
    return cells;
}

// Every solution obeys the rules and keeps the puzzle's clues and given
// black cells; two solutions differ exactly in the listed cells.
void CheckSolutions(const Board& puzzle, const AnalysisResult& r) {
    for (int k = 0; k < r.solutionCount; ++k) {
        std::string why;
        EXPECT_TRUE(CheckSolution(r.solutions[k], why)) << "solution " << k << ": " << why;
        for (int x = 1; x <= puzzle.width; ++x)
            for (int y = 1; y <= puzzle.height; ++y) {
                const int s = puzzle.state(x, y);
                if ((s >= 1 && s <= 48) || s == GivenBlack) {
                    EXPECT_EQ(r.solutions[k].state(x, y), s);
                }
            }
    }
    if (r.verdict == Verdict::Several) {
        std::vector<std::pair<int, int>> differ;
        for (int x = 1; x <= puzzle.width; ++x)
            for (int y = 1; y <= puzzle.height; ++y)
                if (isBlack(r.solutions[0].state(x, y)) != isBlack(r.solutions[1].state(x, y)))
                    differ.push_back({x, y});
        EXPECT_FALSE(differ.empty());
        EXPECT_EQ(r.differing, differ);
    }
}

// The automatic solver's outcome against the outcome a puzzle file names and
// against the analysis: 0 unique with the same board, 5 several, 1 and 7
// none; 2 leaves it open. Grades follow the outcome. Puzzles beyond the
// automatic solver are searched only up to 40 nodes, and boards above 400
// cells are left out: the hard and the large ones are the benchmark's
// business. `seen` (when given) collects (rule set, outcome).
void HoldAgainstAutoSolve(const fs::path& grid, std::set<std::pair<int, int>>* seen) {
    SCOPED_TRACE(grid.filename().string());
    const auto puzzle = LoadGrid(grid.string());
    if (puzzle->width * puzzle->height > 400) return;
    auto solved = std::make_unique<Board>();
    const int grade = GradeByAutoSolve(*puzzle, solved.get());
    const std::string text = ReadText(grid.string());
    const auto pos = text.find("with status ");
    ASSERT_TRUE(pos != std::string::npos || !seen) << "an own puzzle names its outcome";
    if (pos != std::string::npos) {
        EXPECT_EQ(solved->status, std::stoi(text.substr(pos + 12)));
    }
    if (seen) seen->insert({puzzle->ruleSet, solved->status});
    const AnalysisLimits limits{.maxNodes = solved->status == StatusUnsolvable ? 40u : 0u};
    const auto r = std::make_unique<AnalysisResult>(Analyze(*puzzle, limits));
    CheckSolutions(*puzzle, *r);
    if (solved->status == StatusUnsolvable) {
        EXPECT_EQ(grade, 4);
        return;
    }
    const bool unique = solved->status == StatusNone,
               several = solved->status == StatusSecondSolution;
    ASSERT_EQ(r->verdict, unique ? Verdict::Unique : several ? Verdict::Several : Verdict::None);
    EXPECT_TRUE(unique ? grade >= 1 && grade <= 3 : grade == 0) << grade;
    if (unique) {
        EXPECT_EQ(BlackCells(r->solutions[0]), BlackCells(*solved));
    }
}

} // namespace

// tests/data holds the project's own puzzles, each naming the outcome the
// rules give it; together they cover 0, 1, 2, 5 and 7 under both rule sets.
TEST(Analysis, AgreesWithTheAutomaticSolverOnOwnPuzzlesAndTheCorpus) {
    std::set<std::pair<int, int>> seen;
    for (const fs::path& g : CorpusGrids(OMBRIX_TEST_DATA_DIR))
        HoldAgainstAutoSolve(g, &seen);
    for (int ruleSet : {0, 1})
        for (int status : {0, 1, 2, 5})
            EXPECT_TRUE(seen.count({ruleSet, status})) << ruleSet << " " << status;
    EXPECT_TRUE(seen.count({0, 7}));
    const fs::path corpus = OMBRIX_CORPUS_DIR;
    if (CorpusGrids(corpus / "real").empty()) OMBRIX_WITHOUT_CORPUS(OMBRIX_CORPUS_DIR);
    for (const fs::path& dir : {corpus / "real", corpus / "generated"})
        for (const fs::path& g : CorpusGrids(dir))
            HoldAgainstAutoSolve(g, nullptr);
}

TEST(Analysis, AgreesWithClingoOnBoardsOfBothRuleSets) {
    if (!asp::Available())
        GTEST_SKIP() << "clingo not installed (Debian package gringo; tools/dev.sh deps)";
    // The project's own puzzles (every outcome under both rule sets), and
    // generated boards: as made (one solution or several), and with one clue
    // raised by one (mostly none). On two threads, the searches run at once
    // on r023 with a clue raised (none) and Tandrel seed 8 (several).
    std::vector<std::unique_ptr<Board>> boards;
    for (const fs::path& g : CorpusGrids(OMBRIX_TEST_DATA_DIR))
        boards.push_back(LoadGrid(g.string()));
    const fs::path r023 = fs::path(OMBRIX_CORPUS_DIR) / "real" / "r023.grid";
    if (fs::exists(r023)) {
        boards.push_back(LoadGrid(r023.string()));
        ++boards.back()->state(1, 4); // 5 -> 6
    }
    // A lone clue 48, whose area the automatic solver never grows: its
    // step must not count for the analysis there.
    boards.push_back(MakeBoard(0, std::vector<std::string>(8, "48 . . . . . . .")));
    for (int y = 2; y <= 8; ++y)
        boards.back()->state(1, y) = Undecided;
    auto scratch = std::make_unique<Board>();
    for (int rules : {0, 1}) {
        for (int seed = 1; seed <= 8; ++seed) {
            const GeneratorOptions o{.width = seed <= 3 ? 8 : 12,
                                     .height = seed <= 3 ? 9 : 14,
                                     .ruleSet = rules,
                                     .seed = static_cast<std::uint64_t>(seed),
                                     .maxArea = 3 + seed};
            auto b = std::make_unique<Board>();
            GeneratePuzzle(o, *b, *scratch);
            auto raised = std::make_unique<Board>(*b);
            for (int x = 1; x <= raised->width; ++x)
                for (int y = 1; y <= raised->height; ++y)
                    if (raised->state(x, y) >= 2 && raised->state(x, y) < 48 && x + y == seed + 4)
                        ++raised->state(x, y);
            boards.push_back(std::move(b));
            boards.push_back(std::move(raised));
        }
    }
    // clingo reads the facts from a file in a folder of the test's own.
    std::string folder = (fs::temp_directory_path() / "ombrix-analysis-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    const fs::path facts = fs::path(folder) / "facts.lp";
    int verdicts[4] = {};
    for (const auto& b : boards) {
        SCOPED_TRACE(FormatGridText(*b));
        const auto r = std::make_unique<AnalysisResult>(Analyze(*b));
        CheckSolutions(*b, *r);
        const auto r2 = std::make_unique<AnalysisResult>(Analyze(*b, {.threads = 2}));
        CheckSolutions(*b, *r2);
        EXPECT_EQ(r2->verdict, r->verdict);
        const asp::Outcome c = asp::Solve(OMBRIX_ASP_ENCODING, *b, facts);
        ASSERT_TRUE(c.ran);
        ++verdicts[static_cast<int>(r->verdict)];
        // clingo is asked for two models at most: none, one or several.
        ASSERT_EQ(c.models.size(), static_cast<std::size_t>(r->verdict));
        if (r->verdict == Verdict::Unique) {
            EXPECT_EQ(c.models[0], BlackCells(r->solutions[0]));
            EXPECT_EQ(c.models[0], BlackCells(r2->solutions[0]));
        }
    }
    fs::remove_all(folder);
    EXPECT_TRUE(verdicts[0] && verdicts[1] && verdicts[2]) << "the sample holds every verdict";
}

// A puzzle the automatic solver gives up on, and that the analysis settles
// only by its weighted search on one thread or by its learning search on two
// (the plain one alone runs long), must end unique, with the solution known
// for it. The hardest
// of the real puzzles for the analysis, which needs many nodes, stops at the
// limits (each search at its own node limit) and on request, also part way
// through, from another thread.
TEST(Analysis, SettlesThroughItsWeightedSearchAndStopsAtItsLimitsAndOnRequest) {
    const fs::path grid = fs::path(OMBRIX_CORPUS_DIR) / "real" / "r108.grid";
    const fs::path hard = fs::path(OMBRIX_CORPUS_DIR) / "real" / "r057.grid";
    if (!fs::exists(grid) || !fs::exists(hard)) OMBRIX_WITHOUT_CORPUS(OMBRIX_CORPUS_DIR);
    const auto settled = LoadGrid(grid.string());
    std::ifstream sol(fs::path(grid).replace_extension(".sol"));
    std::vector<std::string> rows;
    for (std::string line; std::getline(sol, line);)
        rows.push_back(line);
    const auto r = std::make_unique<AnalysisResult>();
    const auto puzzle = LoadGrid(hard.string());
    for (int threads : {1, 2}) {
        SCOPED_TRACE(threads);
        // The learning search counts each probe as a node.
        *r = Analyze(*settled, {.maxNodes = threads == 1 ? 5000u : 100000u, .threads = threads});
        ASSERT_EQ(r->verdict, Verdict::Unique);
        EXPECT_EQ(BlackCells(r->solutions[0]), BlackCells(*MakeBoard(0, rows)));
        *r = Analyze(*puzzle, {.maxNodes = 3, .threads = threads});
        EXPECT_EQ(r->verdict, Verdict::Stopped);
        EXPECT_EQ(r->solutionCount, 0);
        EXPECT_EQ(r->nodes, threads * 3u);
    }

    std::atomic<bool> cancel{true};
    AnalysisLimits cancelled{.cancel = &cancel};
    *r = Analyze(*puzzle, cancelled);
    EXPECT_EQ(r->verdict, Verdict::Stopped);
    EXPECT_EQ(r->nodes, 0u);

    // Cancelled from this thread while another searches, once it has said
    // it is past the first turn (on two threads: both searches run).
    struct Reporter : AnalysisObserver {
        std::atomic<bool> reported{false};
        void progress(std::uint64_t nodes, int depth) override {
            EXPECT_GE(depth, 0);
            reported = reported || nodes > 200;
        }
    } reporter;
    cancelled.observer = &reporter;
    for (int threads : {1, 2}) {
        std::atomic<bool> done{false};
        cancel = reporter.reported = false;
        cancelled.threads = threads;
        std::thread worker([&] {
            *r = Analyze(*puzzle, cancelled);
            done = true;
        });
        while (!reporter.reported && !done)
            std::this_thread::yield();
        cancel = true;
        worker.join();
        ASSERT_TRUE(reporter.reported) << "r057 is not settled in 200 nodes";
        EXPECT_EQ(r->verdict, Verdict::Stopped);
        EXPECT_EQ(r->solutionCount, 0);
        EXPECT_TRUE(r->differing.empty());
    }
}
