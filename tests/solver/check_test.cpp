// The answer check: each kind of violation on a board that shows it and on a
// near-identical one that does not, and generated solutions that are correct
// whole, correct when half undone, and wrong after any one cell is flipped.
#include "check.h"
#include "generator.h"
#include "test_boards.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace ombrix;
using namespace ombrix::testing;

namespace {

// The findings as `ombrix-cli check` prints them.
std::vector<std::string> Lines(const Board& b) {
    std::vector<std::string> out;
    for (const Finding& f : CheckBoard(b).findings) {
        std::string line = ViolationName(f.kind);
        for (auto [x, y] : f.cells)
            line.append(" ").append(std::to_string(x)).append(",").append(std::to_string(y));
        out.push_back(line);
    }
    return out;
}

} // namespace

TEST(AnswerCheck, EachViolationAndItsNearMiss) {
    const struct {
        int rules;
        std::vector<std::string> rows, expected; // expected empty: a clean board
    } cases[] = {
        // A 2 x 2 black block; one cell short of it; the same block under Tandrel.
        {0, {"# # . .", "# # . .", ". . . .", ". . . 3"}, {"black-block 1,1 1,2 2,1 2,2"}},
        {0, {"# # . .", "# . . .", ". . . .", ". . . 3"}, {}},
        {1, {"# # . .", "# # . .", ". . . .", ". . . 3"}, {}},
        // A black cell walled in by an area while another black cell stands
        // elsewhere; without the second one nothing is divided.
        {0, {"# 3 . .", "a3 a3 . .", ". . . .", ". . . #"}, {"black-divided 4,4"}},
        {0, {"# 3 . .", "a3 a3 . .", ". . . .", ". . . ."}, {}},
        // A white cell closed in with no clue; open on one side it may still join one.
        {0, {"o # . .", "# . . .", ". . . .", ". . . 2"}, {"area-without-number 1,1"}},
        {0, {"o . . .", "# . . .", ". . . .", ". . . 2"}, {}},
        // Two clues in one area.
        {1, {"2 o 3 .", ". . . .", ". . . .", ". . . ."}, {"area-two-numbers 1,1 2,1 3,1"}},
        {1, {"2 . 3 .", ". . . .", ". . . .", ". . . ."}, {}},
        // An area larger than its clue, then one exactly full.
        {0, {"2 a2 a2 .", ". . . .", ". . . .", ". . . ."}, {"area-too-large 1,1 2,1 3,1"}},
        {0, {"2 a2 . .", ". . . .", ". . . .", ". . . ."}, {}},
        // An area closed before it reaches its number; with one side open it may still grow.
        {0, {"3 a3 # .", "# # . .", ". . . .", ". . . ."}, {"area-too-small 1,1 2,1"}},
        {0, {"3 a3 # .", "# . . .", ". . . .", ". . . ."}, {}},
        // Two clued areas meeting at a corner under Tandrel, but not under
        // Ombrix, and not once they stand a cell further apart.
        {1, {"1 # . .", "# 3 . .", ". . . .", ". . . ."}, {"areas-touch 1,1 2,2"}},
        {0, {"1 # . .", "# 3 . .", ". . . .", ". . . ."}, {}},
        {1, {"1 # . .", "# . 3 .", ". . . .", ". . . ."}, {}},
        // An area number that is not its clue's.
        {0, {"3 a2 . .", ". . . .", ". . . .", ". . . ."}, {"number-mismatch 2,1"}},
        {0, {"3 a3 . .", ". . . .", ". . . .", ". . . ."}, {}},
        // Several faults at once come in the order of the kinds.
        {0,
         {"2 a2 a2 a3", "# # . .", "# # . .", ". . . 2"},
         {"black-block 1,2 1,3 2,2 2,3", "area-too-large 1,1 2,1 3,1 4,1", "number-mismatch 4,1"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Lines(*MakeBoard(c.rules, c.rows)), c.expected)
            << "rules " << c.rules << ", first row " << c.rows[0];
}

TEST(AnswerCheck, GeneratedSolutionsWholeHalfUndoneAndFlipped) {
    std::mt19937 rng(7);
    for (int rules : {0, 1}) {
        for (std::uint64_t seed = 1; seed <= 12; ++seed) {
            const GeneratorOptions o{.width = 8 + static_cast<int>(seed % 5) * 3,
                                     .height = 8 + static_cast<int>(seed % 4) * 4,
                                     .ruleSet = rules,
                                     .seed = seed};
            SCOPED_TRACE(::testing::Message() << "rules " << rules << " seed " << seed);
            Board puzzle, solution;
            ASSERT_TRUE(GeneratePuzzle(o, puzzle, solution));
            const CheckResult whole = CheckBoard(solution);
            ASSERT_TRUE(whole.solved()) << (whole.ok() ? "incomplete" : Lines(solution)[0]);

            // Any one painted cell of the other colour breaks a rule; about
            // half of them undecided, some whites left as dots, break none.
            Board half = solution;
            for (int x = 1; x <= solution.width; ++x) {
                for (int y = 1; y <= solution.height; ++y) {
                    const std::uint8_t s = solution.state(x, y);
                    if (s != Black && !(s > 100 && s < GivenBlack)) continue;
                    Board flipped = solution;
                    flipped.state(x, y) = s == Black ? WhiteDot : Black;
                    EXPECT_FALSE(CheckBoard(flipped).ok()) << "cell " << x << "," << y;
                    if (rng() % 2)
                        half.state(x, y) = Undecided;
                    else if (s != Black && rng() % 3 == 0)
                        half.state(x, y) = WhiteDot;
                }
            }
            const CheckResult partial = CheckBoard(half);
            EXPECT_TRUE(partial.ok()) << Lines(half)[0];
            EXPECT_FALSE(partial.complete);
        }
    }
}
