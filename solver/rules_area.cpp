// The rules that grow the areas: white dots joining an area, area growth and
// sealing, the escape of white-dot groups and the reconnection of area
// fragments. Each walks or scans in board order (x outer, y inner) and
// changes cells through MarkBlack, MarkWhite and JoinArea; sealing a
// finished area clears its cells' area ids itself.
#include "solver.h"

namespace ombrix {

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
