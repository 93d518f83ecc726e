// What learning searches running at once on the same puzzle pass each other
// (see AnalyzeByLearning): the solutions they find, and units and short
// clauses over the cells' and areas' variables (whose numbering depends on the
// puzzle alone), in one log under a mutex that each search reads in order
// from where it last stopped, at its restarts; and the cubes that split the
// space between them.
//
// Soundness: a search learns from the puzzle and from the clauses that block
// the solutions it knows. It logs each solution it finds before any clause it
// learns after blocking it, and reads the log in order, so by the time a
// search takes a clause it has blocked every solution that clause may rest on;
// a solution it takes counts as found. A cube (see Deal) is only a decision:
// what a search learns inside it holds everywhere, and a search settles the
// puzzle only by a conflict at level 0, whatever its cube.
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
        sides_.push_back(joiner_);
        return joined_++;
    }

    // Cubes: a literal that a search decides first, before any choice of
    // its own. One search deals: it takes a literal, every other search its
    // negation, so they look at different halves of what is left. `deal` is
    // the number of the deal a search last took its cube from (0 before any).
    //
    // Search `from` deals `own` (and the others its negation), unless
    // another has dealt since `deal`: then that deal stands. Returns the
    // cube of `from`, `deal` moved to its deal.
    int Deal(int from, int& deal, int own) {
        const std::lock_guard<std::mutex> lock(mutex_);
        Side& side = sides_[static_cast<std::size_t>(from)];
        if (side.deal == deal) {
            joiner_ = {own ^ 1, ++deals_};
            for (Side& o : sides_)
                o = joiner_;
            side.cube = own;
        }
        deal = side.deal;
        return side.cube;
    }
    // The cube another search dealt `from` since `deal` (and `deal` moved
    // to it), else -1.
    int Dealt(int from, int& deal) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const Side& side = sides_[static_cast<std::size_t>(from)];
        if (side.deal == deal) return -1;
        deal = side.deal;
        return side.cube;
    }
    // The most active open variables of the first search, published until
    // the first deal, which looks among them.
    void SetActive(std::vector<int> vars) {
        const std::lock_guard<std::mutex> lock(mutex_);
        active_ = std::move(vars);
    }
    std::vector<int> Active() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return active_;
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
        int cube = -1, deal = 0;
    };
    std::vector<Side> sides_;
    Side joiner_; // the side a search that joins takes: the others' in the last deal
    int deals_ = 0;
    std::vector<int> active_;
};

} // namespace ombrix::learn
