// ombrix-bench --learn-check: holds the learning analysis against the search
// analysis on the corpus folders and on seeded generated boards (as painted,
// with one clue changed, with one clue taken away), both rule sets; also the
// two learning searches that share what they learn, run at once to their
// ends. Prints each disagreement, any solution the rule checker refuses, and
// the totals.
#include "analysis.h"
#include "analysis_learn.h"
#include "analysis_learn_exchange.h"
#include "analyze_bench.h"
#include "generator.h"
#include "grid_text.h"
#include "rule_checker.h"
#include "unique.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace ombrix {

namespace {

namespace fs = std::filesystem;

struct Tally {
    std::map<std::string, int> kinds;
    int boards = 0, disagree = 0, badSolutions = 0, stopped = 0;
    double searchMs = 0, learnMs = 0;
};

void Compare(const std::string& name, const Board& board, double limit, Tally& t) {
    AnalysisLimits limits;
    limits.seconds = limit;
    auto a = std::make_unique<AnalysisResult>(Analyze(board, limits));
    auto b = std::make_unique<AnalysisResult>(AnalyzeByLearning(board, limits));
    auto shared = std::make_unique<AnalysisResult[]>(2);
    {
        learn::Exchange exchange;
        std::thread other([&] { shared[1] = AnalyzeByLearning(board, limits, exchange, 1); });
        shared[0] = AnalyzeByLearning(board, limits, exchange, 0);
        other.join();
    }
    ++t.boards;
    t.searchMs += a->seconds * 1000;
    t.learnMs += b->seconds * 1000;
    const auto judge = [&](const char* who, const AnalysisResult& r) {
        for (int i = 0; i < r.solutionCount; ++i) {
            std::string why;
            if (!testing::CheckSolution(r.solutions[i], why)) {
                ++t.badSolutions;
                std::printf("%s: %s solution %d refused: %s\n", name.c_str(), who, i, why.c_str());
            }
        }
        if (r.verdict == Verdict::Stopped) return;
        const bool same =
            a->verdict == r.verdict &&
            (a->verdict != Verdict::Unique || SameColours(a->solutions[0], r.solutions[0])) &&
            (a->verdict != Verdict::Several ||
             (!r.differing.empty() && !SameColours(r.solutions[0], r.solutions[1])));
        if (!same) {
            ++t.disagree;
            std::printf("%s: DISAGREE search %s, %s %s\n", name.c_str(), VerdictName(a->verdict),
                        who, VerdictName(r.verdict));
        }
    };
    if (a->verdict == Verdict::Stopped || b->verdict == Verdict::Stopped ||
        shared[0].verdict == Verdict::Stopped || shared[1].verdict == Verdict::Stopped) {
        ++t.stopped;
        std::printf("%s: stopped (search %s %.0f ms, learning %s %.0f ms, shared %s %.0f ms, %s "
                    "%.0f ms)\n",
                    name.c_str(), VerdictName(a->verdict), a->seconds * 1000,
                    VerdictName(b->verdict), b->seconds * 1000, VerdictName(shared[0].verdict),
                    shared[0].seconds * 1000, VerdictName(shared[1].verdict),
                    shared[1].seconds * 1000);
        if (a->verdict == Verdict::Stopped) return;
    } else {
        ++t.kinds[std::string(board.tandrel() ? "tandrel " : "ombrix ") + VerdictName(a->verdict)];
    }
    judge("learning", *b);
    judge("shared 0", shared[0]);
    judge("shared 1", shared[1]);
}

void Print(const char* what, const Tally& t) {
    std::printf("%s: %d boards, %d disagreements, %d refused solutions, %d stopped; search "
                "%.1f ms, learning %.1f ms\n  verdicts:",
                what, t.boards, t.disagree, t.badSolutions, t.stopped, t.searchMs, t.learnMs);
    for (const auto& [k, n] : t.kinds)
        std::printf(" %s %d,", k.c_str(), n);
    std::printf("\n");
}

} // namespace

int RunLearnCheck(const std::string& corpus, int seeds, double limit) {
    auto board = std::make_unique<Board>();
    auto solution = std::make_unique<Board>();
    for (const char* folder : {"real", "generated"}) {
        std::vector<fs::path> files;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(corpus + "/" + folder, ec))
            if (e.path().extension() == ".grid") files.push_back(e.path());
        std::sort(files.begin(), files.end());
        Tally t;
        for (const fs::path& f : files) {
            std::ifstream in(f, std::ios::binary);
            std::stringstream ss;
            ss << in.rdbuf();
            GridTextError err;
            if (ParseGridText(ss.str(), *board, err)) Compare(f.stem().string(), *board, limit, t);
        }
        Print(folder, t);
    }
    Tally t;
    for (int seed = 1; seed <= seeds; ++seed) {
        std::mt19937 rng(static_cast<unsigned>(seed));
        GeneratorOptions o;
        o.seed = static_cast<std::uint64_t>(seed);
        o.ruleSet = seed % 2;
        o.width = 8 + static_cast<int>(rng() % 7);
        o.height = 8 + static_cast<int>(rng() % 7);
        o.maxArea = 3 + static_cast<int>(rng() % 10);
        if (!GeneratePuzzle(o, *board, *solution)) continue;
        const std::string name = "seed " + std::to_string(seed);
        Compare(name, *board, limit, t);
        std::vector<std::pair<int, int>> clues;
        for (int x = 1; x <= board->width; ++x)
            for (int y = 1; y <= board->height; ++y)
                if (isClue(board->state(x, y))) clues.emplace_back(x, y);
        if (clues.empty()) continue;
        const auto [cx, cy] = clues[rng() % clues.size()];
        const std::uint8_t was = board->state(cx, cy);
        board->state(cx, cy) = static_cast<std::uint8_t>(was < 40 && rng() % 2 ? was + 1
                                                         : was > 1             ? was - 1
                                                                               : 2);
        Compare(name + " changed", *board, limit, t);
        board->state(cx, cy) = Undecided;
        Compare(name + " removed", *board, limit, t);
        if (!board->tandrel()) continue;
        // Under Tandrel also a given black cell where the painting has a
        // white cell, and one where it has a black cell.
        board->state(cx, cy) = was;
        for (const bool white : {true, false}) {
            std::vector<std::pair<int, int>> spots;
            for (int x = 1; x <= board->width; ++x)
                for (int y = 1; y <= board->height; ++y)
                    if (board->state(x, y) == Undecided && isBlack(solution->state(x, y)) != white)
                        spots.emplace_back(x, y);
            if (spots.empty()) continue;
            const auto [gx, gy] = spots[rng() % spots.size()];
            board->state(gx, gy) = GivenBlack;
            Compare(name + (white ? " given on white" : " given on black"), *board, limit, t);
            board->state(gx, gy) = Undecided;
        }
    }
    Print("generated boards", t);
    // Sparse random boards: a few clues (and under Tandrel given black cells)
    // anywhere; most have no solution, some several.
    Tally sparse;
    for (int seed = 1; seed <= seeds; ++seed) {
        std::mt19937 rng(static_cast<unsigned>(seed) * 7919u);
        *board = Board{};
        board->ruleSet = static_cast<std::uint8_t>(seed % 2);
        board->width = static_cast<std::uint8_t>(8 + rng() % 2);
        board->height = 8;
        for (int x = 0; x < kGridWidth; ++x)
            for (int y = 0; y < kGridHeight; ++y)
                board->state(x, y) = board->isPlayable(x, y) ? Undecided : Border;
        const int count = 1 + static_cast<int>(rng() % 10);
        for (int i = 0; i < count; ++i) {
            const int x = 1 + static_cast<int>(rng() % board->width);
            const int y = 1 + static_cast<int>(rng() % board->height);
            const int pick = static_cast<int>(rng() % 10);
            board->state(x, y) = pick == 9 && board->tandrel()
                                     ? std::uint8_t{GivenBlack}
                                     : static_cast<std::uint8_t>(1 + rng() % 20);
        }
        Compare("sparse " + std::to_string(seed), *board, limit, sparse);
    }
    Print("sparse boards", sparse);
    Tally u;
    for (int seed = 1; seed <= seeds / 5; ++seed) {
        UniqueOptions o;
        o.seed = static_cast<std::uint64_t>(seed);
        o.ruleSet = seed % 2;
        o.width = 8 + seed % 5;
        o.height = 8 + seed % 7;
        o.grade = 1 + seed % 4;
        o.seconds = 5;
        auto r = std::make_unique<UniqueResult>();
        if (!GenerateUnique(o, *r)) continue;
        Compare("unique seed " + std::to_string(seed), r->puzzle, limit, u);
    }
    Print("unique generator", u);
    return 0;
}

} // namespace ombrix
