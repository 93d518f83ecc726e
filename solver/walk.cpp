// The one traversal of a connected group of cells that five rules share. It
// steps through orthogonal neighbours, keeps its visited state in the cells'
// mark byte (MarkOpen, MarkDone), counts the group's exits (undecided neighbours)
// and visits. The variants differ only in which neighbours are members, which
// are exits, what ends the walk early, and what a find does.
#include "solver.h"

#include <iterator>

namespace ombrix {

namespace {
constexpr int kOrthX[4] = {0, -1, 0, 1};
constexpr int kOrthY[4] = {-1, 0, 1, 0};
} // namespace

void Solver::touch(const Cell& v, int x, int y) {
    if (v.mark != MarkNone || touchedCount_ >= kBranchCapacity) return;
    touchedX_[touchedCount_] = static_cast<std::uint8_t>(x);
    touchedY_[touchedCount_] = static_cast<std::uint8_t>(y);
    ++touchedCount_;
    marks_.add(x * kGridHeight + y);
}

// The marks the walks leave: cleared before a rule's first walk (only the
// listed cells when the list is known), or promoted to Settled.
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

template <Solver::Walk V> bool Solver::stopTest() const {
    if constexpr (V == Walk::Reach) return visitedCount > reachLimit;
    if constexpr (V == Walk::ToClue) return visitedCount == kWalkFoundClue;
    if constexpr (V == Walk::Fragment) return exitCount > 1;
    return false;
}

// Whether neighbour n at (nx, ny) of the walk's cell v at (x, y) belongs to
// the group (Member), not (Skip), or ends the walk's look at v (Stop). Exits
// are counted before this is asked.
template <Solver::Walk V>
Solver::Step Solver::neighbour(const Cell& v, const Cell& n, int x, int y, int nx, int ny) {
    if constexpr (V == Walk::BlackGroup) {
        return isBlack(n.state) ? Step::Member : Step::Skip;
    } else if constexpr (V == Walk::Area) {
        if (n.areaId == 0 && n.state != WhiteDot) return Step::Skip;
        // The area absorbs every white dot it touches; a cell of another
        // area next to it is a contradiction, walked all the same.
        if (n.state == WhiteDot)
            JoinArea(nx, ny, x, y);
        else if (n.areaId != v.areaId)
            b_.status = StatusContradiction;
        return Step::Member;
    } else if constexpr (V == Walk::DotGroup) {
        if (n.state == WhiteDot) return Step::Member;
        if (n.areaId != 0)
            exitCount += kWalkTouchesArea; // touching an unfinished area is a way out
        return Step::Skip;
    } else if constexpr (V == Walk::Reach) {
        if (n.areaId == reachArea || n.state == WhiteDot) return Step::Member;
        return n.state == Undecided && !reachBlocked(x, y, nx, ny) ? Step::Member : Step::Skip;
    } else if constexpr (V == Walk::ToClue) {
        if (n.mark == MarkSettled || isWorkedClue(n.state)) {
            visitedCount = kWalkFoundClue;
            return Step::Stop;
        }
        const bool open = n.state == Undecided || n.state == WhiteDot || isWorkedAreaCell(n.state);
        return open ? Step::Member : Step::Skip;
    } else {
        if (isClue(n.state) || n.state == WhiteDot || n.mark == MarkSettled) {
            exitCount += kWalkTouchesClue;
            return Step::Stop;
        }
        return n.state == fragmentCode ? Step::Member : Step::Skip;
    }
}

// An undecided cell (nx, ny) next to a foreign unfinished area (and, under
// Tandrel, diagonally beyond it) cannot join the reach walk's area.
bool Solver::reachBlocked(int x, int y, int nx, int ny) const {
    const int dx = nx - x, dy = ny - y;
    const int fx = nx + dx, fy = ny + dy; // the cell straight on
    const int px = dy, py = dx;           // across the step
    auto foreign = [&](int cx, int cy) {
        const std::uint16_t id = b_.at(cx, cy).areaId;
        return id != 0 && id != reachArea;
    };
    if (foreign(fx, fy) || foreign(nx - px, ny - py) || foreign(nx + px, ny + py)) return true;
    return b_.tandrel() && (foreign(fx - px, fy - py) || foreign(fx + px, fy + py));
}

template <Solver::Walk V> void Solver::visit(int x, int y) {
    // The variants that count exits: an undecided neighbour is one, unless
    // it is the exit counted last, which goes on to the variant's test.
    constexpr bool countsExits =
        V == Walk::BlackGroup || V == Walk::Area || V == Walk::DotGroup || V == Walk::Fragment;
    newCount_ = 0;
    backCount_ = 0;
    Cell& v = b_.at(x, y);
    for (int i = 0; i < 4; ++i) {
        const int nx = x + kOrthX[i], ny = y + kOrthY[i];
        const Cell& n = b_.at(nx, ny);
        if (countsExits && n.state == Undecided && !(nx == lastExitX && ny == lastExitY)) {
            ++exitCount;
            lastExitX = nx;
            lastExitY = ny;
            continue;
        }
        const Step step = neighbour<V>(v, n, x, y, nx, ny);
        if (step == Step::Stop) {
            touch(v, x, y);
            v.mark = MarkOpen;
            return;
        }
        if (step == Step::Skip) continue;
        if (n.mark == MarkNone) {
            ++newCount_;
            nextX_ = nx;
            nextY_ = ny;
        } else if (n.mark == MarkOpen) {
            ++backCount_;
            backX_ = nx;
            backY_ = ny;
        }
    }
    if (v.mark == MarkNone) {
        touch(v, x, y);
        v.mark = MarkOpen;
        if (V != Walk::DotGroup) ++visitedCount;
    }
    if (newCount_ == 0) v.mark = MarkDone;
}

// One run from a start cell; true when the stop test ended the whole walk.
template <Solver::Walk V> bool Solver::runFrom(int x, int y) {
    for (;;) {
        visit<V>(x, y);
        if (stopTest<V>()) return true;
        if (newCount_ >= 1) {
            if (newCount_ >= 2 && branchCount_ < kBranchCapacity) {
                branchX_[branchCount_] = static_cast<std::uint8_t>(x);
                branchY_[branchCount_] = static_cast<std::uint8_t>(y);
                ++branchCount_;
            }
            x = nextX_;
            y = nextY_;
        } else if (backCount_ >= 1) {
            x = backX_;
            y = backY_;
        } else {
            return false;
        }
    }
}

template <Solver::Walk V> int Solver::walk(int x, int y) {
    exitCount = 0;
    lastExitX = 0;
    lastExitY = 0;
    visitedCount = 0;
    branchCount_ = 0;
    touchedCount_ = 0;
    // Every variant keeps a branch list, so a walk sees its whole group
    // (cycles included) unless its stop test ends it first.
    bool stopped = runFrom<V>(x, y);
    for (int i = 0; !stopped && i < branchCount_; ++i)
        stopped = runFrom<V>(branchX_[i], branchY_[i]);
    if constexpr (V == Walk::Fragment) return stopped ? 2 : exitCount;
    return exitCount;
}

int Solver::WalkRegion(Walk variant, int x, int y) {
    switch (variant) {
    case Walk::BlackGroup:
        return walk<Walk::BlackGroup>(x, y);
    case Walk::Area:
        return walk<Walk::Area>(x, y);
    case Walk::DotGroup:
        return walk<Walk::DotGroup>(x, y);
    case Walk::Reach:
        return walk<Walk::Reach>(x, y);
    case Walk::ToClue:
        return walk<Walk::ToClue>(x, y);
    case Walk::Fragment:
        return walk<Walk::Fragment>(x, y);
    }
    return 0;
}

} // namespace ombrix
