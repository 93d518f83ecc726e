// The answer check. Two labellings of the board do all the work: the white
// areas as they stand (orthogonally connected white cells), and the groups of
// cells that may still be black (black or undecided). Each rule then reads
// the labels; nothing here changes the board.
#include "check.h"

#include <algorithm>
#include <array>

namespace ombrix {
namespace {

using CellList = std::vector<std::pair<int, int>>;

constexpr int kDx[4] = {0, -1, 0, 1}, kDy[4] = {-1, 0, 1, 0};

bool isClueCode(int s) {
    return s >= 1 && s <= 48;
}
bool isAreaCode(int s) {
    return s >= 101 && s <= 148;
}

// Labels the connected groups of playable cells for which `member` holds.
// Returns the cells of each group in scan order; `label` gets the group index
// of each member cell and -1 elsewhere.
template <typename Member>
std::vector<CellList> Label(const Board& b, Member member,
                            std::array<std::array<int, kGridHeight>, kGridWidth>& label) {
    for (auto& column : label)
        column.fill(-1);
    std::vector<CellList> groups;
    CellList stack;
    for (int x = 1; x <= b.width; ++x) {
        for (int y = 1; y <= b.height; ++y) {
            if (label[x][y] >= 0 || !member(b.state(x, y))) continue;
            const int id = static_cast<int>(groups.size());
            CellList cells;
            label[x][y] = id;
            stack.assign(1, {x, y});
            while (!stack.empty()) {
                const auto [cx, cy] = stack.back();
                stack.pop_back();
                cells.push_back({cx, cy});
                for (int i = 0; i < 4; ++i) {
                    const int nx = cx + kDx[i], ny = cy + kDy[i];
                    if (b.isPlayable(nx, ny) && label[nx][ny] < 0 && member(b.state(nx, ny))) {
                        label[nx][ny] = id;
                        stack.push_back({nx, ny});
                    }
                }
            }
            std::sort(cells.begin(), cells.end());
            groups.push_back(std::move(cells));
        }
    }
    return groups;
}

struct Area {
    CellList cells;
    int clues = 0;
    int clue = 0;       // the clue's number when there is exactly one
    int number = 0;     // the area's number: its clue's, or that all its area cells agree on
    bool closed = true; // no undecided cell beside it: it can no longer grow
    bool mixed = false; // area cells with different numbers and no clue
};

Area Describe(const Board& b, CellList cells) {
    Area a;
    int areaNumber = 0;
    for (auto [x, y] : cells) {
        const int s = b.state(x, y);
        if (isClueCode(s)) {
            ++a.clues;
            a.clue = s;
        } else if (isAreaCode(s)) {
            if (areaNumber != 0 && areaNumber != s - 100) a.mixed = true;
            areaNumber = s - 100;
        }
        for (int i = 0; i < 4; ++i) {
            const int nx = x + kDx[i], ny = y + kDy[i];
            if (b.isPlayable(nx, ny) && b.state(nx, ny) == Undecided) a.closed = false;
        }
    }
    if (a.clues != 1) a.clue = 0;
    a.number = a.clues == 1 ? a.clue : (a.clues == 0 && !a.mixed ? areaNumber : 0);
    a.cells = std::move(cells);
    return a;
}

using Labels = std::array<std::array<int, kGridHeight>, kGridWidth>;

// The findings by kind, each kind in the order of its first cell.
struct Findings {
    std::vector<Finding> byKind[kViolationKinds];

    void add(Violation v, CellList cells) {
        std::sort(cells.begin(), cells.end());
        byKind[static_cast<int>(v)].push_back({v, std::move(cells)});
    }
    void moveInto(std::vector<Finding>& out) {
        for (auto& kind : byKind) {
            std::stable_sort(kind.begin(), kind.end(), [](const Finding& l, const Finding& r) {
                return l.cells.front() < r.cells.front();
            });
            for (Finding& f : kind)
                out.push_back(std::move(f));
        }
    }
};

// A 2 x 2 block of black cells (Ombrix).
void BlackBlocks(const Board& b, Findings& found) {
    for (int x = 1; x < b.width; ++x)
        for (int y = 1; y < b.height; ++y)
            if (isBlack(b.state(x, y)) && isBlack(b.state(x + 1, y)) &&
                isBlack(b.state(x, y + 1)) && isBlack(b.state(x + 1, y + 1)))
                found.add(Violation::BlackBlock, {{x, y}, {x, y + 1}, {x + 1, y}, {x + 1, y + 1}});
}

// Black cells that can no longer meet: the groups of cells that may still be
// black hold black cells in more than one group. The group with the most
// black cells stands; every other one is cut off.
void DividedBlacks(const Board& b, Labels& label, Findings& found) {
    auto groups = Label(
        b, [](int s) { return s == Undecided || isBlack(s); }, label);
    std::vector<CellList> blacks;
    for (const CellList& g : groups) {
        CellList bl;
        for (auto [x, y] : g)
            if (isBlack(b.state(x, y))) bl.push_back({x, y});
        if (!bl.empty()) blacks.push_back(std::move(bl));
    }
    if (blacks.size() < 2) return;
    std::size_t keep = 0;
    for (std::size_t i = 1; i < blacks.size(); ++i)
        if (blacks[i].size() > blacks[keep].size()) keep = i;
    for (std::size_t i = 0; i < blacks.size(); ++i)
        if (i != keep) found.add(Violation::BlackDivided, std::move(blacks[i]));
}

// The faults of one white area as it stands.
void AreaFaults(const Board& b, const Area& a, Findings& found) {
    const int size = static_cast<int>(a.cells.size());
    if (a.clues == 0 && a.closed) found.add(Violation::AreaWithoutNumber, a.cells);
    if (a.clues >= 2) found.add(Violation::AreaTwoNumbers, a.cells);
    if (a.number > 0 && size > a.number) found.add(Violation::AreaTooLarge, a.cells);
    if (a.clues == 1 && a.closed && size < a.number) found.add(Violation::AreaTooSmall, a.cells);
    CellList wrong;
    for (auto [x, y] : a.cells) {
        const int s = b.state(x, y);
        if (isAreaCode(s) && ((a.clues == 0 && a.mixed) || (a.clues == 1 && s - 100 != a.clue)))
            wrong.push_back({x, y});
    }
    if (!wrong.empty()) found.add(Violation::NumberMismatch, std::move(wrong));
}

// Under Tandrel two areas may not touch at a corner. Two white cells
// diagonally apart in different areas as they stand are a fault once they can
// never become one area: both areas hold a clue, or either is closed.
void TouchingAreas(const Board& b, const Labels& label, const std::vector<Area>& areas,
                   Findings& found) {
    for (int x = 1; x < b.width; ++x) {
        for (int y = 1; y <= b.height; ++y) {
            for (int dy : {-1, 1}) {
                const int nx = x + 1, ny = y + dy;
                if (!b.isPlayable(nx, ny)) continue;
                const int p = label[x][y], q = label[nx][ny];
                if (p < 0 || q < 0 || p == q) continue;
                const Area &a = areas[static_cast<std::size_t>(p)],
                           &c = areas[static_cast<std::size_t>(q)];
                if ((a.clues > 0 && c.clues > 0) || a.closed || c.closed)
                    found.add(Violation::AreasTouch, {{x, y}, {nx, ny}});
            }
        }
    }
}

} // namespace

CheckResult CheckBoard(const Board& b) {
    CheckResult result;
    result.complete = true;
    for (int x = 1; x <= b.width; ++x)
        for (int y = 1; y <= b.height; ++y)
            if (b.state(x, y) == Undecided) result.complete = false;

    Findings found;
    if (b.ombrix()) BlackBlocks(b, found);
    Labels label;
    DividedBlacks(b, label, found);
    // The white areas as they stand.
    auto groups = Label(
        b, [](int s) { return isWhite(s); }, label);
    std::vector<Area> areas;
    areas.reserve(groups.size());
    for (CellList& g : groups)
        areas.push_back(Describe(b, std::move(g)));
    for (const Area& a : areas)
        AreaFaults(b, a, found);
    if (b.tandrel()) TouchingAreas(b, label, areas, found);
    found.moveInto(result.findings);
    return result;
}

const char* ViolationName(Violation v) {
    switch (v) {
    case Violation::BlackBlock:
        return "black-block";
    case Violation::BlackDivided:
        return "black-divided";
    case Violation::AreaWithoutNumber:
        return "area-without-number";
    case Violation::AreaTwoNumbers:
        return "area-two-numbers";
    case Violation::AreaTooLarge:
        return "area-too-large";
    case Violation::AreaTooSmall:
        return "area-too-small";
    case Violation::AreasTouch:
        return "areas-touch";
    case Violation::NumberMismatch:
        return "number-mismatch";
    }
    return "";
}

const char* ViolationMessage(Violation v) {
    switch (v) {
    case Violation::BlackBlock:
        return "2×2の黒マスがあります";
    case Violation::BlackDivided:
        return "黒マスが分断されています";
    case Violation::AreaWithoutNumber:
        return "数字のない白マスの領域があります";
    case Violation::AreaTwoNumbers:
        return "数字が２つ以上ある領域があります";
    case Violation::AreaTooLarge:
        return "数字よりマスが多い領域があります";
    case Violation::AreaTooSmall:
        return "数字よりマスが少ない領域があります";
    case Violation::AreasTouch:
        return "領域どうしが斜めに接しています";
    case Violation::NumberMismatch:
        return "領域の数字と合わない数字があります";
    }
    return "";
}

} // namespace ombrix
