// The analysis on several threads: a portfolio of searches that run at once
// over the same puzzle, each on its own thread with the caller's limits to
// itself. The first to settle the puzzle wins and the others are told to
// stop; the result is Stopped only when every search has stopped on its own
// limits or the caller's cancel, so the verdict does not hang on which thread
// ran faster. Each search's verdict is proven on its own, so they agree; for
// Several, the pair of solutions is that of the winner, the earliest entry
// among those done when the first settles.
//
// The plain search (the first entry) first has its first turn on the calling
// thread, as with one thread but cut short at its first branch after
// kFirstTurnSeconds: most puzzles are settled there, with the same result as
// with one thread, and start no thread, while a puzzle whose first turn is
// slow (a large board where every node runs the automatic solver) reaches the
// other searches at once. It then goes on from there on its own thread, for
// kPlainSeconds more; a puzzle it has not settled by then is one it wanders
// in (r057: not settled in minutes), and its thread goes to a second learning
// search. The two learning searches restart at other intervals, and pass
// each other their solutions, units and short clauses (learn::Exchange): each
// then has fewer dead ends to meet on its own. They also split the space: the second, as it
// starts, deals a literal, which it decides first and the first search
// decides the other way from its next restart on (a cube each), and one whose
// half has nothing left deals anew over the rest (r057's 8 copies: the
// slower search of each pair needs about 12 % fewer nodes than when both
// search the same space; r057 itself takes about 0.45 s for the pair against
// 0.66 s for one alone). kPlainSeconds is short so that the split starts
// early: at 0.1 s r057 took about 10 % longer, while the real puzzles that
// the plain search settles after its first turn (r096, r099) took a few ms
// less than now.
//
// A further search joins by one more entry in kEngines, a function with the
// signature of Engine. It is run with limits.threads = 1, its own cancel flag
// (set when another search has won or the caller cancels) and an observer of
// its own.
#include "analysis.h"
#include "analysis_learn.h"
#include "analysis_learn_exchange.h"
#include "analysis_search.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <iterator>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace ombrix::analysis {

namespace {

using Engine = AnalysisResult (*)(const Board&, const AnalysisLimits&, learn::Exchange&);

struct Entry {
    const char* name;
    Engine run;
};

AnalysisResult Plain(const Board& puzzle, const AnalysisLimits& limits, learn::Exchange&) {
    return AnalyzeDepthFirst(puzzle, limits);
}
AnalysisResult Weighted(const Board& puzzle, const AnalysisLimits& limits, learn::Exchange&) {
    return AnalyzeByRestarts(puzzle, limits);
}
template <int Style>
AnalysisResult Learning(const Board& puzzle, const AnalysisLimits& limits,
                        learn::Exchange& exchange) {
    return AnalyzeByLearning(puzzle, limits, exchange, Style);
}

// In order of preference; limits.threads of them run.
// The learning search settles the puzzles with few, large areas that the
// plain search wanders in; the plain search is quicker on the rest.
constexpr Entry kEngines[] = {
    {"plain", Plain},
    {"learning", Learning<0>},
    {"weighted", Weighted},
};
// What takes the plain search's thread once it has run kPlainSeconds there.
constexpr Entry kSuccessor = {"learning", Learning<1>};
constexpr double kPlainSeconds = 0.03;

class Portfolio {
  public:
    // `start`: when the analysis began (before the plain search's first turn).
    Portfolio(const Board& puzzle, const AnalysisLimits& limits, std::unique_ptr<Search> plain,
              std::chrono::steady_clock::time_point start)
        : puzzle_(puzzle), limits_(limits), start_(start), plain_(std::move(plain)),
          count_(std::min<int>(limits.threads, static_cast<int>(std::size(kEngines)))),
          runs_(static_cast<std::size_t>(count_)) {}

    AnalysisResult Run() {
        std::vector<std::thread> threads;
        for (int k = 0; k < count_; ++k) {
            Slot& s = runs_[static_cast<std::size_t>(k)];
            s.relay.owner = this;
            s.result = std::make_unique<AnalysisResult>();
            threads.emplace_back([this, k] { runEntry(k); });
        }
        const int winner = awaitAll();
        for (std::thread& t : threads)
            t.join();
        std::uint64_t nodes = 0;
        for (const Slot& s : runs_)
            nodes += s.result->nodes;
        AnalysisResult result;
        if (winner >= 0) {
            result = std::move(*runs_[static_cast<std::size_t>(winner)].result);
            result.engine = runs_[static_cast<std::size_t>(winner)].name;
        }
        result.nodes = nodes;
        result.seconds = elapsed();
        return result;
    }

  private:
    // Passes a search's progress on, with the nodes of all the searches
    // (`base`: those of the search that gave way on this thread).
    struct Relay : AnalysisObserver {
        Portfolio* owner = nullptr;
        std::uint64_t base = 0;
        std::atomic<std::uint64_t> nodes{0};
        void progress(std::uint64_t n, int depth) override {
            nodes = base + n;
            owner->report(depth);
        }
    };
    struct Slot {
        Relay relay;
        std::unique_ptr<AnalysisResult> result;
        const char* name = nullptr;
        bool done = false; // under mutex_
    };

    void runEntry(int k) {
        Slot& s = runs_[static_cast<std::size_t>(k)];
        AnalysisLimits own = limits_;
        own.threads = 1;
        own.cancel = &stop_;
        own.observer = limits_.observer ? &s.relay : nullptr;
        AnalysisResult r;
        s.name = kEngines[k].name;
        if (k == 0 && plain_) {
            plain_->Hand(own.cancel, own.observer);
            if (plain_->Resume(kPlainSeconds)) {
                r = plain_->Rest();
            } else {
                // The plain search gives way; its nodes count against the
                // node limit of this thread.
                const std::uint64_t spent = plain_->Nodes();
                plain_.reset();
                if (own.maxNodes) own.maxNodes -= std::min(own.maxNodes - 1, spent);
                s.relay.base = spent;
                s.name = kSuccessor.name;
                own.seconds = secondsLeft();
                r = kSuccessor.run(puzzle_, own, exchange_);
                r.nodes += spent;
            }
        } else {
            own.seconds = secondsLeft();
            r = kEngines[k].run(puzzle_, own, exchange_);
        }
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            *s.result = std::move(r);
            s.done = true;
        }
        changed_.notify_all();
    }

    // Waits for every search to end, telling them to stop once one has
    // settled the puzzle or the caller cancels (looked at every few
    // milliseconds). Returns the winner, -1 when none settled.
    int awaitAll() {
        int winner = -1;
        std::unique_lock<std::mutex> lock(mutex_);
        while (true) {
            int done = 0;
            for (int k = 0; k < count_; ++k) {
                const Slot& s = runs_[static_cast<std::size_t>(k)];
                if (!s.done) continue;
                ++done;
                if (winner < 0 && s.result->verdict != Verdict::Stopped) winner = k;
            }
            if (winner >= 0 || (limits_.cancel && limits_.cancel->load())) stop_ = true;
            if (done == count_) return winner;
            if (limits_.cancel && !stop_)
                changed_.wait_for(lock, std::chrono::milliseconds(2));
            else
                changed_.wait(lock);
        }
    }

    void report(int depth) {
        const std::unique_lock<std::mutex> lock(observerMutex_, std::try_to_lock);
        if (!lock.owns_lock()) return;
        std::uint64_t nodes = 0;
        for (const Slot& s : runs_)
            nodes += s.relay.nodes;
        limits_.observer->progress(nodes, depth);
    }

    // The caller's time limit less the time the analysis has run (a search
    // started late gets no more than is left; 0 stays no limit).
    double secondsLeft() const {
        return limits_.seconds <= 0 ? 0 : std::max(limits_.seconds - elapsed(), 1e-3);
    }
    double elapsed() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

    const Board& puzzle_;
    const AnalysisLimits& limits_;
    const std::chrono::steady_clock::time_point start_;
    std::unique_ptr<Search> plain_; // after its first turn
    learn::Exchange exchange_;
    const int count_;
    std::vector<Slot> runs_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_, observerMutex_;
    std::condition_variable changed_;
};

} // namespace

AnalysisResult RunPortfolio(const Board& puzzle, const AnalysisLimits& limits) {
    const auto start = std::chrono::steady_clock::now();
    auto plain = std::make_unique<Search>(puzzle, limits);
    if (plain->Head(kFirstTurn, kFirstTurnSeconds)) {
        AnalysisResult r = plain->Rest();
        r.engine = kEngines[0].name;
        return r;
    }
    return Portfolio(puzzle, limits, std::move(plain), start).Run();
}

} // namespace ombrix::analysis
