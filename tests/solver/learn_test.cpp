// The learning analysis held against the search analysis: the same verdict,
// the same board for a unique puzzle, and solutions that obey the rules, on
// boards of both rule sets with none, one or several solutions; and stopped
// by a node limit; and real puzzles beyond the automatic solver settled, also
// by searches that share what they learn.
#include "analysis.h"
#include "analysis_learn.h"
#include "analysis_learn_exchange.h"
#include "corpus.h"
#include "generator.h"
#include "golden.h" // LoadGrid
#include "rule_checker.h"
#include "test_boards.h"
#include "unique.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <thread>

using namespace ombrix;
using namespace ombrix::testing;

TEST(LearnTest, AgreesWithTheSearchAnalysis) {
    std::set<std::pair<int, Verdict>> seen;
    const auto check = [&](const Board& puzzle) {
        const auto a = std::make_unique<AnalysisResult>(Analyze(puzzle));
        const auto b = std::make_unique<AnalysisResult>(AnalyzeByLearning(puzzle));
        ASSERT_EQ(b->verdict, a->verdict);
        seen.insert({puzzle.ruleSet, a->verdict});
        for (int k = 0; k < b->solutionCount; ++k) {
            std::string why;
            EXPECT_TRUE(CheckSolution(b->solutions[k], why)) << why;
        }
        EXPECT_TRUE(a->verdict != Verdict::Unique || SameBoard(a->solutions[0], b->solutions[0]));
        EXPECT_TRUE(a->verdict != Verdict::Several || !b->differing.empty());
    };
    auto board = std::make_unique<Board>(), painted = std::make_unique<Board>(),
         several = std::make_unique<Board>();
    for (int seed = 1; seed <= 24; ++seed) {
        const GeneratorOptions o{.width = 8 + seed % 3,
                                 .height = 9,
                                 .ruleSet = seed % 2,
                                 .seed = static_cast<std::uint64_t>(seed),
                                 .maxArea = 7};
        if (!GeneratePuzzle(o, *board, *painted)) continue;
        check(*board);
        *several = *board;
        bool changed = false; // the first clue one more
        for (int x = 1; x <= board->width; ++x)
            for (int y = 1; y <= board->height; ++y)
                if (isClue(board->state(x, y)) && !changed) ++board->state(x, y), changed = true;
        check(*board);
    }
    for (int rules : {0, 1}) {
        auto r = std::make_unique<UniqueResult>();
        UniqueOptions o;
        o.width = 9, o.height = 8, o.ruleSet = rules, o.seed = 3;
        ASSERT_TRUE(GenerateUnique(o, *r));
        check(r->puzzle);
    }
    // Two clues 1 at a corner: apart under Ombrix, touching under Tandrel.
    check(*MakeBoard(1,
                     {"1 . . . . . . .", ". 1 . . . . . .", ". . . . . . . .", ". . . . . . . .",
                      ". . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . 3"}));
    for (int rules : {0, 1})
        for (Verdict v : {Verdict::None, Verdict::Unique, Verdict::Several})
            EXPECT_TRUE(seen.count({rules, v})) << rules << " " << VerdictName(v);

    const auto r = std::make_unique<AnalysisResult>(AnalyzeByLearning(*several, {.maxNodes = 2}));
    EXPECT_EQ(r->verdict, Verdict::Stopped);
    EXPECT_EQ(r->solutionCount, 0);
}

// Real puzzles beyond the automatic solver, each unique with a board that
// obeys the rules (a learnt clause built on a wrong explanation, a cut-off
// cell's pocket short of one false cell, made them none while the boards
// above still agreed), and r023 with its clue 5 at (1, 4) lowered (several)
// and raised (none): settled by the learning search alone, by two at once
// that pass each other solutions and clauses (each run to its end), and by a
// third that joins after those two and so takes all they logged at its start,
// and by one that decides a cell's colour first (a cube) and must still find
// what lies outside it.
TEST(LearnTest, SettlesRealPuzzlesAloneAndSharingWhatItLearns) {
    const std::filesystem::path real = std::filesystem::path(OMBRIX_CORPUS_DIR) / "real";
    if (!std::filesystem::exists(real / "r021.grid")) OMBRIX_WITHOUT_CORPUS(OMBRIX_CORPUS_DIR);
    auto r = std::make_unique<AnalysisResult[]>(6);
    for (const auto& [name, clue] :
         {std::pair{"r021", 0}, {"r029", 0}, {"r077", 0}, {"r023", 5}, {"r023", 4}, {"r023", 6}}) {
        const auto puzzle = LoadGrid((real / (std::string(name) + ".grid")).string());
        if (clue) puzzle->state(1, 4) = static_cast<std::uint8_t>(clue);
        learn::Exchange exchange;
        std::thread other([&] { r[1] = AnalyzeByLearning(*puzzle, {}, exchange, 1); });
        r[0] = AnalyzeByLearning(*puzzle, {}, exchange, 0);
        other.join();
        r[2] = AnalyzeByLearning(*puzzle, {}, exchange, 1);
        r[3] = AnalyzeByLearning(*puzzle);
        // A search dealt a cube before it joins: a cell's colour (one where
        // the solutions found agree) against them, and as they have it; the
        // literal of cell c black is 2c, white 2c + 1.
        int x = 1, y = 1;
        const Board& s0 = r[3].solutions[0];
        while (isClue(puzzle->state(x, y)) ||
               (r[3].solutionCount == 2 &&
                isBlack(s0.state(x, y)) != isBlack(r[3].solutions[1].state(x, y))))
            x = x % puzzle->width + 1, y += x == 1;
        for (const bool against : {true, false}) {
            learn::Exchange dealt;
            int deal = 0;
            dealt.Join();
            dealt.Deal(0, deal,
                       2 * ((x - 1) * puzzle->height + y - 1) +
                           (isBlack(s0.state(x, y)) != against));
            r[4 + against] = AnalyzeByLearning(*puzzle, {}, dealt, 0);
        }
        const Verdict expected = clue == 4   ? Verdict::Several
                                 : clue == 6 ? Verdict::None
                                             : Verdict::Unique;
        for (int k = 0; k < 6; ++k) {
            ASSERT_EQ(r[k].verdict, expected) << name << " " << clue << " " << k;
            std::string why;
            for (int i = 0; i < r[k].solutionCount; ++i)
                EXPECT_TRUE(CheckSolution(r[k].solutions[i], why)) << name << why;
        }
    }
}
