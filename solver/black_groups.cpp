#include "black_groups.h"

#include <utility>

namespace ombrix {

namespace {
constexpr int kOrth[4] = {-1, -kGridHeight, 1, kGridHeight}; // up, left, down, right

bool blackAt(const Board& b, int i) {
    return isBlack(b.cells[i / kGridHeight][i % kGridHeight].state);
}
bool undecidedAt(const Board& b, int i) {
    return b.cells[i / kGridHeight][i % kGridHeight].state == Undecided;
}
} // namespace

// The root list is trailed like the fields: pseudo-fields past the last one.
static constexpr int kRootsField = 6, kRootPosField = 7, kRootCountField = 8;

void BlackGroups::record(int field, int index, std::int64_t old) {
    if (trailLen_ < kTrailCapacity)
        trail_[trailLen_++] = {field, index, old};
    else
        trailOverrun_ = true;
}

void BlackGroups::set(Field f, int i, std::int64_t v) {
    record(f, i, data_[f][i]);
    data_[f][i] = v;
}

// Black cell i as a group of one, with its undecided neighbours as exits.
void BlackGroups::newGroup(const Board& b, int i) {
    set(Parent, i, i);
    set(Size, i, 1);
    set(First, i, i);
    set(Exits, i, 0);
    set(Sum, i, 0);
    set(SumSq, i, 0);
    for (const int d : kOrth)
        if (undecidedAt(b, i + d)) addExits(i, i + d, 1);
    record(kRootsField, rootCount_, roots_[rootCount_]);
    record(kRootCountField, 0, rootCount_);
    roots_[rootCount_] = static_cast<std::int16_t>(i);
    rootPos_[i] = static_cast<std::int16_t>(rootCount_++);
}

int BlackGroups::find(int i) const {
    while (data_[Parent][i] != i)
        i = static_cast<int>(data_[Parent][i]);
    return i;
}

void BlackGroups::addExits(int root, int exitIndex, int count) {
    const std::int64_t e = exitIndex;
    set(Exits, root, data_[Exits][root] + count);
    set(Sum, root, data_[Sum][root] + count * e);
    set(SumSq, root, data_[SumSq][root] + count * e * e);
}

void BlackGroups::join(int a, int b) {
    a = find(a);
    b = find(b);
    if (a == b) return;
    if (data_[Size][a] < data_[Size][b]) std::swap(a, b); // b joins the larger a
    set(Parent, b, a);
    set(Size, a, data_[Size][a] + data_[Size][b]);
    set(Exits, a, data_[Exits][a] + data_[Exits][b]);
    set(Sum, a, data_[Sum][a] + data_[Sum][b]);
    set(SumSq, a, data_[SumSq][a] + data_[SumSq][b]);
    if (data_[First][b] < data_[First][a]) set(First, a, data_[First][b]);
    // Take b off the root list: the last root moves into its place.
    const int pos = rootPos_[b];
    const int last = roots_[rootCount_ - 1];
    record(kRootsField, pos, roots_[pos]);
    record(kRootPosField, last, rootPos_[last]);
    record(kRootCountField, 0, rootCount_);
    roots_[pos] = static_cast<std::int16_t>(last);
    rootPos_[last] = static_cast<std::int16_t>(pos);
    --rootCount_;
}

void BlackGroups::Build(const Board& b) {
    trailLen_ = 0;
    trailOverrun_ = false;
    rootCount_ = 0;
    for (int x = 1; x <= b.width; ++x) {
        for (int y = 1; y <= b.height; ++y) {
            const int i = indexOf(x, y);
            if (!blackAt(b, i)) continue;
            // Joined to the black neighbours already built (up and left).
            newGroup(b, i);
            if (blackAt(b, i - 1)) join(i, i - 1);
            if (blackAt(b, i - kGridHeight)) join(i, i - kGridHeight);
        }
    }
    trailLen_ = 0; // the build itself is never undone
    trailOverrun_ = false;
    live_ = true;
}

void BlackGroups::Decided(const Board& b, int x, int y) {
    const int u = indexOf(x, y);
    // The cell is no longer an exit of the groups round it.
    for (const int d : kOrth)
        if (blackAt(b, u + d)) addExits(find(u + d), u, -1);
    if (!blackAt(b, u)) return;
    // A new group of one, joined to its black neighbours.
    newGroup(b, u);
    for (const int d : kOrth)
        if (blackAt(b, u + d)) join(u, u + d);
}

bool BlackGroups::Undo(int mark) {
    if (trailOverrun_ || mark > trailLen_) return false;
    while (trailLen_ > mark) {
        const TrailEntry& t = trail_[--trailLen_];
        if (t.field < kFields)
            data_[t.field][t.index] = t.old;
        else if (t.field == kRootsField)
            roots_[t.index] = static_cast<std::int16_t>(t.old);
        else if (t.field == kRootPosField)
            rootPos_[t.index] = static_cast<std::int16_t>(t.old);
        else
            rootCount_ = static_cast<int>(t.old);
    }
    return true;
}

BlackGroups::Verdict BlackGroups::Connectivity(int budget, int& exitX, int& exitY) const {
    // The rule takes the groups in scan order of their first cells and stops
    // at the first that acts; groups with two or more exits and room to grow
    // do nothing.
    int best = -1;
    for (int k = 0; k < rootCount_; ++k) {
        const int r = roots_[k];
        const std::int64_t exits = data_[Exits][r];
        const bool acts = data_[Size][r] >= budget || exits == 0 ||
                          exits * data_[SumSq][r] == data_[Sum][r] * data_[Sum][r];
        if (acts && (best < 0 || data_[First][r] < data_[First][best])) best = r;
    }
    if (best < 0) return Verdict::Quiet;
    if (data_[Size][best] >= budget || data_[Exits][best] == 0) return Verdict::Unsure;
    const int exit = static_cast<int>(data_[Sum][best] / data_[Exits][best]);
    exitX = exit / kGridHeight;
    exitY = exit % kGridHeight;
    return Verdict::Extend;
}

BlackGroups::Group BlackGroups::GroupOf(int x, int y) const {
    const int r = find(indexOf(x, y));
    const std::int64_t exits = data_[Exits][r];
    return {static_cast<int>(data_[Size][r]), static_cast<int>(exits),
            static_cast<int>(data_[First][r]),
            exits > 0 && exits * data_[SumSq][r] == data_[Sum][r] * data_[Sum][r]};
}

} // namespace ombrix
