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
        sides_.push_back({});
        return joined_++;
    }

    // Cubes: each search may be given a literal that it decides first, and
    // the searches take opposite sides of one literal. `seen` is the number
    // of the split the search last took (0 before any).
    //
    // The cube of search `from` and the split it belongs to.
    int Cube(int from, int& seen) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const Side& c = sides_[static_cast<std::size_t>(from)];
        seen = c.split;
        return c.lit;
    }
    // Search `from`, whose cube of split `seen` is spent, splits on a new
    // literal: it takes `own`, the others `other` (at their next Cube). When
    // another has split since `seen`, its split stands and `from` takes its
    // side of it. Returns the cube of `from`, `seen` moved to its split.
    int Split(int from, int& seen, int own, int other) {
        const std::lock_guard<std::mutex> lock(mutex_);
        Side& c = sides_[static_cast<std::size_t>(from)];
        if (c.split == seen) {
            ++splits_;
            for (Side& o : sides_)
                o = {other, splits_};
            c.lit = own;
        }
        seen = c.split;
        return c.lit;
    }
    // The most active open variable of some search (-1 none), for the
    // first split.
    void SetHint(int var) {
        const std::lock_guard<std::mutex> lock(mutex_);
        hint_ = var;
    }
    int Hint() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return hint_;
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
    struct Side {
        int lit = -1, split = 0;
    };
    std::vector<Side> sides_;
    int splits_ = 0, hint_ = -1;
};

} // namespace ombrix::learn
