// The local rules, the 2 x 2 block check among them: each is written as the
// rule at one cell, looking no farther than two cells from it, and runs as a
// candidate scan (in scan order, x outer and y inner, so a change early in a
// scan is seen later in it). They change cells through MarkBlack, MarkWhite and JoinArea; the black
// dead end also turns a handled black cell into a linked one.
#include "candidate_scan.h"
#include "solver.h"

namespace ombrix {

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

// No 2 x 2 black block (Ombrix). Its whole-board form goes down each pair
// of columns.
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

// The scans the rule table names for these rules.
template void Solver::scanCells<Rule::AreaGap>();
template void Solver::scanCells<Rule::AreaDiagonal>();
template void Solver::scanCells<Rule::BlackDeadEnd>();
template void Solver::scanCells<Rule::WhiteDeadEnd>();
template void Solver::scanCells<Rule::ClueTwo>();
template void Solver::scanCells<Rule::UndecidedCell>();

} // namespace ombrix
