// ombrix-bench --generate: times the unique-puzzle generator over seeds
// 1..N for each rule set and size, with and without a grade asked for, and
// compares the clue density of its puzzles with the published corpus.
#include "generate_bench.h"

#include "grid_text.h"
#include "unique.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

namespace ombrix {

namespace {

struct Size {
    int w, h;
    double goalMs;
};
constexpr Size kSizes[] = {{10, 10, 50}, {20, 20, 1000}, {31, 45, 10000}};

// Size classes of the density comparison, by cell count.
int SizeClass(int cells) {
    return cells <= 150 ? 0 : cells <= 500 ? 1 : 2;
}
const char* kClassNames[] = {"<=150 cells", "151..500 cells", ">500 cells"};

// Runs one generation, cancelled after `limitMs`; the time in ms, or -1.
double Timed(UniqueOptions o, double limitMs, UniqueResult& result) {
    std::atomic<bool> cancel{false};
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::thread watch([&] {
        std::unique_lock lock(m);
        if (!cv.wait_for(lock, std::chrono::duration<double, std::milli>(limitMs),
                         [&] { return done; }))
            cancel = true;
    });
    o.cancel = &cancel;
    const auto start = std::chrono::steady_clock::now();
    const bool ok = GenerateUnique(o, result);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    {
        std::lock_guard lock(m);
        done = true;
    }
    cv.notify_one();
    watch.join();
    return ok ? ms : -1;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty()      ? 0
           : v.size() % 2 ? v[v.size() / 2]
                          : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int RunGenerateBench(const std::string& corpus, int seeds, int grades, const std::string& rulesOnly,
                     const std::string& sizeOnly, int threads) {
    double density[2][3] = {}; // [generated/real][class] clue sums / cell sums
    double cellSum[2][3] = {};
    auto result = std::make_unique<UniqueResult>();
    std::printf("rules    size   median ms  worst ms  (goal)   clues/cell  grades 1/2/3/4\n");
    for (int rules : {0, 1}) {
        if (!rulesOnly.empty() && rulesOnly != (rules ? "tandrel" : "ombrix")) continue;
        for (const Size& s : kSizes) {
            if (!sizeOnly.empty() && sizeOnly != std::to_string(s.w) + "x" + std::to_string(s.h))
                continue;
            std::vector<double> times;
            int gradeCount[5] = {}, failed = 0;
            double clues = 0, cells = 0;
            for (int seed = 1; seed <= seeds && grades <= 0; ++seed) {
                UniqueOptions o;
                o.width = s.w;
                o.height = s.h;
                o.ruleSet = rules;
                o.seed = static_cast<std::uint64_t>(seed);
                o.threads = threads;
                const double ms = Timed(o, s.goalMs * 10, *result);
                if (ms < 0) {
                    ++failed;
                    times.push_back(s.goalMs * 10);
                    continue;
                }
                times.push_back(ms);
                ++gradeCount[result->grade];
                clues += result->clues;
                cells += s.w * s.h;
            }
            const int k = SizeClass(s.w * s.h);
            density[0][k] += clues;
            cellSum[0][k] += cells;
            if (grades <= 0)
                std::printf("%-7s %2dx%-3d %9.1f %9.1f  (%5.0f)  %9.3f   %d/%d/%d/%d%s\n",
                            rules ? "tandrel" : "ombrix", s.w, s.h, Median(times),
                            *std::max_element(times.begin(), times.end()), s.goalMs,
                            cells > 0 ? clues / cells : 0, gradeCount[1], gradeCount[2],
                            gradeCount[3], gradeCount[4],
                            failed
                                ? (" (" + std::to_string(failed) + " not done in 10x goal)").c_str()
                                : "");
            std::fflush(stdout);
            if (grades == 0) continue;
            if (grades > 0) std::printf("%-7s %2dx%-3d\n", rules ? "tandrel" : "ombrix", s.w, s.h);
            for (int grade = 1; grade <= 4; ++grade) {
                if (grades > 0 && grade != grades) continue;
                std::vector<double> gt, tries;
                int hits = 0;
                double gclues = 0;
                for (int seed = 1; seed <= seeds; ++seed) {
                    UniqueOptions o;
                    o.width = s.w;
                    o.height = s.h;
                    o.ruleSet = rules;
                    o.grade = grade;
                    o.seed = static_cast<std::uint64_t>(seed);
                    o.threads = threads;
                    const double ms = Timed(o, s.goalMs * 5, *result);
                    gt.push_back(ms < 0 ? s.goalMs * 5 : ms);
                    // A result that came back just after the limit is not a hit.
                    if (ms >= 0 && ms <= s.goalMs * 5 && result->grade == grade) {
                        ++hits;
                        gclues += result->clues;
                        tries.push_back(result->attempts);
                    }
                }
                std::printf("    --grade %d: hit %2d of %d within %.0f ms, median %.1f ms, worst "
                            "%.1f ms, clues/cell %.3f, attempts %.1f\n",
                            grade, hits, seeds, s.goalMs * 5, Median(gt),
                            *std::max_element(gt.begin(), gt.end()),
                            hits ? gclues / hits / (s.w * s.h) : 0.0, Median(tries));
                std::fflush(stdout);
            }
        }
    }
    // The published puzzles: clues per cell by size class.
    namespace fs = std::filesystem;
    for (const auto& e : fs::directory_iterator(corpus + "/real")) {
        if (e.path().extension() != ".grid") continue;
        std::ifstream in(e.path());
        std::stringstream ss;
        ss << in.rdbuf();
        auto board = std::make_unique<Board>();
        GridTextError error;
        if (!ParseGridText(ss.str(), *board, error)) continue;
        int c = 0;
        for (int x = 1; x <= board->width; ++x)
            for (int y = 1; y <= board->height; ++y)
                if (board->state(x, y) >= 1 && board->state(x, y) <= 48) ++c;
        const int k = SizeClass(board->width * board->height);
        density[1][k] += c;
        cellSum[1][k] += board->width * board->height;
    }
    std::printf("\nclues per cell     generated   published\n");
    for (int k = 0; k < 3; ++k)
        std::printf("%-16s %9.3f   %9.3f\n", kClassNames[k],
                    cellSum[0][k] > 0 ? density[0][k] / cellSum[0][k] : 0,
                    cellSum[1][k] > 0 ? density[1][k] / cellSum[1][k] : 0);
    return 0;
}

} // namespace ombrix
