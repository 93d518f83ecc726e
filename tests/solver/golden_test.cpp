// The solver's results must not change when it is made faster. The golden
// file holds, for corpus puzzles and seeded generated ones, a hash of the
// solver's complete outcome (status, circled cell, undecided count and every
// cell) as the straightforward implementation produced it. Every board it
// solves must obey the rules as the independent checker reads them.
#include "corpus.h"
#include "generator.h"
#include "golden.h"
#include "rule_checker.h"
#include "solver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

using namespace ombrix;
using namespace ombrix::testing;
namespace fs = std::filesystem;

TEST(Golden, OutcomesUnchanged) {
    std::ifstream in(OMBRIX_GOLDEN_FILE);
    ASSERT_TRUE(in) << OMBRIX_GOLDEN_FILE;
    auto board = std::make_unique<Board>(), solution = std::make_unique<Board>();
    int checked = 0, skipped = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ls(line);
        std::string kind, hash, name;
        ls >> kind;
        *board = Board{}; // as the command-line tool starts: circled cell (0, 0)
        if (kind == "corpus") {
            ls >> name >> hash;
            const fs::path path = fs::path(OMBRIX_CORPUS_DIR) / name;
            if (!fs::exists(path)) {
                ++skipped;
                continue;
            }
            board = LoadGrid(path.string());
        } else if (kind == "generate") {
            std::string rules, size;
            std::uint64_t seed = 0;
            ls >> rules >> size >> seed >> hash;
            name = rules + " " + size + " " + std::to_string(seed);
            const GeneratorOptions o{.width = std::stoi(size.substr(0, size.find('x'))),
                                     .height = std::stoi(size.substr(size.find('x') + 1)),
                                     .ruleSet = rules == "tandrel" ? RuleSetTandrel : RuleSetOmbrix,
                                     .seed = seed};
            ASSERT_TRUE(GeneratePuzzle(o, *board, *solution)) << name;
        } else {
            FAIL() << "bad golden line: " << line;
        }
        AutoSolve(*board);
        EXPECT_EQ(hash, OutcomeHash(*board))
            << name << " now ends with status " << int(board->status);
        std::string why;
        EXPECT_TRUE(board->status != StatusNone || CheckSolution(*board, why)) << name << why;
        ++checked;
    }
    EXPECT_GT(checked, 100);
    if (skipped > 0)
        OMBRIX_WITHOUT_CORPUS(std::to_string(skipped) + " corpus outcomes unchecked in " +
                              OMBRIX_CORPUS_DIR);
}
