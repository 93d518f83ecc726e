// The candidate scan: how a local rule, written as the rule at one cell, runs
// over the board. In the trial search it looks only at the cells of its kind
// within its radius of the changes since its last run (the change log); else
// it visits every cell. Included by the files that hold local rules, so that
// each rule is instantiated (and inlined) beside its scan.
#pragma once

#include "solver.h"

#include <algorithm>
#include <bit>
#include <iterator>

namespace ombrix {

// The cells within `radius` of (x, y), and after `after` in scan order, join
// the candidates.
inline void Solver::addCandidates(int x, int y, int radius, int after, std::uint64_t* bits) {
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

// The cells near the changes are marked once per pass for all the local
// rules, from the earliest of their starts (more cells than a rule needs only
// costs a look), and brought up to date as the log grows. `restart`: the
// first local rule of a pass starts them afresh.
inline void Solver::markNearChanges(bool restart, int from) {
    if (restart || sharedGeneration_ != log_.generation || from < sharedFrom_ ||
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
}

// The changes a scan made at cell i (the log past `seen`) make the cells
// within `radius` of them after i candidates; if the log started afresh
// under the scan, every later cell is.
inline void Solver::takeInChanges(int i, int radius, int& seen, std::uint32_t& generation) {
    if (generation != log_.generation) {
        for (int x = i / kGridHeight; x <= b_.width; ++x)
            addCandidates(x, (b_.height + 1) / 2, std::max<int>(b_.height, 1), i);
        generation = log_.generation;
        seen = log_.len;
    }
    for (; seen < log_.len; ++seen)
        addCandidates(log_.cells[seen] / kGridHeight, log_.cells[seen] % kGridHeight, radius, i);
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
    markNearChanges(R == firstLocalRule(), from);
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
            takeInChanges(i, radius, seen, generation);
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

} // namespace ombrix
