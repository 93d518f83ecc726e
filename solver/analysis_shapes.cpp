// The analysis's shapes of small areas (Ombrix): an area with a few cells to
// go takes one of the shapes it can still have. The shapes are listed and
// kept per area with the cells and colours they were listed from, so that
// only areas near a change list theirs again.
#include "analysis_search.h"

#include <algorithm>

namespace ombrix::analysis {

// A cell every shape takes is white, a cell beside every shape black, and a
// cell the walk reached that no shape takes is not g's.
bool Search::shapeRule(int g, int rem, int walkLen) {
    const int* res = shapeFindings(g, rem, walkLen);
    if (res[0] < 0) return false;
    if (res[0] == 0) return true;
    for (int k = 2; k < res[1]; ++k) {
        const int cell = res[k] >> 2, c = res[k] & 3;
        if (c == Open)
            --reached_[cell];
        else
            decide(cell, c == Light);
    }
    return true;
}

// What the shapes of g decide: the number of shapes (as from shapes()), the
// list's length, then cell * 4 + the colour it takes (Open: not g's). The
// shapes are counted again only when the cells the walk reached, or their
// neighbours, have changed since they were last counted; each area keeps two
// counts, for a hypothesis and the position it is tried in.
const int* Search::shapeFindings(int g, int rem, int walkLen) {
    const int length = signature(g, walkLen);
    int slot = slotOf_[groupClue_[g]] * 2;
    for (int way = 0; way < 2; ++way) {
        const int* sig = &cacheSig_[static_cast<std::size_t>(slot + way) * kSigCap];
        if (length <= kSigCap && sig[0] == length &&
            std::equal(sigBuf_.begin() + 1, sigBuf_.begin() + length, sig + 1))
            return &cacheRes_[static_cast<std::size_t>(slot + way) * kResCap];
    }
    victim_[slot / 2] ^= 1; // the older of the two
    slot += victim_[slot / 2];
    int* sig = &cacheSig_[static_cast<std::size_t>(slot) * kSigCap];
    int* res = &cacheRes_[static_cast<std::size_t>(slot) * kResCap];
    const int found = shapes(g, rem);
    res[0] = found;
    res[1] = writeFindings(found, walkLen, res);
    for (int k = 0; k < shapeTouched_; ++k)
        shapeCount_[shapeCells_[k]] = borderCount_[shapeCells_[k]] = 0;
    sig[0] = 0;
    if (length <= kSigCap) {
        std::copy(sigBuf_.begin() + 1, sigBuf_.begin() + length, sig + 1);
        sig[0] = length;
    }
    return res;
}

// The findings of `found` shapes from the counts, into res[2 ..]; the list's
// length (a list cut short only decides less).
int Search::writeFindings(int found, int walkLen, int* res) {
    int len = 2;
    for (int k = 0; found > 0 && k < shapeTouched_ && len + 2 < kResCap; ++k) {
        const int cell = shapeCells_[k];
        if (colour_[cell] != Open) continue;
        if (shapeCount_[cell] == found) res[len++] = cell * 4 + Light;
        if (borderCount_[cell] == found) res[len++] = cell * 4 + Dark;
    }
    for (int k = 0; found > 0 && k < walkLen && len < kResCap; ++k)
        if (shapeCount_[walkCells_[k]] == 0) res[len++] = walkCells_[k] * 4;
    return len;
}

// What the shapes of g depend on: its size, and each cell its walk reached
// with the colours of it and its neighbours (a white cell told apart as g's,
// clueless or another area's). Written to sigBuf_[1..]; its length.
int Search::signature(int g, int walkLen) {
    int length = 1;
    sigBuf_[length++] = groupSize_[g];
    for (int m = groupFirst_[g]; m < groupFirst_[g] + groupSize_[g] && length < kSigCap; ++m)
        sigBuf_[length++] = members_[m] << 4;
    for (int k = 0; k < walkLen && length < kSigCap; ++k) {
        const int c = walkCells_[k];
        int code = shapeCode(c, g);
        for (int d : orth_)
            code = code << 3 | shapeCode(c + d, g);
        sigBuf_[length++] = c << 16 | code;
    }
    return length < kSigCap ? length : kSigCap + 1;
}

int Search::shapeCode(int cell, int g) const {
    const int c = colour_[cell];
    if (c != Light) return c;
    const int o = group_[cell];
    return o == g ? 4 : groupClue_[o] < 0 ? 5 : 6;
}

// Every shape area g can take with `rem` more cells: 0 when there are too
// many to count, -1 when there is none, else their number. A shape takes
// whole clueless white groups that it touches and no cell beside another
// area; it is grown cell by cell, each shape once (each cell offered to the
// shape is tried once, and once passed over it stays out of the shapes grown
// after it).
int Search::shapes(int g, int rem) {
    shapeTouched_ = 0;
    shapeTop_ = 0;
    shapeFound_ = 0;
    shapeArea_ = g;
    shapeTarget_ = groupSize_[g] + rem;
    for (int m = groupFirst_[g]; m < groupFirst_[g] + groupSize_[g]; ++m) {
        shapeStack_[shapeTop_++] = members_[m];
        inShape_[members_[m]] = 1;
    }
    shapeBase_ = shapeTop_;
    ++borderRound_;
    baseBorderLen_ = 0;
    for (int k = 0; k < shapeBase_; ++k)
        for (int d : orth_) {
            const int n = shapeStack_[k] + d;
            if (colour_[n] != Open || borderStamp_[n] == borderRound_) continue;
            borderStamp_[n] = borderRound_;
            baseBorder_[baseBorderLen_++] = n;
        }
    const int count = offerAround(0, untried_.data(), 0);
    growShape(untried_.data(), count, groupSize_[g]);
    for (int k = 0; k < count; ++k)
        offered_[untried_[k]] = 0;
    for (int k = 0; k < shapeTop_; ++k)
        inShape_[shapeStack_[k]] = 0;
    if (shapeFound_ > kShapeCap) return 0;
    return shapeFound_ == 0 ? -1 : shapeFound_;
}

// Adds `cell` and the clueless white groups beside it to the shape; the
// number of cells added.
int Search::addToShape(int cell) {
    const int base = shapeTop_;
    shapeStack_[shapeTop_++] = cell;
    inShape_[cell] = 1;
    for (int d : orth_) {
        const int n = cell + d;
        if (colour_[n] != Light || inShape_[n]) continue;
        const int o = group_[n];
        for (int m = groupFirst_[o]; m < groupFirst_[o] + groupSize_[o]; ++m) {
            shapeStack_[shapeTop_++] = members_[m];
            inShape_[members_[m]] = 1;
        }
    }
    return shapeTop_ - base;
}

void Search::growShape(int* untried, int count, int size) {
    for (int k = 0; k < count && shapeFound_ <= kShapeCap; ++k) {
        const int base = shapeTop_;
        const int grown = size + addToShape(untried[k]);
        if (grown == shapeTarget_) {
            recordShape();
        } else if (grown < shapeTarget_) {
            int* next = untried + count;
            int m = 0;
            for (int j = k + 1; j < count; ++j)
                next[m++] = untried[j];
            const int fresh = m;
            m = offerAround(base, next, m);
            growShape(next, m, grown);
            for (int j = fresh; j < m; ++j)
                offered_[next[j]] = 0;
        }
        while (shapeTop_ > base)
            inShape_[shapeStack_[--shapeTop_]] = 0;
    }
}

// Offers the shape the undecided cells beside its cells from shapeStack_[base]
// on, not offered before and not beside another area: appended to next[m ..];
// the new length.
int Search::offerAround(int base, int* next, int m) {
    for (int a = base; a < shapeTop_; ++a)
        for (int d : orth_) {
            const int n = shapeStack_[a] + d;
            if (colour_[n] != Open || offered_[n] || inShape_[n] || touchesOtherArea(n, shapeArea_))
                continue;
            offered_[n] = 1;
            next[m++] = n;
        }
    return m;
}

// Counts the shape now on the stack. Only undecided cells are told by the
// counts (and the clueless white cells a shape takes, by its cell count), so
// the area's own cells are not counted and only undecided cells are borders;
// the borders of the area's own cells were listed once in shapes().
void Search::recordShape() {
    ++shapeFound_;
    ++borderRound_;
    for (int k = 0; k < baseBorderLen_; ++k)
        countBorder(baseBorder_[k]);
    for (int k = shapeBase_; k < shapeTop_; ++k) {
        const int c = shapeStack_[k];
        if (shapeCount_[c]++ == 0 && borderCount_[c] == 0) shapeCells_[shapeTouched_++] = c;
        for (int d : orth_)
            countBorder(c + d);
    }
}

void Search::countBorder(int n) {
    if (colour_[n] != Open || inShape_[n] || borderStamp_[n] == borderRound_) return;
    borderStamp_[n] = borderRound_;
    if (borderCount_[n]++ == 0 && shapeCount_[n] == 0) shapeCells_[shapeTouched_++] = n;
}

} // namespace ombrix::analysis
