// The deduction rules. Each is one full scan of the playable cells, column by
// column (x outer, y inner), that changes cells only through MarkBlack,
// MarkWhite and JoinArea, so a change early in a scan is seen later in it.
#include "solver.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <iterator>

namespace ombrix {

// The cells within `radius` of (x, y), and after `after` in scan order, join
// the candidates.
void Solver::addCandidates(int x, int y, int radius, int after, std::uint64_t* bits) {
    if (!bits) bits = candidates_;
    const int xlo = std::max(1, x - radius), xhi = std::min<int>(b_.width, x + radius);
    const int ylo = std::max(1, y - radius), yhi = std::min<int>(b_.height, y + radius);
    for (int u = xlo; u <= xhi; ++u) {
        // The column's run of cells, past `after`, a word or two at a time.
        int first = std::max(u * kGridHeight + ylo, after + 1);
        const int last = u * kGridHeight + yhi;
        while (first <= last) {
            const int word = first / 64, lo = first % 64;
            const int hi = std::min(63, lo + (last - first));
            const std::uint64_t ones =
                hi - lo == 63 ? ~std::uint64_t{0} : ((std::uint64_t{1} << (hi - lo + 1)) - 1);
            bits[word] |= ones << lo;
            first += hi - lo + 1;
        }
    }
}

// A local rule acts at a cell only on what lies within `radius` of it. So in
// the trial search's deductions, where the rule last ran from log position p,
// a cell can act only if a cell within that radius changed since p: either
// it was looked at then and nothing round it has changed, or it acted and
// so changed a cell round it. Those cells are visited in scan order, with
// the changes made on the way added as they happen. Returns false, having
// done nothing, when a full scan is due.
template <Rule R> bool Solver::candidateScan() {
    constexpr RuleInfo rule = kRules[index(R)];
    static_assert(rule.skip == Skip::NoChangeNear && rule.at &&
                  (rule.radius == 1 || rule.radius == 2));
    constexpr int radius = rule.radius;
    constexpr auto At = rule.at;
    const std::uint64_t* kind = rule.looks == Looks::BlackCells       ? kept_.blacks
                                : rule.looks == Looks::UndecidedCells ? kept_.open
                                                                      : kept_.inArea;
    const std::uint64_t* kind2 = rule.looks == Looks::AreaCellsOrDots ? kept_.dots : nullptr;
    const int from = log_.ruleFrom[index(R)];
    if (!quick_ || from < 0) return false;
    const int side = 2 * radius + 1;
    if ((log_.len - from) * side * side > b_.width * b_.height) return false;
    // The cells near the changes are marked once per pass for all the local
    // rules, from the earliest of their starts (more cells than a rule needs
    // only costs a look), and brought up to date as the log grows.
    if (R == firstLocalRule() || sharedGeneration_ != log_.generation || from < sharedFrom_ ||
        sharedTo_ > log_.len) {
        int first = from;
        for (const RuleInfo& local : kRules)
            if (local.skip == Skip::NoChangeNear && log_.ruleFrom[index(local.id)] >= 0)
                first = std::min<int>(first, log_.ruleFrom[index(local.id)]);
        sharedFrom_ = sharedTo_ = first;
        sharedGeneration_ = log_.generation;
        for (auto& bits : shared_)
            std::fill(std::begin(bits), std::end(bits), 0);
    }
    for (; sharedTo_ < log_.len; ++sharedTo_) {
        const int c = log_.cells[sharedTo_];
        addCandidates(c / kGridHeight, c % kGridHeight, 1, -1, shared_[0]);
        addCandidates(c / kGridHeight, c % kGridHeight, 2, -1, shared_[1]);
    }
    std::copy(std::begin(shared_[radius - 1]), std::end(shared_[radius - 1]), candidates_);
    int seen = log_.len;
    std::uint32_t generation = log_.generation;
    // Only cells of the kind the rule acts on, as they are now. (The loop is
    // forEachBit's, written out: here it measurably keeps the rule inlined.)
    for (int word = 0; word < kWords; ++word) {
        std::uint64_t above = ~std::uint64_t{0};
        for (std::uint64_t m;
             (m = candidates_[word] & (kind[word] | (kind2 ? kind2[word] : 0)) & above) != 0;) {
            const int bit = std::countr_zero(m);
            above = bit == 63 ? 0 : ~std::uint64_t{0} << (bit + 1);
            const int i = word * 64 + bit;
            (this->*At)(i / kGridHeight, i % kGridHeight);
            if (generation != log_.generation) {
                // The log started afresh under us: every later cell is due.
                for (int x = i / kGridHeight; x <= b_.width; ++x)
                    addCandidates(x, (b_.height + 1) / 2, std::max<int>(b_.height, 1), i);
                generation = log_.generation;
                seen = log_.len;
            }
            for (; seen < log_.len; ++seen)
                addCandidates(log_.cells[seen] / kGridHeight, log_.cells[seen] % kGridHeight,
                              radius, i);
        }
    }
    return true;
}

template <Rule R> void Solver::scanCells() {
    if (candidateScan<R>()) return;
    constexpr auto At = kRules[index(R)].at;
    for (int x = 1; x <= b_.width; ++x)
        for (int y = 1; y <= b_.height; ++y)
            (this->*At)(x, y);
}

// The scans the rule table names.
template void Solver::scanCells<Rule::AreaGap>();
template void Solver::scanCells<Rule::AreaDiagonal>();
template void Solver::scanCells<Rule::BlackDeadEnd>();
template void Solver::scanCells<Rule::WhiteDeadEnd>();
template void Solver::scanCells<Rule::ClueTwo>();
template void Solver::scanCells<Rule::UndecidedCell>();

void Solver::ClearMarks() {
    if (keeping() && !marks_.unknown) {
        // Only the cells on the marked list can carry a mark.
        for (int k = 0; k < marks_.count; ++k)
            cellAt(marks_.cells[k]).mark = MarkNone;
    } else {
        for (int x = 1; x <= b_.width; ++x)
            for (int y = 1; y <= b_.height; ++y)
                b_.at(x, y).mark = MarkNone;
    }
    marks_.count = 0;
    marks_.unknown = false;
}

void Solver::PromoteMarks() {
    for (int x = 1; x <= b_.width; ++x) {
        for (int y = 1; y <= b_.height; ++y) {
            std::uint8_t& m = b_.at(x, y).mark;
            if (m == MarkOpen || m == MarkDone) m = MarkSettled;
        }
    }
}

// Two cells of different unfinished areas two steps apart: every cell that
// touches both (orthogonally, or also diagonally under Tandrel) is black. Only
// far cells to the right and below are looked at; the mirror cases are found
// from the other cell.
void Solver::areaGapAt(int x, int y) {
    const int w = b_.width, h = b_.height;
    const bool tandrel = b_.tandrel();
    const std::uint16_t id = b_.at(x, y).areaId;
    if (id == 0) return;
    auto differs = [&](int fx, int fy) {
        const std::uint16_t other = b_.at(fx, fy).areaId;
        return other != 0 && other != id;
    };
    if (x < w - 1 && differs(x + 2, y)) {
        MarkBlack(x + 1, y);
        if (tandrel) {
            MarkBlack(x + 1, y - 1);
            MarkBlack(x + 1, y + 1);
        }
    }
    if (y < h - 1 && differs(x, y + 2)) {
        MarkBlack(x, y + 1);
        if (tandrel) {
            MarkBlack(x - 1, y + 1);
            MarkBlack(x + 1, y + 1);
        }
    }
    if (!tandrel) return;
    if (x < w - 1 && y > 2 && differs(x + 2, y - 2)) MarkBlack(x + 1, y - 1);
    if (x < w - 1 && y < h - 1 && differs(x + 2, y + 2)) MarkBlack(x + 1, y + 1);
    if (x < w - 1 && y > 1 && differs(x + 2, y - 1)) {
        MarkBlack(x + 1, y);
        MarkBlack(x + 1, y - 1);
    }
    if (x < w && y > 2 && differs(x + 1, y - 2)) {
        MarkBlack(x, y - 1);
        MarkBlack(x + 1, y - 1);
    }
    if (x < w - 1 && y < h && differs(x + 2, y + 1)) {
        MarkBlack(x + 1, y);
        MarkBlack(x + 1, y + 1);
    }
    if (x < w && y < h - 1 && differs(x + 1, y + 2)) {
        MarkBlack(x, y + 1);
        MarkBlack(x + 1, y + 1);
    }
}

// Two cells of different areas touching diagonally: under Ombrix the two
// cells between them are black, under Tandrel it is a contradiction. The same
// for an unfinished clue 2 with a white dot diagonally next to it.
void Solver::areaDiagonalAt(int x, int y) {
    const bool tandrel = b_.tandrel();
    const std::uint16_t id = b_.at(x, y).areaId;
    if (id == 0) return;
    auto act = [&](int dy) {
        if (tandrel) {
            b_.status = StatusContradiction;
        } else {
            MarkBlack(x + 1, y);
            MarkBlack(x, y + dy);
        }
    };
    auto differs = [&](int fx, int fy) {
        const std::uint16_t other = b_.at(fx, fy).areaId;
        return other != 0 && other != id;
    };
    if (differs(x + 1, y + 1)) act(+1);
    if (differs(x + 1, y - 1)) act(-1);
    if (b_.state(x + 1, y + 1) == WhiteDot && b_.state(x, y) == 2) act(+1);
    if (b_.state(x + 1, y - 1) == WhiteDot && b_.state(x, y) == 2) act(-1);
}

// A black cell closed (white or border) on three sides must connect through
// the fourth. Once handled, a plain black cell becomes BlackLinked and is not
// visited again.
void Solver::blackDeadEndAt(int x, int y) {
    std::uint8_t& s = b_.state(x, y);
    if (s != Black && s != GivenBlack) return;
    const bool u = isClosed(b_.state(x, y - 1));
    const bool l = isClosed(b_.state(x - 1, y));
    const bool d = isClosed(b_.state(x, y + 1));
    const bool r = isClosed(b_.state(x + 1, y));
    int nx, ny;
    if (u && l && d) {
        nx = x + 1, ny = y;
    } else if (u && l && r) {
        nx = x, ny = y + 1;
    } else if (u && d && r) {
        nx = x - 1, ny = y;
    } else if (l && d && r) {
        nx = x, ny = y - 1;
    } else {
        return;
    }
    MarkBlack(nx, ny);
    if (b_.state(nx, ny) == Border) b_.status = StatusContradiction;
    if (s == Black) {
        s = BlackLinked; // does not raise `changed`
        noteChange(x, y);
    }
}

// A white dot or a cell of an unfinished area walled on three sides extends
// through the fourth. Under Tandrel the diagonal cell between two walls is
// black as well.
void Solver::whiteDeadEndAt(int x, int y) {
    const bool inArea = b_.at(x, y).areaId != 0;
    if (!inArea && b_.state(x, y) != WhiteDot) return;
    auto extend = [&](int nx, int ny) {
        if (inArea)
            JoinArea(nx, ny, x, y);
        else
            MarkWhite(nx, ny);
    };
    const bool u = isWall(b_.state(x, y - 1));
    const bool l = isWall(b_.state(x - 1, y));
    const bool d = isWall(b_.state(x, y + 1));
    const bool r = isWall(b_.state(x + 1, y));
    if (u && l && d)
        extend(x + 1, y);
    else if (u && l && r)
        extend(x, y + 1);
    else if (u && d && r)
        extend(x - 1, y);
    else if (l && d && r)
        extend(x, y - 1);

    if (b_.tandrel()) {
        auto wall = [&](int cx, int cy) { return isWall(b_.state(cx, cy)); };
        if (wall(x, y - 1) && wall(x - 1, y)) MarkBlack(x - 1, y - 1);
        if (wall(x - 1, y) && wall(x, y + 1)) MarkBlack(x - 1, y + 1);
        if (wall(x, y + 1) && wall(x + 1, y)) MarkBlack(x + 1, y + 1);
        if (wall(x + 1, y) && wall(x, y - 1)) MarkBlack(x + 1, y - 1);
    }
}

// Round an unfinished clue 2: under Ombrix, two walls at a corner leave only
// the other two sides, so the cell diagonally opposite is black; under both
// rule sets a white dot two cells away in a straight line cannot be the second
// cell, so the cell between is black.
void Solver::clueTwoAt(int x, int y) {
    const int w = b_.width, h = b_.height;
    if (b_.at(x, y).areaId == 0 || b_.state(x, y) != 2) return;
    auto wall = [&](int cx, int cy) { return isWall(b_.state(cx, cy)); };
    if (b_.ombrix()) {
        if (wall(x, y - 1) && wall(x - 1, y)) MarkBlack(x + 1, y + 1);
        if (wall(x - 1, y) && wall(x, y + 1)) MarkBlack(x + 1, y - 1);
        if (wall(x, y + 1) && wall(x + 1, y)) MarkBlack(x - 1, y - 1);
        if (wall(x + 1, y) && wall(x, y - 1)) MarkBlack(x - 1, y + 1);
    }
    if (y > 2 && b_.state(x, y - 2) == WhiteDot) MarkBlack(x, y - 1);
    if (x > 2 && b_.state(x - 2, y) == WhiteDot) MarkBlack(x - 1, y);
    if (y < h - 1 && b_.state(x, y + 2) == WhiteDot) MarkBlack(x, y + 1);
    if (x < w - 1 && b_.state(x + 2, y) == WhiteDot) MarkBlack(x + 1, y);
}

// An undecided cell that would complete a 2 x 2 black block is white (Ombrix);
// one walled in on four sides is black; one surrounded by white dots, cells of
// unfinished areas or the border is white.
void Solver::undecidedCellAt(int x, int y) {
    if (b_.state(x, y) != Undecided) return;
    auto black = [&](int cx, int cy) { return isBlack(b_.state(cx, cy)); };
    auto wall = [&](int cx, int cy) { return isWall(b_.state(cx, cy)); };
    if (b_.ombrix()) {
        if ((black(x, y - 1) && black(x - 1, y) && black(x - 1, y - 1)) ||
            (black(x, y + 1) && black(x - 1, y) && black(x - 1, y + 1)) ||
            (black(x, y - 1) && black(x + 1, y) && black(x + 1, y - 1)) ||
            (black(x, y + 1) && black(x + 1, y) && black(x + 1, y + 1)))
            MarkWhite(x, y);
    }
    if (wall(x, y - 1) && wall(x - 1, y) && wall(x, y + 1) && wall(x + 1, y)) {
        MarkBlack(x, y);
        return;
    }
    auto whiteSide = [&](int cx, int cy) {
        const Cell& c = b_.at(cx, cy);
        return c.areaId != 0 || c.state == WhiteDot || c.state == Border;
    };
    if (whiteSide(x, y - 1) && whiteSide(x - 1, y) && whiteSide(x, y + 1) && whiteSide(x + 1, y))
        MarkWhite(x, y);
}

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

// The margin of that estimate: the area reaches the cell when it is positive.
// Out of line with the clue, each cell the area gains lowers it by one at
// most.
int Solver::areaSlack(int i, int tx, int ty) const {
    const int cx = index_.clueX[i], cy = index_.clueY[i];
    const int n = index_.clueN[i];
    const std::uint16_t id = index_.clueId[i];
    const int d = std::abs(cx - tx) + std::abs(cy - ty);
    if (n <= d) return n - d;
    const int xlo = std::min(cx, tx), xhi = std::max(cx, tx);
    const int ylo = std::min(cy, ty), yhi = std::max(cy, ty);
    int p = 0;
    int above = 0, below = 0, left = 0, right = 0;
    const int first = id < index_.idLimit ? index_.areaStart[id] : 0;
    const int last = id < index_.idLimit ? index_.areaStart[id] + index_.areaCount[id] : 0;
    for (int k = first; k < last; ++k) {
        const int x = index_.areaCellX[k], y = index_.areaCellY[k];
        if (cx == tx) {
            // Same column: rows beyond the box count fully, the two
            // sides of the column at most 2 each.
            if (y < ylo || y > yhi)
                ++p;
            else if (x < cx)
                ++left;
            else if (x > cx)
                ++right;
        } else if (cy == ty) {
            if (x < xlo || x > xhi)
                ++p;
            else if (y < cy)
                ++above;
            else if (y > cy)
                ++below;
        } else {
            const bool inCols = x >= xlo && x <= xhi;
            const bool inRows = y >= ylo && y <= yhi;
            if (!inCols && !inRows)
                ++p; // a corner region
            else if (!inRows)
                ++(y < ylo ? above : below);
            else if (!inCols)
                ++(x < xlo ? left : right);
            // inside the box: never counts
        }
    }
    p += std::min(above, 2) + std::min(below, 2) + std::min(left, 2) + std::min(right, 2);
    // In a straight line, a black cell between clue and target costs a
    // detour when no area cell already stands beside the line.
    if (cx == tx && left == 0 && right == 0) {
        for (int y = ylo + 1; y <= yhi - 1; ++y) {
            if (isBlack(b_.state(cx, y))) {
                p += 2;
                break;
            }
        }
    } else if (cy == ty && cx != tx && above == 0 && below == 0) {
        for (int x = xlo + 1; x <= xhi - 1; ++x) {
            if (isBlack(b_.state(x, cy))) {
                p += 2;
                break;
            }
        }
    }
    return n - p - d;
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

void Solver::RuleUnreachable() {
    // Called on its own (by a test), the board may have changed behind the
    // epoch's back; within the deduction loop the epoch is exact.
    if (!inDriver_) boardMayHaveChanged();
    if (quick_ && index_.kept) {
        unreachableWithWitnesses();
        return;
    }
    for (int x = 1; x <= b_.width; ++x)
        for (int y = 1; y <= b_.height; ++y)
            if (b_.state(x, y) == Undecided && countReaching(x, y, 1) == 0) MarkBlack(x, y);
}

// The rule in the trial search. Each undecided cell keeps a witness: an area
// that reached it, with the area's stamp, cell count, era and the estimate's
// margin then. The estimate's penalty grows by at most one for each cell the
// area gains, and, in line with the clue, by two when a black cell first
// stands between. So the area still reaches the cell while its cells are the
// same (same stamp) and no black cell has come between, or while it has only
// gained cells (same era) and fewer than the margin allows.
void Solver::unreachableWithWitnesses() {
    // Only suspect cells are looked at, in scan order: every other undecided
    // cell has a witness that stands. A black cell painted on the way makes
    // later cells in line suspect at once.
    forEachBit([&](int k) { return wit_.suspect[k] & kept_.open[k]; },
               [&](int c) {
                   setBit(wit_.suspect, c, false);
                   const int x = c / kGridHeight, y = c % kGridHeight;
                   Witness& w = wit_.cell[c];
                   if (w.id != 0) {
                       if (witnessHolds(w, x, y)) return true;
                       setWitness(c, 0);
                   }
                   if (countReaching(x, y, 1) == 0) {
                       MarkBlack(x, y);
                       return true;
                   }
                   setWitness(c, index_.clueId[index_.lastReaching]);
                   w = makeWitness(index_.lastReaching, x, y);
                   return true;
               });
}

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

Solver::Witness Solver::makeWitness(int i, int x, int y) const {
    const int id = index_.clueId[i];
    return {static_cast<std::uint16_t>(id),
            static_cast<std::uint16_t>(index_.areaCount[id]),
            index_.era[id],
            index_.stamp[id],
            static_cast<std::int16_t>(areaSlack(i, x, y)),
            blackBetween(i, x, y)};
}

// Whether the witness area still reaches (x, y); a witness asked again is
// brought up to date.
bool Solver::witnessHolds(Witness& w, int x, int y) {
    const int i = index_.clueOfId[w.id];
    if (!alive(i)) return false;
    const bool newBlack = !w.blackBetween && blackBetween(i, x, y);
    if (w.stamp == index_.stamp[w.id] && !newBlack) return true;
    const int gained = index_.areaCount[w.id] - w.count;
    if (w.era == index_.era[w.id] && gained >= 0 && gained + (newBlack ? 2 : 0) < w.slack)
        return true;
    if (areaSlack(i, x, y) <= 0) return false;
    w = makeWitness(i, x, y);
    return true;
}

// The reach query of the white-dot rule, which acts only when exactly one
// area reaches the dot. In the trial search a dot keeps two areas that both
// reached it; while both still do, the answer is "two or more".
int Solver::dotReaching(int x, int y) {
    if (!(quick_ && index_.kept)) return countReaching(x, y, 2);
    Witness* w = wit_.dot[x * kGridHeight + y];
    if (w[0].id != 0 && w[1].id != 0 && witnessHolds(w[0], x, y) && witnessHolds(w[1], x, y))
        return 2;
    const int count = countReaching(x, y, 2);
    if (count == 2) {
        w[0] = makeWitness(index_.firstReaching, x, y);
        w[1] = makeWitness(index_.lastReaching, x, y);
    } else {
        w[0].id = w[1].id = 0;
    }
    return count;
}

// Moves cell c to the list of area id (0: no list).
void Solver::setWitness(int c, int id) {
    const int old = wit_.cell[c].id;
    if (old == id) return;
    if (old != 0) {
        const int p = wit_.prev[c], n = wit_.next[c];
        if (p >= 0)
            wit_.next[p] = static_cast<std::int16_t>(n);
        else
            wit_.head[old] = static_cast<std::int16_t>(n);
        if (n >= 0) wit_.prev[n] = static_cast<std::int16_t>(p);
    }
    if (id != 0) {
        const int h = wit_.head[id];
        wit_.next[c] = static_cast<std::int16_t>(h);
        wit_.prev[c] = -1;
        if (h >= 0) wit_.prev[h] = static_cast<std::int16_t>(c);
        wit_.head[id] = static_cast<std::int16_t>(c);
    }
    wit_.cell[c].id = static_cast<std::uint16_t>(id);
}

// A new black cell at (x, y) may stand between a clue and a cell in line.
// Only a witness whose clue is in that line, on the far side of the new cell,
// can be touched by it; and only a cell that has a witness needs one.
void Solver::suspectInLine(int x, int y) {
    const int reach = std::max(index_.maxClue, 1);
    for (int u = std::max(1, x - reach); u <= std::min<int>(b_.width, x + reach); ++u) {
        const Witness& w = wit_.cell[indexOf(u, y)];
        if (w.id == 0 || index_.clueYOfId[w.id] != y) continue;
        const int cx = index_.clueXOfId[w.id];
        if ((cx < x && x < u) || (u < x && x < cx)) suspect(indexOf(u, y));
    }
    for (int v = std::max(1, y - reach); v <= std::min<int>(b_.height, y + reach); ++v) {
        const Witness& w = wit_.cell[indexOf(x, v)];
        if (w.id == 0 || index_.clueXOfId[w.id] != x) continue;
        const int cy = index_.clueYOfId[w.id];
        if ((cy < y && y < v) || (v < y && y < cy)) suspect(indexOf(x, v));
    }
}

// White dots join an area: one next to them, or the only one that can reach
// them. Under Tandrel a dot diagonally next to an area joins it, and so does
// the cell between them that is not black.
void Solver::RuleWhiteDotJoin() {
    if (!inDriver_) boardMayHaveChanged();
    forEachWhiteDot([&](int x, int y) {
        whiteDotJoinAt(x, y);
        return true;
    });
}

void Solver::whiteDotJoinAt(int x, int y) {
    auto inArea = [&](int cx, int cy) { return b_.at(cx, cy).areaId != 0; };
    auto wall = [&](int cx, int cy) { return isWall(b_.state(cx, cy)); };
    auto black = [&](int cx, int cy) { return isBlack(b_.state(cx, cy)); };
    if (inArea(x, y - 1)) {
        JoinArea(x, y, x, y - 1);
    } else if (inArea(x - 1, y)) {
        JoinArea(x, y, x - 1, y);
    } else if (inArea(x, y + 1)) {
        JoinArea(x, y, x, y + 1);
    } else if (inArea(x + 1, y)) {
        JoinArea(x, y, x + 1, y);
    } else if (wall(x, y - 1) && wall(x - 1, y) && wall(x, y + 1) && wall(x + 1, y)) {
        b_.status = StatusContradiction; // sealed off from every area
    } else if (dotReaching(x, y) == 1) {
        JoinArea(x, y, static_cast<int>(b_.reachX), static_cast<int>(b_.reachY));
    }
    if (!b_.tandrel()) return;
    // Diagonal (x+dx, y+dy); between it and the dot lie (x, y+dy) and (x+dx, y).
    static constexpr int dxs[4] = {-1, -1, 1, 1};
    static constexpr int dys[4] = {-1, 1, -1, 1};
    for (int i = 0; i < 4; ++i) {
        const int ax = x + dxs[i], ay = y + dys[i];
        if (!inArea(ax, ay)) continue;
        JoinArea(x, y, ax, ay);
        if (black(x, ay)) JoinArea(ax, y, ax, ay);
        if (black(ax, y)) JoinArea(x, ay, ax, ay);
    }
}

// All black cells form one group of exactly blackBudget cells: a larger group
// is a contradiction, a group of exactly that size leaves every undecided cell
// white, and a smaller one with a single undecided neighbour extends into it.
void Solver::RuleBlackConnected() {
    if (quick_) {
        // The kept groups answer at once, unless a group is full-sized or
        // shut in; then the walk below settles it.
        int ex = 0, ey = 0;
        const BlackGroups::Verdict v = kept_.groups.Connectivity(b_.blackBudget, ex, ey);
        if (v == BlackGroups::Verdict::Quiet) return;
        if (v == BlackGroups::Verdict::Extend) {
            MarkBlack(ex, ey);
            return;
        }
    }
    ClearMarks();
    const int w = b_.width, h = b_.height;
    for (int x = 1; x <= w; ++x) {
        for (int y = 1; y <= h; ++y) {
            const Cell& c = b_.at(x, y);
            if (!isBlack(c.state) || c.mark != MarkNone) continue;
            const int e = WalkBlackGroup(x, y);
            const int s = visitedCount;
            if (s > b_.blackBudget) {
                b_.status = StatusContradiction;
            } else if (s == b_.blackBudget) {
                WhitenUndecided();
            } else if (e == 1) {
                MarkBlack(lastExitX, lastExitY);
                return;
            } else if (e == 0) {
                b_.status = StatusContradiction;
            }
        }
    }
}

void Solver::WhitenUndecided() {
    for (int x = 1; x <= b_.width; ++x)
        for (int y = 1; y <= b_.height; ++y)
            if (b_.state(x, y) == Undecided) MarkWhite(x, y);
}

void Solver::CheckBlackBlocks() {
    if (candidateScan<Rule::BlackBlocks>()) return;
    // Down each pair of columns, a block is two black pairs in a row.
    for (int x = 1; x <= b_.width - 1; ++x) {
        const Cell* left = b_.cells[x];
        const Cell* right = b_.cells[x + 1];
        bool above = isBlack(left[1].state) && isBlack(right[1].state);
        for (int y = 2; y <= b_.height; ++y) {
            const bool here = isBlack(left[y].state) && isBlack(right[y].state);
            if (above && here) b_.status = StatusContradiction;
            above = here;
        }
    }
}

// The 2 x 2 block with (x, y) at its top left.
void Solver::blackBlockAt(int x, int y) {
    if (x < b_.width && y < b_.height && isBlack(b_.state(x, y)) && isBlack(b_.state(x + 1, y)) &&
        isBlack(b_.state(x, y + 1)) && isBlack(b_.state(x + 1, y + 1)))
        b_.status = StatusContradiction;
}

void Solver::CheckBlackCount() {
    if (keptSets()) {
        // The trial search counts black cells as they are painted.
        if (b_.blackBudget < kept_.blackCount) b_.status = StatusContradiction;
        return;
    }
    int count = 0;
    for (int x = 1; x <= b_.width; ++x)
        for (int y = 1; y <= b_.height; ++y)
            if (isBlack(b_.state(x, y))) ++count;
    if (b_.blackBudget < count) b_.status = StatusContradiction;
}

// Every unfinished area is walked from its clue, absorbing the white dots it
// touches: one of its full size is sealed, a larger one is a contradiction, a
// smaller one grows through its only exit.
void Solver::RuleAreaGrowth() {
    ClearMarks();
    // In the trial search, an area's walk from its last run (which met no
    // contradiction, from log position p) can turn out differently only if a
    // cell within its number of its clue changed since p: an area that did
    // nothing had fewer cells than its number, all nearer than that.
    const int from = quickFrom(Rule::AreaGrowth), extra = kRules[index(Rule::AreaGrowth)].radius;
    forEachAreaNear(from, extra, [&](int x, int y) {
        const std::uint16_t k = b_.at(x, y).areaId;
        const int n = b_.state(x, y);
        const int e = WalkArea(x, y);
        const int s = visitedCount;
        if (s == n) {
            SealArea(k);
        } else if (s > n) {
            b_.status = StatusContradiction;
        } else if (e == 1) {
            JoinArea(lastExitX, lastExitY, x, y);
        } else if (e == 0) {
            b_.status = StatusContradiction;
        }
    });
}

void Solver::SealArea(std::uint16_t k) {
    ++index_.epoch;
    renewStamp(k);
    static constexpr int ox[4] = {0, -1, 0, 1}, oy[4] = {-1, 0, 1, 0};
    static constexpr int dx[4] = {-1, -1, 1, 1}, dy[4] = {-1, 1, 1, -1};
    auto seal = [&](int x, int y) {
        for (int i = 0; i < 4; ++i)
            if (b_.state(x + ox[i], y + oy[i]) == Undecided) MarkBlack(x + ox[i], y + oy[i]);
        if (b_.tandrel()) {
            for (int i = 0; i < 4; ++i)
                if (b_.state(x + dx[i], y + dy[i]) == Undecided) MarkBlack(x + dx[i], y + dy[i]);
        }
        b_.at(x, y).areaId = 0;
        noteChange(x, y);
        if (keptSets()) setBit(kept_.inArea, indexOf(x, y), false);
    };
    if (index_.kept && k < index_.idLimit) {
        // The kept index lists the area's cells; the order of sealing does
        // not matter, as only undecided cells are painted.
        for (int i = index_.areaStart[k]; i < index_.areaStart[k] + index_.areaCount[k]; ++i)
            seal(index_.areaCellX[i], index_.areaCellY[i]);
        return;
    }
    for (int x = 1; x <= b_.width; ++x)
        for (int y = 1; y <= b_.height; ++y)
            if (b_.at(x, y).areaId == k) seal(x, y);
}

// A group of white dots that touches no unfinished area must escape through
// an undecided cell: with exactly one, that cell is white; with none, the
// board is contradictory.
void Solver::RuleWhiteDotEscape() {
    ClearMarks();
    forEachWhiteDot([&](int x, int y) {
        if (b_.at(x, y).mark != MarkNone) return true;
        const int e = WalkDotGroup(x, y);
        if (e == 1) {
            MarkWhite(lastExitX, lastExitY);
            return false;
        }
        if (e == 0) b_.status = StatusContradiction;
        return true;
    });
}

void Solver::WhitenReached() {
    for (int x = 1; x <= b_.width; ++x)
        for (int y = 1; y <= b_.height; ++y)
            if (b_.at(x, y).mark != MarkNone && b_.state(x, y) == Undecided) MarkWhite(x, y);
}

// Area reach: an unfinished area that can walk to exactly its number of cells
// takes all of them; fewer is a contradiction. Clue reachability: a region of
// non-black cells that meets no clue holds no white cell, so its undecided
// cells are black (and a white cell in it is a contradiction).
void Solver::RuleAreaReach() {
    bool cleared = false;
    if (!areaReach(cleared)) return;
    if (!handOffReachMarks(cleared)) return;
    clueReachability();
}

// One area's reach walk from its clue at (x, y). Each reach walk starts on a
// board without marks: the first of a run clears them all (`cleared`), and
// after that only the previous walk has marked cells.
void Solver::walkAreaReach(int x, int y, bool& cleared) {
    if (!cleared) {
        ClearMarks();
        cleared = true;
    } else {
        for (int i = 0; i < touchedCount_; ++i)
            b_.at(touchedX_[i], touchedY_[i]).mark = MarkNone;
    }
    reachLimit = b_.state(x, y);
    reachArea = b_.at(x, y).areaId;
    WalkReach(x, y);
}

// Area reach over the areas a change may concern; false after a
// contradiction. Outside the trial search every area is walked, so the marks
// of the last area's walk are left on the board.
bool Solver::areaReach(bool& cleared) {
    // In the trial search, after a run that changed nothing from log
    // position p, an area's walk can turn out differently only if a cell
    // within its reach (its number plus the three cells a walk looks beyond
    // its last step) changed since p.
    bool stop = false;
    const int from = quickFrom(Rule::AreaReach), extra = kRules[index(Rule::AreaReach)].radius;
    forEachAreaNear(from, extra, [&](int x, int y) {
        if (stop) return;
        const int n = b_.state(x, y);
        int r = 0;
        if (quick_) {
            // Only the count matters here (and, when it is the
            // number, the cells): no marks are set.
            r = reachCount(x, y);
            if (r == n) {
                for (int i = 0; i < r; ++i)
                    if (cellAt(paths_.queue[i]).state == Undecided)
                        MarkWhite(paths_.queue[i] / kGridHeight, paths_.queue[i] % kGridHeight);
            }
        } else {
            walkAreaReach(x, y, cleared);
            r = visitedCount;
            if (r == n) {
                // The walk ran to its end: the marks cover
                // every reachable cell.
                for (int i = 0; i < touchedCount_; ++i)
                    if (b_.state(touchedX_[i], touchedY_[i]) == Undecided)
                        MarkWhite(touchedX_[i], touchedY_[i]);
            }
        }
        if (r < n) {
            b_.status = StatusContradiction;
            stop = true;
        }
    });
    return !stop;
}

// The hand-off between the two halves of the rule: clue reachability starts
// from the marks of the last unfinished area's reach walk (in scan order),
// promoted to Settled, or, with no unfinished area, from the marks the
// dot-escape rule left. False when there is nothing for it to do.
bool Solver::handOffReachMarks(bool& cleared) {
    int lastX = 0, lastY = 0; // the last unfinished area in scan order
    if (index_.kept) {
        for (int i = index_.clueCount - 1; i >= 0 && lastX == 0; --i)
            if (alive(i)) lastX = index_.clueX[i], lastY = index_.clueY[i];
    } else {
        forEachAreaClue([&](int x, int y) { lastX = x, lastY = y; });
    }
    if (quick_ && lastX != 0) {
        // When every region of undecided cells holds a clue, the walks find
        // nothing to do. Otherwise the trial search, which counted without
        // marks, walks the last area again.
        if (everyRegionHasClue()) return false;
        walkAreaReach(lastX, lastY, cleared);
    }
    if (lastX == 0 && dotMarksSkipped_) {
        // No unfinished area cleared the marks, so the walks meet the marks
        // of the dot-escape rule: after a run that changed nothing, those
        // are exactly the white dots.
        for (int x = 1; x <= b_.width; ++x)
            for (int y = 1; y <= b_.height; ++y)
                b_.at(x, y).mark = b_.state(x, y) == WhiteDot ? MarkOpen : MarkNone;
        marks_.unknown = true;
    }
    PromoteMarks();
    return true;
}

// Clue reachability: a region of non-black cells that meets no clue holds no
// white cell, so its undecided cells are black (and a white cell in it is a
// contradiction). Only the first such region is painted per run; cells
// already Settled lead to a clue.
void Solver::clueReachability() {
    for (int x = 1; x <= b_.width; ++x) {
        for (int y = 1; y <= b_.height; ++y) {
            const Cell& c = b_.at(x, y);
            if (c.state != Undecided || c.mark != MarkNone) continue;
            WalkToClue(x, y);
            if (visitedCount < kWalkFoundClue) {
                // The walk saw its whole region and met no clue.
                for (int i = 0; i < touchedCount_; ++i)
                    MarkBlack(touchedX_[i], touchedY_[i]);
                return;
            }
            for (int i = 0; i < touchedCount_; ++i)
                b_.at(touchedX_[i], touchedY_[i]).mark = MarkSettled;
        }
    }
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

// What the reach walk from the clue at (x, y) counts, found breadth first:
// the cells it can reach, up to its number plus one. A cell is taken in from
// any neighbour that the walk would take it in from, so the cells reached
// are the same whatever the order; each is looked at once, and no marks are
// set. The cells are left in paths_.queue.
int Solver::reachCount(int x, int y) {
    const int n = b_.state(x, y);
    const std::uint16_t id = b_.at(x, y).areaId;
    const bool tandrel = b_.tandrel();
    auto foreign = [&](int i) {
        const std::uint16_t other = cellAt(i).areaId;
        return other != 0 && other != id;
    };
    const std::uint32_t visit = ++paths_.visit;
    int head = 0, tail = 0;
    paths_.seen[indexOf(x, y)] = visit;
    paths_.queue[tail++] = static_cast<std::uint16_t>(indexOf(x, y));
    static constexpr int kStep[4] = {-1, -kGridHeight, 1, kGridHeight};
    while (head < tail) {
        const int v = paths_.queue[head++];
        for (const int d : kStep) {
            const int i = v + d;
            if (paths_.seen[i] == visit) continue;
            const Cell& c = cellAt(i);
            bool member = c.areaId == id || c.state == WhiteDot;
            if (!member && c.state == Undecided) {
                // Not next to a foreign area straight on or across the step,
                // nor (Tandrel) diagonally beyond it.
                const int across = d == -1 || d == 1 ? kGridHeight : 1;
                member = !(foreign(i + d) || foreign(i - across) || foreign(i + across) ||
                           (tandrel && (foreign(i + d - across) || foreign(i + d + across))));
            }
            if (!member) continue;
            paths_.seen[i] = visit;
            paths_.queue[tail++] = static_cast<std::uint16_t>(i);
            if (tail > n) return tail;
        }
    }
    return tail;
}

// Whether every undecided cell is joined to some clue through cells that are
// not black. Once known, it stays so while every open side of each cell that
// has turned black since still leads to a clue: a path that a new black cell
// cut leads on from the open side before the cut. Otherwise it is found by a
// search from all clues at once.
bool Solver::everyRegionHasClue() {
    if (paths_.known) {
        ++paths_.epoch;
        bool kept = true;
        for (int k = paths_.from; k < paths_.newBlackCount && kept; ++k) {
            const int i = paths_.newBlack[k];
            for (const int d : {-1, -kGridHeight, 1, kGridHeight}) {
                if (!leadsToClue(i + d)) {
                    kept = false;
                    break;
                }
            }
        }
        paths_.from = paths_.newBlackCount;
        if (kept) return true;
    } else if (paths_.regionWithoutClue != 0 &&
               cellAt(paths_.regionWithoutClue).state == Undecided) {
        // Still undecided, so still cut off: regions only shrink.
        return false;
    }
    const int w = b_.width, h = b_.height;
    const std::uint32_t visit = ++paths_.visit;
    int head = 0, tail = 0;
    auto open = [&](int i) {
        if (paths_.seen[i] == visit || isWall(cellAt(i).state)) return;
        paths_.seen[i] = visit;
        paths_.queue[tail++] = static_cast<std::uint16_t>(i);
    };
    for (int x = 1; x <= w; ++x)
        for (int y = 1; y <= h; ++y)
            if (isWorkedClue(b_.state(x, y))) open(x * kGridHeight + y);
    while (head < tail) {
        const int i = paths_.queue[head++];
        open(i - 1);
        open(i - kGridHeight);
        open(i + 1);
        open(i + kGridHeight);
    }
    bool all = true;
    paths_.regionWithoutClue = 0;
    for (int x = 1; x <= w && all; ++x) {
        for (int y = 1; y <= h && all; ++y) {
            if (b_.state(x, y) == Undecided && paths_.seen[x * kGridHeight + y] != visit) {
                all = false;
                paths_.regionWithoutClue = x * kGridHeight + y;
            }
        }
    }
    paths_.known = all;
    paths_.from = paths_.newBlackCount;
    return all;
}

// A short search from cell i through cells that are not black for a clue or
// a cell already seen to lead to one (in this query); false also when the
// search grows too long to be worth it.
bool Solver::leadsToClue(int start) {
    if (isWall(cellAt(start).state) || paths_.good[start] == paths_.epoch) return true;
    constexpr int kLimit = 256;
    const std::uint32_t visit = ++paths_.visit;
    int head = 0, tail = 0;
    bool found = false;
    auto open = [&](int i) {
        const std::uint8_t s = cellAt(i).state;
        if (paths_.seen[i] == visit || isWall(s)) return;
        if (isWorkedClue(s) || paths_.good[i] == paths_.epoch) found = true;
        paths_.seen[i] = visit;
        paths_.queue[tail++] = static_cast<std::uint16_t>(i);
    };
    open(start);
    while (!found && head < tail && tail < kLimit) {
        const int i = paths_.queue[head++];
        open(i - 1);
        open(i - kGridHeight);
        open(i + 1);
        open(i + kGridHeight);
    }
    if (!found) return false;
    for (int k = 0; k < tail; ++k)
        paths_.good[paths_.queue[k]] = paths_.epoch;
    return true;
}

// A group of area cells cut off from its clue must reconnect: through its only
// undecided neighbour if it has one; with none (and no clue, white dot or
// examined group beside it) the board is contradictory.
void Solver::RuleAreaFragment() {
    ClearMarks();
    auto at = [&](int x, int y) {
        const Cell& c = b_.at(x, y);
        if (!isWorkedAreaCell(c.state) || c.areaId == 0 || c.mark != MarkNone) return;
        fragmentCode = c.state;
        const int r = WalkFragment(x, y);
        if (r == 1)
            JoinArea(lastExitX, lastExitY, x, y);
        else if (r == 0)
            b_.status = StatusContradiction;
        for (int i = 0; i < touchedCount_; ++i)
            b_.at(touchedX_[i], touchedY_[i]).mark = MarkSettled;
    };
    if (keptSets()) {
        // The trial search keeps the set of cells in unfinished areas: go
        // through it in scan order, taking in cells that join on the way.
        forEachBit([&](int k) { return kept_.inArea[k]; },
                   [&](int i) {
                       at(i / kGridHeight, i % kGridHeight);
                       return true;
                   });
        return;
    }
    for (int x = 1; x <= b_.width; ++x)
        for (int y = 1; y <= b_.height; ++y)
            at(x, y);
}

} // namespace ombrix
