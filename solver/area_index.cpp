// The area index and the reach query over it, and the near lists built from
// it: which unfinished areas could still reach a cell, asked without walking.
#include "solver.h"

#include <algorithm>
#include <cstdlib>

namespace ombrix {

// The unfinished areas in board order and the cells of each, by area id, so
// that a reach query looks at the few cells of each area near the target
// instead of the whole board.
void Solver::buildAreaIndex() {
    const int w = b_.width, h = b_.height;
    index_.clueCount = 0;
    index_.maxClue = 0;
    int maxId = 0;
    for (int x = 1; x <= w; ++x) {
        index_.columnStart[x] = static_cast<std::uint16_t>(index_.clueCount);
        for (int y = 1; y <= h; ++y) {
            const Cell& c = b_.at(x, y);
            if (c.areaId == 0) continue;
            maxId = std::max<int>(maxId, c.areaId);
            if (isWorkedClue(c.state)) {
                index_.clueX[index_.clueCount] = static_cast<std::uint8_t>(x);
                index_.clueY[index_.clueCount] = static_cast<std::uint8_t>(y);
                index_.clueN[index_.clueCount] = c.state;
                index_.clueId[index_.clueCount] = c.areaId;
                ++index_.clueCount;
                index_.maxClue = std::max<int>(index_.maxClue, c.state);
            }
        }
    }
    index_.columnStart[w + 1] = static_cast<std::uint16_t>(index_.clueCount);
    // Counting sort by id: index_.areaStart[id] .. index_.areaStart[id + 1] holds the
    // cells of area id. Ids never exceed the number of cells.
    index_.idLimit = std::min(maxId + 1, kCells);
    for (int i = 0; i < index_.idLimit + 2; ++i)
        index_.areaStart[i] = 0;
    for (int x = 1; x <= w; ++x)
        for (int y = 1; y <= h; ++y)
            if (const int id = b_.at(x, y).areaId; id != 0 && id < index_.idLimit)
                ++index_.areaStart[id + 2];
    for (int i = 2; i < index_.idLimit + 2; ++i)
        index_.areaStart[i] += index_.areaStart[i - 1];
    for (int x = 1; x <= w; ++x) {
        for (int y = 1; y <= h; ++y) {
            const int id = b_.at(x, y).areaId;
            if (id == 0 || id >= index_.idLimit) continue;
            const int k = index_.areaStart[id + 1]++;
            index_.areaCellX[k] = static_cast<std::uint8_t>(x);
            index_.areaCellY[k] = static_cast<std::uint8_t>(y);
        }
    }
    for (int id = 0; id < index_.idLimit; ++id) {
        index_.areaCount[id] =
            static_cast<std::uint16_t>(index_.areaStart[id + 1] - index_.areaStart[id]);
        index_.clueOfId[id] = -1;
    }
    for (int i = 0; i < index_.clueCount; ++i)
        index_.clueOfId[index_.clueId[i]] = static_cast<std::int16_t>(i);
    index_.builtAt = index_.epoch;
    index_.kept = false;
}

// Within the driver the index is kept rather than rebuilt. Its layout is
// fixed from PrepareBoard on: the clues in board order (which is id order),
// finished ones included, and room for each id's number of cells. JoinArea
// adds the joining cell; a finished area is known by its clue's id gone, and
// the largest clue stays that of all clues, which only widens the columns
// asked. Built here from the board, after PrepareBoard and after a restore
// that the cells no longer match.
void Solver::keepAreaIndex() {
    index_.kept = false;
    index_.builtAt = index_.epoch - 1; // whatever was here is spoilt
    const int ids = static_cast<int>(b_.nextAreaId);
    if (ids < 1 || ids > kCells) return;
    index_.clueCount = 0;
    index_.maxClue = 0;
    int room = 0;
    for (int id = 1; id < ids; ++id) {
        const int cx = index_.clueXOfId[id], cy = index_.clueYOfId[id];
        const int n = b_.state(cx, cy);
        index_.areaStart[id] = static_cast<std::uint16_t>(room);
        index_.areaCount[id] = 0;
        index_.clueOfId[id] = -1;
        if (!isWorkedClue(n)) continue;
        index_.clueX[index_.clueCount] = static_cast<std::uint8_t>(cx);
        index_.clueY[index_.clueCount] = static_cast<std::uint8_t>(cy);
        index_.clueN[index_.clueCount] = static_cast<std::uint8_t>(n);
        index_.clueId[index_.clueCount] = static_cast<std::uint16_t>(id);
        index_.clueOfId[id] = static_cast<std::int16_t>(index_.clueCount++);
        index_.maxClue = std::max(index_.maxClue, n);
        room += n;
    }
    if (room > kCells) return;
    index_.areaStart[ids] = static_cast<std::uint16_t>(room);
    index_.idLimit = ids;
    for (int x = 1, i = 0; x <= b_.width + 1; ++x) {
        while (i < index_.clueCount && index_.clueX[i] < x)
            ++i;
        index_.columnStart[x] = static_cast<std::uint16_t>(i);
    }
    for (int x = 1; x <= b_.width; ++x) {
        for (int y = 1; y <= b_.height; ++y) {
            const int id = b_.at(x, y).areaId;
            if (id == 0) continue;
            if (id >= ids ||
                index_.areaStart[id] + index_.areaCount[id] >= index_.areaStart[id + 1])
                return;
            const int k = index_.areaStart[id] + index_.areaCount[id]++;
            index_.areaCellX[k] = static_cast<std::uint8_t>(x);
            index_.areaCellY[k] = static_cast<std::uint8_t>(y);
        }
    }
    index_.kept = true;
    ++index_.keptLayout;
    listAreasNear();
    for (int id = 1; id < ids; ++id)
        ++index_.era[id]; // the cells are laid out afresh
}

void Solver::keepJoin(int id, int x, int y) {
    if (id <= 0 || id >= index_.idLimit ||
        index_.areaStart[id] + index_.areaCount[id] >= index_.areaStart[id + 1]) {
        index_.kept = false; // an area past its number: rebuild as needed
        ++index_.epoch;
        return;
    }
    const int k = index_.areaStart[id] + index_.areaCount[id]++;
    index_.areaCellX[k] = static_cast<std::uint8_t>(x);
    index_.areaCellY[k] = static_cast<std::uint8_t>(y);
}

void Solver::boardMayHaveChanged() {
    ++index_.epoch;
    index_.kept = false;
}

int Solver::CountReachingAreas(int tx, int ty) {
    boardMayHaveChanged();
    return countReaching(tx, ty, 2);
}

// Can the unfinished area of index entry i still grow to include (tx, ty)? A
// quick estimate from the distance to the clue and from the cells the area
// already has outside the clue-target box (each pulls the area away).
bool Solver::areaReaches(int i, int tx, int ty) const {
    return areaSlack(i, tx, ty) > 0;
}

// Whether a black cell stands between the clue of index entry i and (x, y)
// in a straight line.
bool Solver::blackBetween(int i, int x, int y) const {
    const int cx = index_.clueX[i], cy = index_.clueY[i];
    if (cx == x) {
        for (int v = std::min(cy, y) + 1; v < std::max(cy, y); ++v)
            if (isBlack(b_.state(x, v))) return true;
    } else if (cy == y) {
        for (int u = std::min(cx, x) + 1; u < std::max(cx, x); ++u)
            if (isBlack(b_.state(u, y))) return true;
    }
    return false;
}

namespace {
// How the cells of an area lie round the box spanned by its clue and a
// target: each cell `outside` the box pulls the area one step away, and the
// cells beside the box on each side pull it at most two.
struct Pull {
    int outside = 0, above = 0, below = 0, left = 0, right = 0;

    void add(int x, int y, int cx, int cy, int tx, int ty) {
        const bool inCols = x >= std::min(cx, tx) && x <= std::max(cx, tx);
        const bool inRows = y >= std::min(cy, ty) && y <= std::max(cy, ty);
        if (cx == tx) {
            // Same column: rows beyond the box count fully, the two sides
            // of the column at most 2 each.
            if (!inRows)
                ++outside;
            else if (x != cx)
                ++(x < cx ? left : right);
        } else if (cy == ty) {
            if (!inCols)
                ++outside;
            else if (y != cy)
                ++(y < cy ? above : below);
        } else if (!inCols && !inRows) {
            ++outside; // a corner region
        } else if (!inRows) {
            ++(y < std::min(cy, ty) ? above : below);
        } else if (!inCols) {
            ++(x < std::min(cx, tx) ? left : right);
        } // inside the box: never counts
    }
    int total() const {
        return outside + std::min(above, 2) + std::min(below, 2) + std::min(left, 2) +
               std::min(right, 2);
    }
};
} // namespace

// The margin of that estimate: the area reaches the cell when it is positive.
// Out of line with the clue, each cell the area gains lowers it by one at
// most.
int Solver::areaSlack(int i, int tx, int ty) const {
    const int cx = index_.clueX[i], cy = index_.clueY[i];
    const int n = index_.clueN[i];
    const std::uint16_t id = index_.clueId[i];
    const int d = std::abs(cx - tx) + std::abs(cy - ty);
    if (n <= d) return n - d;
    Pull pull;
    if (id < index_.idLimit) {
        for (int k = index_.areaStart[id]; k < index_.areaStart[id] + index_.areaCount[id]; ++k)
            pull.add(index_.areaCellX[k], index_.areaCellY[k], cx, cy, tx, ty);
    }
    // In a straight line, a black cell between clue and target costs a
    // detour when no area cell already stands beside the line.
    const bool besideLine = cx == tx ? pull.left + pull.right > 0 : pull.above + pull.below > 0;
    const int detour = !besideLine && blackBetween(i, tx, ty) ? 2 : 0;
    return n - pull.total() - detour - d;
}

// How many unfinished areas could reach (tx, ty), asked of the areas in board
// order and counted up to `enough` (2 means two or more); after a count of 1,
// reachX/reachY name its clue.
int Solver::countReaching(int tx, int ty, int enough) {
    if (!index_.kept && index_.builtAt != index_.epoch) buildAreaIndex();
    // A clue n reaches no farther than n - 1 columns, so only the columns
    // within reach of the largest clue need looking at; the order of the
    // clues looked at is the board order all the same.
    const int firstColumn = std::max(1, tx - index_.maxClue + 1);
    const int lastColumn = std::min<int>(b_.width, tx + index_.maxClue - 1);
    if (firstColumn > lastColumn) return 0;
    int count = 0;
    for (int i = index_.columnStart[firstColumn]; i < index_.columnStart[lastColumn + 1]; ++i) {
        if (!alive(i) || !areaReaches(i, tx, ty)) continue;
        b_.reachX = index_.clueX[i];
        b_.reachY = index_.clueY[i];
        if (count == 0) index_.firstReaching = i;
        index_.lastReaching = i;
        if (++count == enough) return count;
    }
    return count;
}
// For each cell, the clues (index entries) within their number plus three of
// it, so that a change finds the areas it may concern without asking every
// area. Given up (near_.known false) when the lists would not fit.
void Solver::listAreasNear() {
    near_.known = false;
    std::fill(near_.start, near_.start + kCells + 1, 0);
    auto eachCell = [&](int i, auto g) {
        const int cx = index_.clueX[i], cy = index_.clueY[i], r = index_.clueN[i] + 3;
        for (int x = std::max(1, cx - r); x <= std::min<int>(b_.width, cx + r); ++x) {
            const int ry = r - std::abs(x - cx);
            for (int y = std::max(1, cy - ry); y <= std::min<int>(b_.height, cy + ry); ++y)
                g(indexOf(x, y));
        }
    };
    long total = 0;
    for (int i = 0; i < index_.clueCount; ++i)
        eachCell(i, [&](int c) {
            ++near_.start[c + 1];
            ++total;
        });
    if (total > kAreasNearCapacity) return;
    for (int c = 0; c < kCells; ++c)
        near_.start[c + 1] += near_.start[c];
    int fill[kGridWidth * kGridHeight + 1];
    std::copy(near_.start, near_.start + kCells + 1, fill);
    for (int i = 0; i < index_.clueCount; ++i)
        eachCell(i, [&](int c) { near_.entries[fill[c]++] = static_cast<std::uint16_t>(i); });
    near_.known = true;
}

// The area index after the board went back to a snapshot: the stamps of the
// areas renewed since go back (their witnesses are in doubt), and the kept
// counts with them, or the index is laid out again.
void Solver::restoreAreas(AreaIndex::Saved& s) {
    ++index_.epoch;
    // Only the areas renewed since the save can differ from the snapshot.
    const bool listed = !index_.renewedOverrun && s.renewedCount <= index_.renewedCount;
    const bool keptSame = index_.kept && s.keptLayout == index_.keptLayout;
    auto restoreArea = [&](int id) {
        if (index_.stamp[id] != s.stamp[id]) suspectWitnessesOf(id);
        index_.stamp[id] = s.stamp[id];
        if (!keptSame) return;
        // Cells are only ever added past the counts, so the cells below the
        // saved counts are this board's. An area that loses cells starts a
        // new era: what is added next overwrites them.
        if (s.areaCount[id] < index_.areaCount[id]) ++index_.era[id];
        index_.areaCount[id] = s.areaCount[id];
    };
    if (listed) {
        for (int k = s.renewedCount; k < index_.renewedCount; ++k)
            restoreArea(index_.renewed[k]);
    } else {
        for (int id = 0; id < stampCount(); ++id)
            restoreArea(id);
    }
    index_.renewedCount = std::min(s.renewedCount, index_.renewedCount);
    // A list that had run over by the time of the save misses areas renewed
    // since older snapshots, so it stays run over.
    index_.renewedOverrun = s.renewedOverrun;
    if (keptSame) return;
    if (keeping()) {
        // The index was rebuilt or given up since: lay it out again.
        keepAreaIndex();
        index_.save(s, stampCount());
    } else {
        index_.kept = false;
    }
}

} // namespace ombrix
