// ombrix-bench --analyze: times the complete analysis on the real corpus (by
// class of board size and by the automatic solver's outcome), on generated
// 31 x 45 boards of both rule sets, and side by side with clingo on the real
// puzzles the automatic solver gives up on. It also says where the analysis
// and the automatic solver disagree.
#include "analyze_bench.h"
#include "analysis.h"
#include "analysis_learn.h"
#include "clingo_run.h"
#include "generator.h"
#include "grid_text.h"
#include "solver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace ombrix {

namespace {

namespace fs = std::filesystem;

struct Times {
    std::vector<double> ms;
    void add(double v) { ms.push_back(v); }
    void print(const char* name) {
        if (ms.empty()) return;
        std::sort(ms.begin(), ms.end());
        double total = 0;
        for (double v : ms)
            total += v;
        std::printf("  %-28s %4zu puzzles  median %9.3f ms  worst %9.3f ms  total %10.1f ms\n",
                    name, ms.size(), ms[ms.size() / 2], ms.back(), total);
    }
};

// The analysis `runs` times; the result of the last and the median time
// (wall-clock, measured by the analysis); AnalyzeByLearning with `learning`.
double TimedAnalysis(const Board& board, int runs, double limit, int threads, bool learning,
                     AnalysisResult& result) {
    std::vector<double> t;
    AnalysisLimits limits;
    limits.seconds = limit;
    limits.threads = threads;
    for (int r = 0; r < runs; ++r) {
        result = learning ? AnalyzeByLearning(board, limits) : Analyze(board, limits);
        t.push_back(result.seconds * 1000);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

} // namespace

bool SameColours(const Board& a, const Board& b) {
    for (int x = 1; x <= a.width; ++x)
        for (int y = 1; y <= a.height; ++y)
            if (isBlack(a.state(x, y)) != isBlack(b.state(x, y))) return false;
    return true;
}

int RunAnalyzeBench(const std::string& corpus, int runs, double limit, bool withClingo, int threads,
                    bool learning, bool clingoTwo) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(corpus + "/real", ec))
        if (e.path().extension() == ".grid") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "ombrix-bench: no .grid files in %s/real\n", corpus.c_str());
        return 2;
    }
    auto board = std::make_unique<Board>();
    auto solved = std::make_unique<Board>();
    auto result = std::make_unique<AnalysisResult>();
    std::map<std::string, Times> classes;
    Times all;
    int grades[5] = {}, disagreements = 0, unsettled = 0;
    struct Beyond {
        std::string path;
        double ms;
        Verdict verdict;
    };
    std::vector<Beyond> beyond; // the automatic solver's status 2
    std::printf("real corpus: %zu puzzles, median of %d runs each, %s, %d thread(s), wall-clock\n",
                files.size(), runs, learning ? "learning analysis" : "search analysis",
                learning ? 1 : threads);
    std::printf("%-10s %6s %6s %-8s %5s %8s %10s %s\n", "puzzle", "size", "status", "verdict",
                "grade", "nodes", "ms", "by");
    for (const fs::path& f : files) {
        std::ifstream in(f, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        GridTextError err;
        if (!ParseGridText(ss.str(), *board, err)) {
            std::fprintf(stderr, "%s: %s\n", f.c_str(), err.describe().c_str());
            continue;
        }
        const int autoGrade = GradeByAutoSolve(*board, solved.get());
        const int status = solved->status;
        const double ms = TimedAnalysis(*board, runs, limit, threads, learning, *result);
        const Verdict v = result->verdict;
        const int grade = v == Verdict::Unique ? autoGrade : 0;
        ++grades[grade];
        const std::string name = f.stem().string();
        const int cells = board->width * board->height;
        classes[cells <= 144   ? "a small (up to 144 cells)"
                : cells <= 400 ? "b medium (145-400 cells)"
                               : "c large (over 400 cells)"]
            .add(ms);
        classes[status == 2 ? "e automatic solver status 2" : "d automatic solver status 0"].add(
            ms);
        all.add(ms);
        if (status == 2) beyond.push_back({f.string(), ms, v});
        const bool agree = v == Verdict::Stopped ||
                           (status == StatusNone && v == Verdict::Unique &&
                            SameColours(*solved, result->solutions[0])) ||
                           (status == StatusSecondSolution && v == Verdict::Several) ||
                           ((status == StatusContradiction || status == StatusSumTooLarge) &&
                            v == Verdict::None) ||
                           status == StatusUnsolvable;
        if (!agree) ++disagreements;
        if (v == Verdict::Stopped) ++unsettled;
        char size[16];
        std::snprintf(size, sizeof size, "%dx%d", board->width, board->height);
        std::printf("%-10s %6s %6d %-8s %5d %8llu %10.3f %s%s\n", name.c_str(), size, status,
                    VerdictName(v), grade, static_cast<unsigned long long>(result->nodes), ms,
                    result->engine ? result->engine : "-",
                    !agree                  ? "  DISAGREES with the automatic solver"
                    : v == Verdict::Stopped ? "  not settled within the limit"
                                            : "");
    }
    std::printf("\nby class:\n");
    for (auto& [name, t] : classes)
        t.print(name.c_str() + 2);
    all.print("all");
    std::printf("grades: 1 %d, 2 %d, 3 %d, 4 %d; not unique or not settled %d; not settled %d; "
                "disagreements %d\n",
                grades[1], grades[2], grades[3], grades[4], grades[0], unsettled, disagreements);

    std::printf("\ngenerated 31x45 boards (ombrix-cli generate defaults):\n");
    auto scratch = std::make_unique<Board>();
    for (int rules : {0, 1}) {
        Times t;
        for (int seed = 1; seed <= 10; ++seed) {
            GeneratorOptions o;
            o.ruleSet = rules;
            o.width = 31;
            o.height = 45;
            o.seed = static_cast<std::uint64_t>(seed);
            GeneratePuzzle(o, *board, *scratch);
            const double ms = TimedAnalysis(*board, 1, limit, threads, learning, *result);
            t.add(ms);
            std::printf("  %-8s seed %2d  %-8s differ %4zu  nodes %8llu  %10.3f ms %s\n",
                        rules ? "tandrel" : "ombrix", seed, VerdictName(result->verdict),
                        result->differing.size(), static_cast<unsigned long long>(result->nodes),
                        ms, result->engine ? result->engine : "-");
        }
        t.print(rules ? "tandrel 31x45" : "ombrix 31x45");
    }

    if (!withClingo) return 0;
    std::printf("\nside by side with clingo on the %zu puzzles the automatic solver leaves at "
                "status 2\n(wall-clock; the analysis on %d thread(s), clingo on 1 thread and, "
                "with --clingo-two, on 2 threads, -t 2):\n",
                beyond.size(), learning ? 1 : threads);
    if (!asp::Available()) {
        std::printf("  clingo not found (Debian package gringo); skipped\n");
        return 0;
    }
    const fs::path facts = fs::temp_directory_path() / "ombrix-bench-facts.lp";
    double oursTotal = 0, clingoTotal = 0, clingo2Total = 0;
    for (const auto& [path, ms, v] : beyond) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        GridTextError err;
        ParseGridText(ss.str(), *board, err);
        const asp::Outcome c = asp::Solve(OMBRIX_ASP_ENCODING, *board, facts);
        const asp::Outcome c2 =
            clingoTwo ? asp::Solve(OMBRIX_ASP_ENCODING, *board, facts, 2) : asp::Outcome{};
        const auto verdict = [](const asp::Outcome& o) {
            return !o.ran                 ? "error"
                   : o.models.empty()     ? "none"
                   : o.models.size() == 1 ? "unique"
                                          : "several";
        };
        oursTotal += ms;
        clingoTotal += c.seconds * 1000;
        clingo2Total += c2.seconds * 1000;
        std::printf("  %-10s analysis %-8s %10.3f ms   clingo %-8s %10.3f ms   -t 2 %-8s %10.3f "
                    "ms\n",
                    fs::path(path).stem().c_str(), VerdictName(v), ms, verdict(c), c.seconds * 1000,
                    clingoTwo ? verdict(c2) : "-", c2.seconds * 1000);
    }
    fs::remove(facts, ec);
    std::printf("  total: analysis %.1f ms; clingo %.1f ms (ratio %.1fx); clingo -t 2 %.1f ms "
                "(ratio %.1fx)\n",
                oursTotal, clingoTotal, oursTotal > 0 ? clingoTotal / oursTotal : 0.0, clingo2Total,
                oursTotal > 0 ? clingo2Total / oursTotal : 0.0);
    return 0;
}

} // namespace ombrix
