// The parts of the solver's working storage that outlive one rule run: the
// change log, the walk marks' list, the area index, the near lists, the reach
// witnesses, the trial search's kept sets and the clue paths. Each part that
// a snapshot holds has its own Saved record with save and restore, so a part
// added later is saved and restored by its own calls.
#pragma once

#include "black_groups.h"
#include "board.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace ombrix {

// The deduction rules, in the order the deduction loop runs them: the first
// pass, then the second pass, which runs only when the first changed nothing.
// Solver::kRules says what each one is.
enum class Rule : std::uint8_t {
    AreaGap,
    AreaDiagonal,
    BlackDeadEnd,
    WhiteDeadEnd,
    ClueTwo,
    UndecidedCell,
    WhiteDotJoin,
    BlackConnected,
    BlackBlocks,
    AreaGrowth,
    BlackCount,
    WhiteDotEscape,
    // Second pass.
    Unreachable,
    AreaReach,
    AreaFragment,
};
inline constexpr int kRuleCount = 15;
constexpr int index(Rule r) {
    return static_cast<int>(r);
}

inline constexpr int kCellCount = kGridWidth * kGridHeight;
inline constexpr int kCellWords = (kCellCount + 63) / 64; // a set of cells as bits

// The capacities past which the solver falls back to slower forms. A test
// build (OMBRIX_TINY_CAPACITIES) makes them small so that the fallbacks run.
#ifdef OMBRIX_TINY_CAPACITIES
inline constexpr int kLogCapacity = 64;
inline constexpr int kSnapshotLogCapacity = 16;
inline constexpr int kMarkedCapacity = 32;
inline constexpr int kAreasNearCapacity = 256;
inline constexpr int kRenewedCapacity = 8;
#else
inline constexpr int kLogCapacity = 8192;
inline constexpr int kSnapshotLogCapacity = 1024;
inline constexpr int kMarkedCapacity = 2 * kCellCount;
inline constexpr int kAreasNearCapacity = 1 << 16;
inline constexpr int kRenewedCapacity = kCellCount;
#endif

inline void SetCellBit(std::uint64_t* bits, int i, bool on) {
    if (on)
        bits[i / 64] |= std::uint64_t{1} << (i % 64);
    else
        bits[i / 64] &= ~(std::uint64_t{1} << (i % 64));
}

// Every cell whose state or area id changed, in order. A rule is a function
// of the board: run from log position p without meeting a contradiction, it
// cannot act while nothing it looks at has changed since p, and its own
// changes are in the log after p.
struct ChangeLog {
    std::uint16_t cells[kLogCapacity]{};
    int len = 0;
    std::uint32_t generation = 0; // bumped whenever the log starts afresh
    // Per rule: the log position at the start of its last run, or -1 when
    // it must run in full (never ran, or met a contradiction).
    std::int32_t ruleFrom[kRuleCount]{};

    // The tail of the log that the rules' start positions need.
    struct Saved {
        int len;
        std::int32_t ruleFrom[kRuleCount];
        std::uint16_t cells[kSnapshotLogCapacity];
    };
    // The log from the earliest rule start onwards, as far as room allows; a
    // rule whose start falls off runs in full after a restore.
    void save(Saved& s) const {
        int first = len;
        for (const std::int32_t from : ruleFrom)
            if (from >= 0) first = std::min<int>(first, from);
        first = std::max(first, len - kSnapshotLogCapacity);
        s.len = len - first;
        std::memcpy(s.cells, cells + first, sizeof(std::uint16_t) * s.len);
        for (int i = 0; i < kRuleCount; ++i)
            s.ruleFrom[i] = ruleFrom[i] >= first ? ruleFrom[i] - first : -1;
    }
    void restore(const Saved& s) {
        len = s.len;
        ++generation;
        std::memcpy(cells, s.cells, sizeof(std::uint16_t) * s.len);
        std::memcpy(ruleFrom, s.ruleFrom, sizeof ruleFrom);
    }
};

// The cells whose walk mark may be set: every mark set since the last
// ClearMarks is on the list, unless `unknown`.
struct MarkedList {
    std::uint16_t cells[kMarkedCapacity]{};
    int count = 0;
    bool unknown = true;

    void add(int i) {
        if (count < kMarkedCapacity)
            cells[count++] = static_cast<std::uint16_t>(i);
        else
            unknown = true;
    }
    struct Saved {
        int count; // -1: unknown
        std::uint16_t cells[kSnapshotLogCapacity];
    };
    void save(Saved& s) const {
        s.count = unknown || count > kSnapshotLogCapacity ? -1 : count;
        if (s.count > 0) std::memcpy(s.cells, cells, sizeof(std::uint16_t) * s.count);
    }
    void restore(const Saved& s) {
        unknown = s.count < 0;
        count = std::max(s.count, 0);
        if (count > 0) std::memcpy(cells, s.cells, sizeof(std::uint16_t) * count);
    }
};

// The unfinished areas' clue cells in board order, and the cells of each
// area id, for the reach query. Outside the driver it is rebuilt when it lags
// the epoch; the driver keeps it as cells join (`kept`).
struct AreaIndex {
    // Bumped whenever a cell joins or leaves an area (joins, sealing,
    // preparation, snapshot restores), and by a reach rule or query called
    // on its own, since the board may then have changed behind its back.
    std::uint32_t epoch = 1;
    std::uint32_t builtAt = 0; // the epoch it was built at (0: never)
    int idLimit = 0;
    int clueCount = 0;
    std::uint8_t clueX[kCellCount]{}, clueY[kCellCount]{}, clueN[kCellCount]{};
    std::uint16_t clueId[kCellCount]{};
    std::uint16_t columnStart[kGridWidth + 1]{}; // first clue of each column
    int maxClue = 0;
    std::uint16_t areaStart[kCellCount + 2]{}; // by area id: first entry in areaCellX/Y
    std::uint8_t areaCellX[kCellCount]{}, areaCellY[kCellCount]{};
    std::uint16_t areaCount[kCellCount + 2]{}; // by area id: its number of entries
    std::int16_t clueOfId[kCellCount + 2]{};   // by area id: its clue's entry, or -1
    std::uint8_t clueXOfId[kCellCount + 1]{}, clueYOfId[kCellCount + 1]{};
    bool kept = false;
    int keptLayout = 0;                      // bumped by every layout that succeeds
    int firstReaching = 0, lastReaching = 0; // entries counted by the last query
    // Each area id's stamp is renewed whenever a cell joins the area or the
    // area is finished, so an unchanged stamp means unchanged area cells.
    std::uint32_t stamp[kCellCount + 1]{};
    std::uint32_t stampCounter = 0;
    // The ids renewed, in order, so that a restore goes back over those
    // alone (unless the list ran over).
    std::uint16_t renewed[kRenewedCapacity]{};
    int renewedCount = 0;
    bool renewedOverrun = false;
    // By area id: bumped whenever the kept cells of the area may be other
    // than a superset of what they were (a restore took some away).
    std::uint32_t era[kCellCount + 1]{};

    void renew(int id) {
        stamp[id] = ++stampCounter;
        if (renewedCount < kRenewedCapacity)
            renewed[renewedCount++] = static_cast<std::uint16_t>(id);
        else
            renewedOverrun = true;
    }
    // The kept index's counts and the stamps, for `ids` area ids.
    struct Saved {
        int keptLayout; // -1: the index was not kept
        int renewedCount;
        bool renewedOverrun; // the list had already run over
        std::uint16_t areaCount[kCellCount + 1];
        std::uint32_t stamp[kCellCount + 1];
    };
    void save(Saved& s, int ids) const {
        s.keptLayout = kept ? keptLayout : -1;
        s.renewedCount = renewedCount;
        s.renewedOverrun = renewedOverrun;
        std::memcpy(s.areaCount, areaCount, sizeof(std::uint16_t) * ids);
        std::memcpy(s.stamp, stamp, sizeof(std::uint32_t) * ids);
    }
    // The restore is Solver::restoreAreas: it needs the witnesses and the
    // driver's choice of index.
};

// For each cell, the clues (index entries) within their number plus three of
// it, so that a change finds the areas it may concern without asking every
// area. Given up (`known` false) when the lists would not fit.
struct NearLists {
    bool known = false;
    int start[kCellCount + 1]{};
    std::uint16_t entries[kAreasNearCapacity]{};
    std::uint64_t dirty[kCellWords]{}; // by index entry: a change may concern it
    std::uint32_t seen[kCellCount]{};  // by cell: the stamp of the pass that took it in
    std::uint32_t stampCounter = 0;
};

// Witnesses of the reach query. Per undecided cell, an area that reached it
// when the unreachable-cell rule last asked (id 0: none), with the area's
// cell count, era and stamp then, and the estimate's margin; per white dot,
// two such areas. Nothing of it is saved: a restore marks what is in doubt.
struct Witnesses {
    struct Witness {
        std::uint16_t id, count;
        std::uint32_t era, stamp;
        std::int16_t slack;
        bool blackBetween; // a black cell stood in line between clue and cell
    };
    Witness cell[kCellCount]{};
    Witness dot[kCellCount][2]{};
    // The cells witnessed by each area id, as lists through `next`.
    std::int16_t head[kCellCount + 1]{};
    std::int16_t next[kCellCount]{};
    std::int16_t prev[kCellCount]{};
    // The cells whose witness may no longer stand: those whose witness area
    // changed, those in line with a new black cell, and those a restore made
    // undecided again.
    std::uint64_t suspect[kCellWords]{};
};

// What the trial search keeps up to date as cells are decided (while the
// black groups are live): the black groups, the undecided cells, the white
// dots, the cells of unfinished areas, the black cells and their count.
struct KeptSets {
    BlackGroups groups;
    int groupsBuild = 0;
    std::uint64_t open[kCellWords]{};
    std::uint64_t dots[kCellWords]{};
    std::uint64_t inArea[kCellWords]{};
    std::uint64_t blacks[kCellWords]{};
    int blackCount = 0;

    struct Saved {
        // Where the black groups' trail stood, and in which build of them.
        int groupsBuild, groupsMark;
        std::uint64_t open[kCellWords], dots[kCellWords], inArea[kCellWords], blacks[kCellWords];
        int blackCount;
    };
    void save(Saved& s) const {
        s.groupsBuild = groupsBuild;
        s.groupsMark = groups.TrailMark();
        std::memcpy(s.open, open, sizeof open);
        std::memcpy(s.dots, dots, sizeof dots);
        std::memcpy(s.inArea, inArea, sizeof inArea);
        std::memcpy(s.blacks, blacks, sizeof blacks);
        s.blackCount = blackCount;
    }
    // Cells undecided again are added to `suspect`. The groups go back
    // through their trail, or are built afresh from `b` when it ran over.
    void restore(Saved& s, const Board& b, std::uint64_t* suspect) {
        if (groups.live() && !(s.groupsBuild == groupsBuild && groups.Undo(s.groupsMark))) {
            groups.Build(b);
            s.groupsBuild = ++groupsBuild;
            s.groupsMark = 0;
        }
        for (int k = 0; k < kCellWords; ++k) {
            suspect[k] |= s.open[k] & ~open[k];
            open[k] = s.open[k];
        }
        std::memcpy(dots, s.dots, sizeof dots);
        std::memcpy(inArea, s.inArea, sizeof inArea);
        std::memcpy(blacks, s.blacks, sizeof blacks);
        blackCount = s.blackCount;
    }
};

// Known: every undecided cell is joined to a clue through cells that are not
// black, as of the cells turned black before newBlack[from]. Otherwise, an
// undecided cell found cut off from every clue (0: none).
struct CluePaths {
    bool known = false;
    int from = 0;
    int regionWithoutClue = 0;
    std::uint16_t newBlack[kCellCount]{};
    int newBlackCount = 0;
    // Visit stamps of the searches for clues, and their queue.
    std::uint32_t seen[kCellCount]{};
    std::uint32_t good[kCellCount]{};
    std::uint32_t epoch = 0, visit = 0;
    std::uint16_t queue[kCellCount]{};

    struct Saved {
        bool known;
        int from, newBlackCount, regionWithoutClue;
    };
    void save(Saved& s) const { s = {known, from, newBlackCount, regionWithoutClue}; }
    void restore(const Saved& s) {
        known = s.known;
        from = s.from;
        newBlackCount = s.newBlackCount;
        regionWithoutClue = s.regionWithoutClue;
    }
};

} // namespace ombrix
