// What learning searches running at once on the same puzzle pass each other
// (see AnalyzeByLearning): the solutions they find, and units and short
// clauses over the cells' and areas' variables (whose numbering depends on the
// puzzle alone), in one log under a mutex that each search reads in order
// from where it last stopped, at its restarts.
//
// Soundness: a search learns from the puzzle and from the clauses that block
// the solutions it knows. It logs each solution it finds before any clause it
// learns after blocking it, and reads the log in order, so by the time a
// search takes a clause it has blocked every solution that clause may rest on;
// a solution it takes counts as found.
#pragma once

#include "board.h"

#include <cstddef>
#include <mutex>
#include <vector>

namespace ombrix::learn {

class Exchange {
  public:
    // A solution (`solution` >= 0, the clause that blocks it in `lits`) or a
    // clause, and the search that logged it.
    struct Entry {
        int from = 0;
        int solution = -1;
        std::vector<int> lits;
    };

    // A number for a search that joins.
    int Join() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return joined_++;
    }
    // Logs `out` (emptied) as search `from`, and passes on the entries
    // others logged from `cursor` on, moving `cursor` to the end.
    void Swap(int from, std::vector<Entry>& out, std::size_t& cursor, std::vector<Entry>& in) {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (Entry& e : out)
            log_.push_back(std::move(e));
        out.clear();
        in.clear();
        for (; cursor < log_.size(); ++cursor)
            if (log_[cursor].from != from) in.push_back(log_[cursor]);
    }
    // Logs a solution at once, returning its number.
    int AddSolution(int from, const Board& board, std::vector<int> block) {
        const std::lock_guard<std::mutex> lock(mutex_);
        solutions_.push_back(board);
        log_.push_back({from, static_cast<int>(solutions_.size()) - 1, std::move(block)});
        return static_cast<int>(solutions_.size()) - 1;
    }
    Board SolutionAt(int k) {
        const std::lock_guard<std::mutex> lock(mutex_);
        return solutions_[static_cast<std::size_t>(k)];
    }

  private:
    std::mutex mutex_;
    std::vector<Entry> log_;
    std::vector<Board> solutions_;
    int joined_ = 0;
};

} // namespace ombrix::learn
