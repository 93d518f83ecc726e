// Rule-level tests: each rule case is a whole board before and after one run
// of the rule (or rules), written as text; then the mark operations, the
// driver, the trial search, the generator and the grid text's parse errors.
// (The region walks are held by the golden outcomes and the equivalence test.)
#include "generator.h"
#include "golden.h" // LoadGrid
#include "grid_text.h"
#include "rule_checker.h"
#include "test_boards.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

using namespace ombrix;
using namespace ombrix::testing;

namespace {

// Area ids as the solver gives them: every clue of 2 or more gets the next id
// in scan order (x outer, y inner); an area cell aN takes the id of the clue
// N it is joined to through aN cells, else (a fragment) of the first clue N,
// else one id shared by the aN cells without a clue N. A trailing ' marks a
// finished clue or cell (id 0). A board from text with its area ids so given.
std::unique_ptr<Board> MakeAreaBoard(int ruleSet, const std::vector<std::string>& rows) {
    auto board = MakeBoard(ruleSet, rows);
    Board& b = *board;
    auto finished = [&](int x, int y) {
        std::istringstream in(rows.at(y - 1));
        std::string t;
        for (int i = 0; i < x; ++i)
            in >> t;
        return t.back() == '\'';
    };
    auto eachCell = [&](auto f) {
        for (int x = 1; x <= b.width; ++x)
            for (int y = 1; y <= b.height; ++y)
                if (!finished(x, y)) f(b.at(x, y), x, y);
    };
    std::map<int, std::uint16_t> first; // by number: the first clue's id, or the shared one
    b.nextAreaId = 1;
    eachCell([&](Cell& c, int, int) {
        if (isClue(c.state) && c.state > 1) first.try_emplace(c.state, c.areaId = b.nextAreaId++);
    });
    for (bool grew = true; grew;) {
        grew = false;
        eachCell([&](Cell& c, int x, int y) {
            for (auto [dx, dy] : {std::pair{0, -1}, {-1, 0}, {0, 1}, {1, 0}}) {
                const Cell& n = b.at(x + dx, y + dy);
                if (isAreaCell(c.state) && c.areaId == 0 && n.areaId != 0 &&
                    clueNumber(n.state) == clueNumber(c.state))
                    grew = (c.areaId = n.areaId) != 0;
            }
        });
    }
    eachCell([&](Cell& c, int, int) {
        if (isAreaCell(c.state) && c.areaId == 0)
            c.areaId = first.try_emplace(clueNumber(c.state), b.nextAreaId).first->second;
        b.nextAreaId = std::max<std::uint32_t>(b.nextAreaId, c.areaId + 1u);
    });
    return board;
}

struct RuleCase {
    const char* what;
    int ruleSet;
    std::vector<Rule> rules;
    std::vector<std::string> before, after;
    int status = StatusNone;
    int budget = 0; // the number of black cells the solution has
};

// Runs each case's rules once, in order, on its board and holds the whole
// board and the status against the case.
void ExpectRules(const std::vector<RuleCase>& cases) {
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto b = MakeAreaBoard(c.ruleSet, c.before);
        b->blackBudget = c.budget;
        Solver s(*b);
        for (Rule r : c.rules)
            s.Run(r);
        std::vector<std::string> same = c.before; // unchanged, but for the marks '
        for (std::string& row : same)
            std::erase(row, '\'');
        EXPECT_EQ(BoardRows(*b), c.after.empty() ? same : c.after);
        EXPECT_EQ(b->status, c.status);
    }
}

} // namespace

TEST(Marks, CountersContradictionsAndTheFinishedClueTwo) {
    auto b = MakeAreaBoard(0, {". . . . .", ". L # G o", ". . . . .", ". . 3 . 4", ". . . . ."});
    b->undecidedCount = 20; // the cells . and o
    Solver s(*b);
    // Painting what is already black or the border changes nothing.
    for (auto [x, y] : {std::pair{0, 1}, {2, 2}, {3, 2}, {4, 2}})
        s.MarkBlack(x, y);
    EXPECT_EQ(b->changed, 0);
    s.MarkBlack(1, 1);
    s.MarkWhite(5, 5);
    EXPECT_EQ(b->undecidedCount, 19) << "a white dot still counts as undecided";
    EXPECT_EQ(b->changed, 1);
    EXPECT_EQ(b->status, StatusNone);
    s.JoinArea(3, 3, 3, 4);
    EXPECT_EQ(b->undecidedCount, 18);
    // Black on a white dot, white on the border, a cell touching a second
    // area: refused; and once the status is set, nothing changes.
    s.MarkBlack(5, 2);
    EXPECT_EQ(b->status, StatusContradiction);
    b->status = StatusNone;
    s.MarkWhite(0, 3);
    EXPECT_EQ(b->status, StatusContradiction);
    b->status = StatusNone;
    s.JoinArea(4, 4, 3, 4);
    EXPECT_EQ(b->status, StatusContradiction);
    s.JoinArea(3, 5, 3, 4);
    EXPECT_EQ(BoardRows(*b), (std::vector<std::string>{"# . . . .", ". L # G o", ". . a3 . .",
                                                       ". . 3 . 4", ". . . . o"}));
    // A clue 2 that gets its second cell is finished: walled in (under
    // Tandrel the diagonals too), both cells without an area id.
    auto c = MakeAreaBoard(1, {". . . .", ". 2 . .", ". . . ."});
    Solver(*c).JoinArea(3, 2, 2, 2);
    EXPECT_EQ(BoardRows(*c), (std::vector<std::string>{"# # # #", "# 2 a2 #", "# # # #"}));
    EXPECT_EQ(c->at(2, 2).areaId + c->at(3, 2).areaId, 0);
}

TEST(Driver, PreparationSolvingAgainAndGivenBlackCells) {
    // Nothing to go on: the trial search finds no candidate, changes nothing.
    const std::vector<std::string> empty(8, ". . . . . . . .");
    auto b = MakeBoard(0, empty);
    b->undecidedCount = 64;
    Solver(*b).TrialSearch();
    EXPECT_EQ(b->status, StatusUnsolvable);
    EXPECT_EQ(BoardRows(*b), empty);
    // Two touching clues 1: status 1 at once, the second walled in.
    b->state(1, 1) = b->state(2, 1) = 1;
    AutoSolve(*b);
    EXPECT_EQ(b->status, StatusContradiction);
    EXPECT_EQ(b->state(3, 1), Black);
    // A sum larger than the board wins over the contradiction, and a sum far
    // beyond it does not wrap round to a positive budget.
    b->state(8, 8) = b->state(7, 7) = 48;
    AutoSolve(*b);
    EXPECT_EQ(b->status, StatusSumTooLarge);
    std::vector<std::string> rows(45);
    for (int y = 1; y <= 45; ++y)
        for (int x = 1; x <= 31; ++x)
            rows[y - 1] += (x + y) % 2 == 0 ? "48 " : ". ";
    auto big = MakeBoard(1, rows);
    AutoSolve(*big);
    EXPECT_EQ(big->status, StatusSumTooLarge);

    // A solve starts again from the clues, whatever was painted; a given
    // black cell never counts as decided under Ombrix.
    const std::string puzzle = OMBRIX_TEST_DATA_DIR "/ombrix-solved.grid";
    b = LoadGrid(puzzle);
    AutoSolve(*b);
    ASSERT_EQ(b->status, StatusNone);
    const std::vector<std::string> solved = BoardRows(*b);
    b->state(1, 1) = WhiteDot;
    b->state(4, 4) = 105;
    b->at(4, 4).areaId = 77;
    AutoSolve(*b);
    EXPECT_EQ(BoardRows(*b), solved);
    b = LoadGrid(puzzle);
    b->state(1, 1) = GivenBlack;
    AutoSolve(*b);
    EXPECT_NE(b->status, StatusNone);
    EXPECT_GT(b->undecidedCount, 0);
}

TEST(LocalRules, SeparationDeadEndsAndUndecidedCells) {
    // clang-format off
    ExpectRules({
        {"Ombrix: areas two apart and diagonal", 0, {Rule::AreaGap, Rule::AreaDiagonal},
         {". . . . .", ". 3 . 3 .", ". . a3 a3 .", ". . . . ."},
         {". . . . .", ". 3 # 3 .", ". # a3 a3 .", ". . . . ."}},
        {"Tandrel: a knight's move paints both cells between", 1, {Rule::AreaGap},
         {". . . . .", ". 3 . . .", ". . . 3 .", ". . . . ."},
         {". . . . .", ". 3 # . .", ". . # 3 .", ". . . . ."}},
        {"Tandrel: areas touching diagonally", 1, {Rule::AreaDiagonal},
         {". . . .", ". 3 . .", ". . 3 .", ". . . ."}, {}, StatusContradiction},
        {"a finished area is no neighbour", 0, {Rule::AreaGap, Rule::AreaDiagonal},
         {". . . . .", ". 3 . 3' .", ". . a3' . .", ". . . . ."}, {}},
        {"clue 2: a dot two away, a corner of walls", 0, {Rule::ClueTwo},
         {"2 . . . . .", ". . . . . .", ". . . . . .", "o . 2 . . .", ". . . . . .", ". 2 . . . ."},
         {"2 . . . . .", ". # . . . .", ". . . . . .", "o # 2 . . .", ". . . . . .",
          ". 2 . . . ."}},
        {"a black dead end links, into the border it fails", 0, {Rule::BlackDeadEnd},
         {". . . . . . . .", ". o . . . o . .", "o # . . o G . .", ". o . . . o . o",
          ". . . . . . o #", ". . . . . . . o"},
         {". . . . . . . .", ". o . . . o . .", "o L # . o G # .", ". o . . . o . o",
          ". . . . . . o L", ". . . . . . . o"}, StatusContradiction},
        {"a walled-in white dot", 0, {Rule::WhiteDeadEnd},
         {"o # . .", "# . . .", ". . . ."}, {}, StatusContradiction},
        {"Tandrel: the diagonal between two walls of a dot", 1, {Rule::WhiteDeadEnd},
         {". . . .", ". . # .", ". # o .", ". . . ."},
         {". . . .", ". # # .", ". # o .", ". . . ."}},
        {"Ombrix: blocks, walls and white sides", 0, {Rule::UndecidedCell},
         {". # . . . . . .", "# . . . . . . .", ". . . . . . . .", "# . . # # . . .",
          ". . . # . . . .", "o . . . . . . .", ". a3 . . . . . .", "o . . . . 1 o ."},
         {"# # . . . . . .", "# o . . . . . .", ". . . . . . . .", "# . . # # . . .",
          ". . . # o . . .", "o . . . . . . .", "o a3 . . . . . .", "o . . . . 1 o ."}},
        {"Tandrel: no blocks; a finished area is no white side", 1, {Rule::UndecidedCell},
         {". # . . . . . .", "# . . . . . . .", ". . . . . . . .", "# . . # # . . .",
          ". . . # . . . .", "o . . . . . . .", ". a3' . . . . . .", "o . . . . 1 o ."},
         {"# # . . . . . .", "# . . . . . . .", ". . . . . . . .", "# . . # # . . .",
          ". . . # . . . .", "o . . . . . . .", ". a3 . . . . . .", "o . . . . 1 o ."}},
    });
    // clang-format on
}

TEST(BlackRules, ConnectivityBlocksAndCount) {
    // clang-format off
    ExpectRules({
        {"the whole budget whitens the rest; a second group is shut in", 0, {Rule::BlackConnected},
         {"# # . . .", ". . . . .", ". . . . .", "o o o o #"},
         {"# # o o o", "o o o o o", "o o o o o", "o o o o #"}, StatusContradiction, 2},
        {"of two groups with one exit each, only the first is extended", 0, {Rule::BlackConnected},
         {"# o . . .", ". o . . .", "o . . . .", ". . . o .", ". . . o #", ". . . . o"},
         {"# o . . .", "# o . . .", "o . . . .", ". . . o .", ". . . o #",
          ". . . . o"}, StatusNone, 30},
        {"a 2 x 2 block of linked and plain cells", 0, {Rule::BlackBlocks},
         {"L # . .", "# # . .", ". . . ."}, {}, StatusContradiction},
        {"the budget allowed; a block in the corner", 0, {Rule::BlackCount, Rule::BlackBlocks},
         {". . . .", ". . # #", ". . # #"}, {}, StatusContradiction, 4},
        {"one black cell too many", 0, {Rule::BlackCount},
         {". . # #", ". . # #"}, {}, StatusContradiction, 3},
    });
    // clang-format on
}

TEST(AreaRules, DotsJoinAreasGrowAndFragmentsReconnect) {
    // clang-format off
    ExpectRules({
        {"a dot between two areas", 0, {Rule::WhiteDotJoin},
         {". . . . .", ". . 3 . .", ". . o 3 .", ". . . . ."}, {}, StatusContradiction},
        {"the only area that can reach a dot takes it", 0, {Rule::WhiteDotJoin},
         {". . . . .", ". 4 . . .", ". . . . .", ". o . . .", ". . . . ."},
         {". . . . .", ". 4 . . .", ". . . . .", ". a4 . . .", ". . . . ."}},
        {"Tandrel: a diagonal area takes the dot and the open cell", 1, {Rule::WhiteDotJoin},
         {". . . . .", ". . 5 # .", ". . . o .", ". . . . ."},
         {". . . . .", ". . 5 # .", ". . a5 a5 .", ". . . . ."}},
        {"a dot walled in", 0, {Rule::WhiteDotJoin},
         {"o # . .", "# . . .", ". . . 3"}, {}, StatusContradiction},
        {"growth absorbs the dot and seals the full area", 0, {Rule::AreaGrowth},
         {". . . . . .", ". . . . . .", ". . 3 a3 o .", ". . . . . .", ". . . . . ."},
         {". . . . . .", ". . # # # .", ". # 3 a3 a3 #", ". . # # # .", ". . . . . ."}},
        {"Tandrel seals the diagonals too", 1, {Rule::AreaGrowth},
         {". . . . .", ". . . . .", ". . 2 a2 .", ". . . . .", ". . . . ."},
         {". . . . .", ". # # # #", ". # 2 a2 #", ". # # # #", ". . . . ."}},
        {"an area with one exit grows; one with none fails", 0, {Rule::AreaGrowth},
         {". # . . . . . .", "# 4 . . . . . .", "# a4 a4 # . . . .", ". # # . . . # .",
          ". . . . . # 5 #", ". . . . . # a5 #", ". . . . . # a5 #"},
         {". # . . . . . .", "# 4 a4 . . . . .", "# a4 a4 # . . . .", ". # # . . . # .",
          ". . . . . # 5 #", ". . . . . # a5 #", ". . . . . # a5 #"}, StatusContradiction},
        {"dots: shut in fails, one way out is taken, then it ends", 0, {Rule::WhiteDotEscape},
         {"o # . . . . . .", "# . . . . . . .", ". . . . . . . .", ". . # # . . . .",
          ". # o o . . . .", ". . # # . . . .", ". . . . . . # .", ". . . . . # o ."},
         {"o # . . . . . .", "# . . . . . . .", ". . . . . . . .", ". . # # . . . .",
          ". # o o o . . .", ". . # # . . . .", ". . . . . . # .",
          ". . . . . # o ."}, StatusContradiction},
        {"a fragment reconnects through its only way", 0, {Rule::AreaFragment},
         {". . . . . .", ". . . # . .", ". 5 . a5 # .", ". . . # . .", ". . . . . ."},
         {". . . . . .", ". . . # . .", ". 5 a5 a5 # .", ". . . # . .", ". . . . . ."}},
        {"a fragment shut in fails; beside a dot or with two ways, none", 0, {Rule::AreaFragment},
         {"a5 # . . . . . .", "# . . . . . . .", ". . . . . . . .", ". . . o a5 . . .",
          ". . . . . . . .", ". . . . . . a3 .", ". . . . . . . 3"}, {}, StatusContradiction},
    });
    // clang-format on
}

TEST(ReachRules, UnreachableCellsAreaReachAndCluelessPockets) {
    // clang-format off
    ExpectRules({
        {"cells no area reaches are black", 0, {Rule::Unreachable},
         {"3 . . . . .", ". . . . . .", ". . . . . .", ". . . . . .", "3 . . . . .", ". . . . . ."},
         {"3 . . # # #", ". . # # # #", ". # # # # #", ". . # # # #", "3 . . # # #",
          ". . # # # #"}},
        {"a black cell in line costs a detour", 0, {Rule::Unreachable},
         {"4 # . . . .", "# . . . . ."},
         {"4 # # # # #", "# . . # # #"}},
        {"a clue that reaches exactly its number takes the cells", 0, {Rule::AreaReach},
         {"4 . . . # .", "# # # # . .", ". . . . . ."},
         {"4 o o o # #", "# # # # # #", "# # # # # #"}},
        {"one that reaches too few fails", 0, {Rule::AreaReach},
         {"4 . . # . .", "# # # . . .", ". . . . . ."}, {}, StatusContradiction},
        {"a pocket without a clue is black", 0, {Rule::AreaReach},
         {". . . . . .", ". . # # . .", ". # . . # .", ". . # # . .", ". 3 . . . ."},
         {". . . . . .", ". . # # . .", ". # # # # .", ". . # # . .", ". 3 . . . ."}},
        {"a white dot in such a pocket", 1, {Rule::AreaReach},
         {". . . . . .", ". . # # . .", ". # o . # .", ". . # # . .", ". 3 . . . ."},
         {". . . . . .", ". . # # . .", ". # o # # .", ". . # # . .",
          ". 3 . . . ."}, StatusContradiction},
        {"Ombrix: the 3 reaches exactly three cells", 0, {Rule::AreaReach},
         {"3 . # . .", "# . . . .", "# # 5 . .", ". . . . ."},
         {"3 o # . .", "# o . . .", "# # 5 . .", ". . . . ."}},
        {"Tandrel: the far diagonal of another area is out of reach", 1, {Rule::AreaReach},
         {"3 . # . .", "# . . . .", "# # 5 . .", ". . . . ."}, {}, StatusContradiction},
    });
    // clang-format on
}

TEST(TrialSearch, WindowStageDecidesWhereNoSingleHypothesisFails) {
    // A generated puzzle whose solve comes to a standstill where neither
    // colour of any candidate cell fails on its own: only the 5 x 5 window
    // can decide, and what it decides agrees with the painted solution.
    const GeneratorOptions o{.width = 14, .height = 9, .seed = 50006, .maxArea = 3};
    auto b = std::make_unique<Board>(), solution = std::make_unique<Board>();
    ASSERT_TRUE(GeneratePuzzle(o, *b, *solution));
    auto s = std::make_unique<Solver>(*b);
    s->PrepareBoard();
    int windowDecisions = 0;
    for (int round = 0; round < 200; ++round) {
        s->RunDeduction(); // on its own: the board may have changed behind it
        if (b->status != StatusUnsolvable) break;
        bool singleFails = false;
        for (int x = 1; x <= b->width && !singleFails; ++x)
            for (int y = 1; y <= b->height && !singleFails; ++y) {
                if (b->state(x, y) != Undecided || !s->HasDecidedNeighbour(x, y)) continue;
                for (const bool black : {true, false}) {
                    auto trial = std::make_unique<Board>(*b);
                    auto t = std::make_unique<Solver>(*trial);
                    black ? t->MarkBlack(x, y) : t->MarkWhite(x, y);
                    t->RunDeduction();
                    singleFails = singleFails || trial->status == StatusContradiction;
                }
            }
        const auto before = std::make_unique<Board>(*b);
        s->TrialSearch();
        if (b->status != StatusNone) break;
        if (singleFails) continue;
        ++windowDecisions;
        for (int x = 1; x <= b->width; ++x)
            for (int y = 1; y <= b->height; ++y)
                if (before->state(x, y) == Undecided && b->state(x, y) != Undecided) {
                    EXPECT_EQ(isBlack(b->state(x, y)), isBlack(solution->state(x, y)))
                        << "(" << x << "," << y << ")";
                }
    }
    EXPECT_GT(windowDecisions, 0);
}

TEST(Generator, SolutionsObeyTheRulesAndTheAreaLimit) {
    auto puzzle = std::make_unique<Board>(), solution = std::make_unique<Board>();
    for (int i = 0; i < 200; ++i) {
        GeneratorOptions o;
        o.ruleSet = i % 2;
        o.width = 8 + (i * 7) % 24, o.height = 8 + (i * 11) % 38;
        o.maxArea = (o.ruleSet == RuleSetOmbrix ? 3 : 1) + (i * 13) % 38;
        o.seed = static_cast<std::uint64_t>(i);
        ASSERT_TRUE(GeneratePuzzle(o, *puzzle, *solution)) << i;
        std::string why;
        EXPECT_TRUE(CheckSolution(*solution, why)) << "board " << i << ": " << why;
        for (int x = 1; x <= o.width; ++x)
            for (int y = 1; y <= o.height; ++y) {
                const std::uint8_t p = puzzle->state(x, y), q = solution->state(x, y);
                if (isAreaCell(q) || isClue(q)) {
                    EXPECT_LE(clueNumber(q), o.maxArea) << "board " << i;
                }
                // The puzzle is the solution's clues and given black cells.
                EXPECT_EQ(p, isClue(q) || q == GivenBlack ? q : std::uint8_t{Undecided})
                    << "board " << i;
            }
    }
    EXPECT_FALSE(GeneratePuzzle({.maxArea = 41}, *puzzle, *solution));
}

TEST(GridText, ParseErrorsNameTheirLineAndColumn) {
    const std::string row = ". . . . . . . .\n";
    std::string eight;
    for (int i = 0; i < 8; ++i)
        eight += row;
    const struct {
        std::string text;
        int line, column;
        const char* says;
    } cases[] = {
        {"# a comment\n\n", 0, 0, "no header"},
        {"# a comment\nombrix 8\n" + eight, 2, 1, "header must be"},
        {"sudoku 8 8\n" + eight, 1, 1, "unknown rule set 'sudoku'"},
        {"ombrix  7 8\n" + eight, 1, 9, "width"},
        {"tandrel 8 x\n" + eight, 1, 11, "height"},
        {"ombrix 8 8\n" + row + ". . . 49 . . . .\n", 3, 7, "bad cell '49'"},
        {"ombrix 8 8\n\n. . . . . . .\n", 3, 1, "row 1 has 7 cells"},
        {"ombrix 8 8\n" + eight + row, 10, 1, "extra row"},
        {"ombrix 8 8\n" + row + row, 3, 0, "expected 8 rows, found 2"},
    };
    for (const auto& c : cases) {
        Board b;
        b.width = 12;
        GridTextError error;
        EXPECT_FALSE(ParseGridText(c.text, b, error)) << c.text;
        EXPECT_EQ(std::pair(error.line, error.column), std::pair(c.line, c.column)) << c.text;
        EXPECT_NE(error.message.find(c.says), std::string::npos) << error.message;
        EXPECT_EQ(b.width, 12) << "a failed parse leaves the board alone";
    }
}
