// The unique-puzzle generator: each puzzle is proven unique by the analysis,
// its solution obeys the rules by the independent checker, its grade is the
// one asked for, the same seed gives the same bytes, symmetric clues are
// symmetric, and a set cancel flag, a spent time limit or bad options end it
// at once.
#include "analysis.h"
#include "collection.h"
#include "grid_text.h"
#include "puzzle_file.h"
#include "rule_checker.h"
#include "unique.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <memory>
#include <sstream>
#include <tuple>

using namespace ombrix;
using namespace ombrix::testing;

TEST(UniqueGenerator, MakesProvenUniquePuzzlesOfTheAskedGrade) {
    const UniqueOptions cases[] = {
        {.seed = 2, .grade = 2},
        {.seed = 4, .symmetric = true},
        {.ruleSet = RuleSetTandrel, .seed = 3, .grade = 1, .symmetric = true},
        {.seed = 5, .grade = 4},
        {.ruleSet = RuleSetTandrel, .seed = 4, .grade = 3},
        {.ruleSet = RuleSetTandrel, .seed = 1, .grade = 4}};
    auto made = std::make_unique<UniqueResult>();
    auto again = std::make_unique<UniqueResult>();
    for (const UniqueOptions& o : cases) {
        SCOPED_TRACE(o.seed);
        ASSERT_TRUE(GenerateUnique(o, *made));
        const Board& p = made->puzzle;
        const AnalysisResult r = Analyze(p);
        ASSERT_EQ(r.verdict, Verdict::Unique);
        std::string why;
        EXPECT_TRUE(CheckSolution(r.solutions[0], why)) << why;
        const int grade = GradeByAutoSolve(p);
        EXPECT_EQ(grade, made->grade);
        EXPECT_EQ(grade, o.grade ? o.grade : std::clamp(grade, 1, 3)); // any grade: 1..3
        int clues = 0, singles = 0;
        for (int x = 1; x <= p.width; ++x)
            for (int y = 1; y <= p.height; ++y) {
                const std::uint8_t s = p.state(x, y);
                clues += isClue(s);
                singles += s == 1;
                EXPECT_EQ(made->solution.state(x, y), r.solutions[0].state(x, y)) << x << "," << y;
                EXPECT_TRUE(s <= 40 || (s == GivenBlack && p.tandrel()))
                    << int(s) << " at " << x << "," << y;
                EXPECT_TRUE(!o.symmetric ||
                            isClue(s) == isClue(p.state(p.width + 1 - x, p.height + 1 - y)))
                    << x << "," << y;
            }
        EXPECT_EQ(clues, made->clues);
        EXPECT_LE(singles, p.width * p.height / 25); // few areas of a single cell
        UniqueOptions one = o; // the same bytes from one worker thread as from two
        one.threads = 1;
        ASSERT_TRUE(GenerateUnique(one, *again));
        EXPECT_EQ(FormatGridText(again->puzzle), FormatGridText(p));
    }
}

TEST(UniqueGenerator, RefusesBadOptionsAndStopsWhenCancelled) {
    auto made = std::make_unique<UniqueResult>();
    UniqueOptions o;
    o.width = 7;
    EXPECT_FALSE(GenerateUnique(o, *made));
    o.width = 10;
    o.grade = 5;
    EXPECT_FALSE(GenerateUnique(o, *made));
    // Cancelled at attempt 3 of the 17 this puzzle takes: both workers stop
    // there, after attempts reported one at a time in order.
    o = {.ruleSet = RuleSetTandrel, .seed = 1, .grade = 3};
    std::atomic<bool> cancel{false};
    o.cancel = &cancel;
    int last = 0;
    o.progress = [&](int attempt) {
        EXPECT_EQ(attempt, ++last);
        cancel = cancel || attempt == 3;
    };
    EXPECT_FALSE(GenerateUnique(o, *made));
    EXPECT_FALSE(made->timedOut);
    EXPECT_LE(last, 4);
    // A time limit already spent ends it as timed out, not as bad options.
    o = {.seconds = 1e-9};
    EXPECT_FALSE(GenerateUnique(o, *made));
    EXPECT_TRUE(made->timedOut);
}

// Every puzzle of the starter collection is what its seed list names (rule
// set, size, grade), has one solution by the analysis and that solution
// obeys the rules; the quick ones are made again from their seeds.
TEST(StarterCollection, EveryPuzzleIsUniqueOfItsGradeAndMadeFromItsSeed) {
    const std::string folder = OMBRIX_COLLECTION_DIR;
    std::ifstream in(folder + "/seeds.txt");
    std::stringstream text;
    text << in.rdbuf();
    std::vector<CollectionEntry> entries;
    std::string error;
    ASSERT_TRUE(ParseSeedList(text.str(), entries, error)) << error;
    EXPECT_EQ(entries.size(), 48u);
    auto file = std::make_unique<Board>();
    auto made = std::make_unique<UniqueResult>();
    for (const CollectionEntry& e : entries) {
        SCOPED_TRACE(e.name);
        UiState ui;
        ASSERT_EQ(LoadPuzzleFile(folder + "/" + e.name + ".omx", *file, ui, error),
                  ReadKind::Complete);
        EXPECT_EQ(std::tuple(int(file->ruleSet), int(file->width), int(file->height)),
                  std::tuple(e.ruleSet, e.width, e.height));
        const AnalysisResult r = Analyze(*file);
        ASSERT_EQ(r.verdict, Verdict::Unique);
        std::string why;
        EXPECT_TRUE(CheckSolution(r.solutions[0], why)) << why;
        EXPECT_EQ(GradeByAutoSolve(*file), e.grade);
        // Made again here: the small ones of grades 1 and 2 (the others take seconds each).
        if (e.width * e.height > 150 || e.grade > 2) continue;
        ASSERT_TRUE(GenerateUnique(EntryOptions(e), *made));
        EXPECT_EQ(FormatGridText(made->puzzle), FormatGridText(*file));
    }
}
