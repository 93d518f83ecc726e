// Solves every puzzle of a folder several times and prints, per puzzle, its
// size, rule set, outcome and median solve time, then the overall median and
// worst. Usage: ombrix-bench [FOLDER] [--runs N] [--generated N]
// --generated N solves N seeded generated 31 x 45 puzzles of each rule set
// instead of a folder. --analyze [--runs N] [--limit S] [--no-clingo] [--clingo-two] [--threads N]
// times the complete analysis instead (see analyze_bench.cpp; --engine learn times the
// learning analysis alone). --learn-check [--seeds N] holds the two analyses against each
// other (learn_check.cpp). Both take the puzzles of DIR/real with --corpus DIR. --generate [--seeds N] [--grades | --grade G]
// [--rules ombrix|tandrel] [--size WxH] [--threads T] times the unique-puzzle generator
// (see generate_bench.cpp), for one rule set or size if asked.
#include "analyze_bench.h"
#include "generate_bench.h"
#include "generator.h"
#include "grid_text.h"
#include "solver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace ombrix;
namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::string folder = std::string(OMBRIX_CORPUS_DIR) + "/real";
    int runs = 5, generated = 0, threads = 2, checkSeeds = 200;
    bool analyze = false, clingo = true, clingoTwo = false, learning = false, learnCheck = false;
    double limit = 60;
    std::string corpus = OMBRIX_CORPUS_DIR;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--analyze") analyze = true;
        if (a == "--no-clingo") clingo = false;
        if (a == "--clingo-two") clingoTwo = true;
        if (a == "--engine" && i + 1 < argc) learning = std::string(argv[i + 1]) == "learn";
        if (a == "--learn-check") learnCheck = true;
        if (a == "--seeds" && i + 1 < argc) checkSeeds = std::max(0, std::atoi(argv[i + 1]));
        if (a == "--limit" && i + 1 < argc) limit = std::atof(argv[i + 1]);
        if (a == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[i + 1]));
        if (a == "--threads" && i + 1 < argc) threads = std::max(1, std::atoi(argv[i + 1]));
        if (a == "--corpus" && i + 1 < argc) corpus = argv[i + 1];
    }
    if (learnCheck) return RunLearnCheck(corpus, checkSeeds, limit);
    if (analyze) return RunAnalyzeBench(corpus, runs, limit, clingo, threads, learning, clingoTwo);
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) != "--generate") continue;
        int seeds = 20;
        int grades = 0; // 0 none, -1 every grade, else that grade alone
        std::string rules, size;
        for (int j = 1; j < argc; ++j) {
            const std::string a = argv[j];
            if (a == "--seeds" && j + 1 < argc) seeds = std::max(1, std::atoi(argv[j + 1]));
            if (a == "--grades") grades = -1;
            if (a == "--grade" && j + 1 < argc) grades = std::clamp(std::atoi(argv[j + 1]), 1, 4);
            if (a == "--rules" && j + 1 < argc) rules = argv[j + 1];
            if (a == "--size" && j + 1 < argc) size = argv[j + 1];
        }
        return RunGenerateBench(OMBRIX_CORPUS_DIR, seeds, grades, rules, size, threads);
    }
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--generated" && i + 1 < argc)
            generated = std::max(1, std::atoi(argv[++i]));
        else
            folder = a;
    }
    // Each entry: a name and how to fill the puzzle board.
    struct Item {
        std::string name;
        fs::path path;
        GeneratorOptions options;
    };
    std::vector<Item> items;
    if (generated > 0) {
        for (int rules : {0, 1}) {
            for (int seed = 1; seed <= generated; ++seed) {
                GeneratorOptions o;
                o.ruleSet = rules;
                o.width = 31;
                o.height = 45;
                o.seed = static_cast<std::uint64_t>(seed);
                items.push_back(
                    {std::string(rules ? "tandrel-" : "ombrix-") + std::to_string(seed), {}, o});
            }
        }
    }
    std::vector<fs::path> files;
    std::error_code ec;
    if (generated == 0)
        for (const auto& e : fs::directory_iterator(folder, ec))
            if (e.path().extension() == ".grid") files.push_back(e.path());
    for (const fs::path& f : files)
        items.push_back({f.filename().string(), f, {}});
    if (generated == 0 && (ec || files.empty())) {
        std::fprintf(stderr, "ombrix-bench: no .grid files in %s\n", folder.c_str());
        return 2;
    }
    std::sort(files.begin(), files.end());

    auto board = std::make_unique<Board>();
    auto work = std::make_unique<Board>();
    auto solver = std::make_unique<Solver>(*work);
    std::vector<double> medians;
    int counts[8] = {};
    double total = 0;
    std::printf("%-12s %-8s %6s %7s %12s\n", "puzzle", "rules", "size", "status", "median ms");
    auto scratch = std::make_unique<Board>();
    for (const Item& item : items) {
        if (item.path.empty()) {
            GeneratePuzzle(item.options, *board, *scratch);
        } else {
            std::ifstream in(item.path, std::ios::binary);
            std::stringstream ss;
            ss << in.rdbuf();
            GridTextError err;
            if (!ParseGridText(ss.str(), *board, err)) {
                std::fprintf(stderr, "%s: %s\n", item.path.c_str(), err.describe().c_str());
                continue;
            }
        }
        std::vector<double> times;
        for (int r = 0; r < runs; ++r) {
            *work = *board;
            const auto t0 = std::chrono::steady_clock::now();
            solver->AutoSolve();
            const auto t1 = std::chrono::steady_clock::now();
            times.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        }
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        medians.push_back(median);
        total += median;
        ++counts[work->status & 7];
        char size[16];
        std::snprintf(size, sizeof size, "%dx%d", board->width, board->height);
        std::printf("%-12s %-8s %6s %7d %12.3f\n", item.name.c_str(),
                    board->ruleSet == 0 ? "ombrix" : "tandrel", size, work->status, median);
    }
    if (medians.empty()) return 2;
    std::vector<double> sorted = medians;
    std::sort(sorted.begin(), sorted.end());
    std::printf("\npuzzles %zu, runs each %d\n", medians.size(), runs);
    std::printf("outcomes: status0 %d, status1 %d, status2 %d, status5 %d, status7 %d\n", counts[0],
                counts[1], counts[2], counts[5], counts[7]);
    std::printf("median of medians %.3f ms, worst %.3f ms, total %.1f ms\n",
                sorted[sorted.size() / 2], sorted.back(), total);
    return 0;
}
