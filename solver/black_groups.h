// The groups of orthogonally connected black cells, kept up to date as cells
// are decided one at a time, so that the connectivity rule need not walk the
// whole black network after every change. Each group knows its size, its
// first cell in scan order and its exits: the pairs (black cell, undecided
// neighbour). The sums of the exits' indices and of their squares tell
// whether all exits are one cell. Every write is recorded on a trail, so the
// groups go back with the board when a snapshot is restored.
#pragma once

#include "board.h"

#include <cstdint>

namespace ombrix {

class BlackGroups {
  public:
    static constexpr int kCells = kGridWidth * kGridHeight;
    static int indexOf(int x, int y) { return x * kGridHeight + y; }

    // Starts afresh from the board; the trail is emptied.
    void Build(const Board& b);
    bool live() const { return live_; }
    void Drop() { live_ = false; }

    // Undecided cell (x, y) has just been decided: white (dot or area cell)
    // or black. Call after the board has changed.
    void Decided(const Board& b, int x, int y);

    int TrailMark() const { return trailLen_; }
    // Takes the groups back to a trail mark; false when the trail ran over
    // since, and the groups have to be built again.
    bool Undo(int mark);

    // What the connectivity rule does to the board as it stands, with
    // `budget` black cells in the solution: Quiet (no group acts), Extend
    // (the first group in scan order with a single exit grows into it,
    // returned in exitX/exitY) or Unsure (some group is full-sized or has no
    // exit, which the rule's own walk settles).
    enum class Verdict { Quiet, Extend, Unsure };
    Verdict Connectivity(int budget, int& exitX, int& exitY) const;

    // For tests: the group of black cell (x, y).
    struct Group {
        int size, exits, first;
        bool oneExit;
    };
    Group GroupOf(int x, int y) const;

  private:
    enum Field { Parent, Size, Exits, First, Sum, SumSq, kFields };
    int find(int i) const;
    void record(int field, int index, std::int64_t old);
    void set(Field f, int i, std::int64_t v);
    void newGroup(const Board& b, int i);
    void addExits(int root, int exitIndex, int count);
    void join(int a, int b);

    std::int64_t data_[kFields][kCells]{};
    // The roots of the groups, in no order, with each root's position.
    std::int16_t roots_[kCells]{};
    std::int16_t rootPos_[kCells]{};
    int rootCount_ = 0;
    bool live_ = false;

    // Small in a test build that exercises the rebuild after an overrun.
#ifdef OMBRIX_TINY_CAPACITIES
    static constexpr int kTrailCapacity = 64;
#else
    static constexpr int kTrailCapacity = 8192;
#endif
    struct TrailEntry {
        std::int32_t field, index; // field kFields: the root list
        std::int64_t old;
    };
    TrailEntry trail_[kTrailCapacity]{};
    int trailLen_ = 0;
    bool trailOverrun_ = false;
};

} // namespace ombrix
