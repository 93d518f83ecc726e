// The trial search: when the rules stall, paint a candidate cell black and
// then white, follow each hypothesis with the deduction loop, and give the
// cell the colour whose opposite led to a contradiction. Depth two looks at a
// 5 x 5 window round the candidate. One decision per call.
#include "solver.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace ombrix {

void Solver::save(Snapshot& s, int mode) {
    if (mode == 1) {
        std::memcpy(s.cells, b_.cells, sizeof s.cells);
        s.undecidedCount = b_.undecidedCount;

        // The log from the earliest rule start onwards, as far as room
        // allows; a rule whose start falls off runs in full after a restore.
        int first = logLen_;
        for (const std::int32_t from : ruleFrom_)
            if (from >= 0) first = std::min<int>(first, from);
        first = std::max(first, logLen_ - kSnapshotLog);
        s.logLen = logLen_ - first;
        std::memcpy(s.log, changeLog_ + first, sizeof(std::uint16_t) * s.logLen);
        for (int i = 0; i < kRuleCount; ++i)
            s.ruleFrom[i] = ruleFrom_[i] >= first ? ruleFrom_[i] - first : -1;
        s.markedCount = marksUnknown_ || markedCount_ > kSnapshotLog ? -1 : markedCount_;
        if (s.markedCount > 0)
            std::memcpy(s.marked, marked_, sizeof(std::uint16_t) * s.markedCount);

        s.keptLayout = keptIndex_ ? keptLayout_ : -1;
        s.renewedCount = renewedCount_;
        std::memcpy(s.areaCount, areaCount_, sizeof(std::uint16_t) * stampCount());
        std::memcpy(s.areaStamp, areaStamp_, sizeof(std::uint32_t) * stampCount());

        s.groupsBuild = groupsBuild_;
        s.groupsMark = groups_.TrailMark();
        std::copy(std::begin(open_), std::end(open_), s.open);
        std::copy(std::begin(dots_), std::end(dots_), s.dots);
        std::copy(std::begin(inArea_), std::end(inArea_), s.inArea);
        std::copy(std::begin(blacks_), std::end(blacks_), s.blacks);
        s.blackCount = blackCount_;
        // Settle the clue paths once here rather than after every restore.
        if (groups_.live()) everyRegionHasClue();
        s.cluePaths = cluePaths_;
        s.cluePathsFrom = cluePathsFrom_;
        s.newBlackCount = newBlackCount_;
        s.regionWithoutClue = regionWithoutClue_;
        return;
    }
    if (mode != 2) return;
    std::memcpy(b_.cells, s.cells, sizeof s.cells);
    b_.undecidedCount = s.undecidedCount;

    logLen_ = s.logLen;
    ++logGeneration_;
    std::memcpy(changeLog_, s.log, sizeof(std::uint16_t) * s.logLen);
    std::memcpy(ruleFrom_, s.ruleFrom, sizeof ruleFrom_);
    marksUnknown_ = s.markedCount < 0;
    markedCount_ = std::max(s.markedCount, 0);
    if (markedCount_ > 0) std::memcpy(marked_, s.marked, sizeof(std::uint16_t) * markedCount_);

    ++areaEpoch_;
    // Only the areas renewed since the save can differ from the snapshot.
    const bool listed = !renewedOverrun_ && s.renewedCount <= renewedCount_;
    const bool keptSame = keptIndex_ && s.keptLayout == keptLayout_;
    auto restoreArea = [&](int id) {
        // An area whose cells differ from the snapshot's: its witnesses are
        // in doubt.
        if (areaStamp_[id] != s.areaStamp[id]) suspectWitnessesOf(id);
        areaStamp_[id] = s.areaStamp[id];
        if (!keptSame) return;
        // Cells are only ever added past the counts, so the cells below the
        // saved counts are this board's. An area that loses cells starts a
        // new era: what is added next overwrites them.
        if (s.areaCount[id] < areaCount_[id]) ++areaEra_[id];
        areaCount_[id] = s.areaCount[id];
    };
    if (listed) {
        for (int k = s.renewedCount; k < renewedCount_; ++k)
            restoreArea(renewed_[k]);
    } else {
        for (int id = 0; id < stampCount(); ++id)
            restoreArea(id);
    }
    renewedCount_ = std::min(s.renewedCount, renewedCount_);
    renewedOverrun_ = false;
    if (keptSame) {
        // Done above.
    } else if (inDriver_ && incremental) {
        // The index was rebuilt or given up since: lay it out again.
        keepAreaIndex();
        s.keptLayout = keptIndex_ ? keptLayout_ : -1;
        s.renewedCount = renewedCount_;
        if (keptIndex_) std::memcpy(s.areaCount, areaCount_, sizeof(std::uint16_t) * stampCount());
    } else {
        keptIndex_ = false;
    }

    if (groups_.live() && !(s.groupsBuild == groupsBuild_ && groups_.Undo(s.groupsMark))) {
        // The trail ran over: build the groups of the restored board.
        groups_.Build(b_);
        s.groupsBuild = ++groupsBuild_;
        s.groupsMark = 0;
    }
    for (int k = 0; k < kWords; ++k) {
        suspect_[k] |= s.open[k] & ~open_[k]; // undecided again
        open_[k] = s.open[k];
    }
    std::copy(std::begin(s.dots), std::end(s.dots), dots_);
    std::copy(std::begin(s.inArea), std::end(s.inArea), inArea_);
    std::copy(std::begin(s.blacks), std::end(s.blacks), blacks_);
    blackCount_ = s.blackCount;
    cluePaths_ = s.cluePaths;
    cluePathsFrom_ = s.cluePathsFrom;
    newBlackCount_ = s.newBlackCount;
    regionWithoutClue_ = s.regionWithoutClue;
}

// The trial search writes a white dot straight into an undecided cell.
void Solver::paintWhite(int x, int y) {
    b_.state(x, y) = WhiteDot;
    noteChange(x, y);
    decided(x, y);
}

void Solver::SaveOuter(int mode) {
    save(outer_, mode);
}
void Solver::SaveInner(int mode) {
    save(inner_, mode);
}

bool Solver::HasDecidedNeighbour(int x, int y) const {
    for (int u = x - 1; u <= x + 1; ++u) {
        for (int v = y - 1; v <= y + 1; ++v) {
            const int s = b_.state(u, v);
            if (s != Undecided && s != Border) return true;
        }
    }
    return false;
}

void Solver::singleTest(int x, int y, bool& decided) {
    MarkBlack(x, y);
    RunDeduction();
    if (b_.status == StatusContradiction) {
        // Black is impossible: the cell is white.
        SaveOuter(2);
        b_.resumeColumn = static_cast<std::uint32_t>(x);
        b_.status = StatusNone;
        paintWhite(x, y);
        decided = true;
        return;
    }
    const bool blackCompletes = b_.undecidedCount == 0;
    SaveOuter(2);
    paintWhite(x, y);
    RunDeduction();
    if (b_.status == StatusContradiction) {
        // White is impossible: the cell is black.
        SaveOuter(2);
        MarkBlack(x, y);
        b_.resumeColumn = static_cast<std::uint32_t>(x);
        b_.status = StatusNone;
        decided = true;
        return;
    }
    if (b_.undecidedCount == 0 && blackCompletes) {
        // Both colours complete the board: keep the white solution and name
        // the cell that is black in the other one. The quick deduction skips
        // rules and so leaves other scratch marks; the kept board is made by
        // the full one.
        SaveOuter(2);
        paintWhite(x, y);
        const bool wasQuick = quick_;
        quick_ = false;
        RunDeduction();
        quick_ = wasQuick;
        b_.altCellX = static_cast<std::uint32_t>(x);
        b_.altCellY = static_cast<std::uint32_t>(y);
        b_.status = StatusSecondSolution;
        decided = true;
        return;
    }
    SaveOuter(2);
}

// Tries both colours of every undecided window cell on the board as it stands
// (the inner snapshot); true when some cell fails in both colours.
bool Solver::windowBranch(int x, int y, int xlo, int xhi, int ylo, int yhi) {
    for (int u = xlo; u <= xhi; ++u) {
        for (int v = ylo; v <= yhi; ++v) {
            if ((u == x && v == y) || b_.state(u, v) != Undecided) continue;
            MarkBlack(u, v);
            RunDeduction();
            const bool blackFails = b_.status == StatusContradiction;
            SaveInner(2);
            if (blackFails) {
                paintWhite(u, v);
                RunDeduction();
                if (b_.status == StatusContradiction) return true;
                SaveInner(2);
            }
        }
    }
    return false;
}

void Solver::windowTest(int x, int y, bool& decided) {
    const int w = b_.width, h = b_.height;
    const int xlo = x == 1 ? 1 : x - 2;
    const int xhi = x >= w - 1 ? w : x + 2;
    const int ylo = y == 1 ? 1 : y - 2;
    const int yhi = y >= h - 1 ? h : y + 2;

    MarkBlack(x, y);
    RunDeduction();
    SaveInner(1);
    if (windowBranch(x, y, xlo, xhi, ylo, yhi)) {
        SaveOuter(2);
        b_.status = StatusNone;
        paintWhite(x, y);
        decided = true;
        return;
    }
    SaveOuter(2);

    paintWhite(x, y);
    RunDeduction();
    SaveInner(1);
    if (windowBranch(x, y, xlo, xhi, ylo, yhi)) {
        SaveOuter(2);
        MarkBlack(x, y);
        b_.status = StatusNone;
        decided = true;
        return;
    }
    SaveOuter(2);
}

// Sets up what the trial search keeps about the board it starts from.
void Solver::startTrials() {
    std::fill(std::begin(witness_), std::end(witness_), Witness{});
    for (auto& pair : dotWitness_)
        pair[0].id = pair[1].id = 0;
    std::fill(std::begin(witnessHead_), std::end(witnessHead_), -1);
    cluePaths_ = false;
    regionWithoutClue_ = 0;
    newBlackCount_ = 0;
    renewedCount_ = 0;
    renewedOverrun_ = false;
    if (!incremental) return;
    groups_.Build(b_);
    ++groupsBuild_;
    std::fill(std::begin(open_), std::end(open_), 0);
    std::fill(std::begin(dots_), std::end(dots_), 0);
    std::fill(std::begin(inArea_), std::end(inArea_), 0);
    std::fill(std::begin(blacks_), std::end(blacks_), 0);
    std::fill(std::begin(suspect_), std::end(suspect_), ~std::uint64_t{0});
    blackCount_ = 0;
    for (int x = 1; x <= b_.width; ++x) {
        for (int y = 1; y <= b_.height; ++y) {
            const Cell& c = b_.at(x, y);
            setBit(open_, indexOf(x, y), c.state == Undecided);
            setBit(dots_, indexOf(x, y), c.state == WhiteDot);
            setBit(inArea_, indexOf(x, y), c.areaId != 0);
            setBit(blacks_, indexOf(x, y), isBlack(c.state));
            if (isBlack(c.state)) ++blackCount_;
        }
    }
}

void Solver::TrialSearch() {
    const int w = b_.width, h = b_.height;
    startTrials();
    SaveOuter(1);
    // Every deduction below is a hypothesis: its board is kept only when it
    // ends without a contradiction, so it may stop at the first one.
    quick_ = incremental;
    struct Leave {
        Solver& s;
        ~Leave() {
            s.quick_ = false;
            s.groups_.Drop();
        }
    } leave{*this};
    bool decided = false;
    const int resume = static_cast<int>(b_.resumeColumn);
    // First stage: single hypotheses, from the column of the last decision
    // round to the column before it.
    for (int x = resume; x <= w; ++x) {
        for (int y = 1; y <= h; ++y) {
            if (b_.state(x, y) != Undecided || !HasDecidedNeighbour(x, y)) continue;
            singleTest(x, y, decided);
            if (decided) return;
        }
    }
    for (int x = 1; x <= resume - 1 && x <= w; ++x) {
        for (int y = 1; y <= h; ++y) {
            if (b_.state(x, y) != Undecided || !HasDecidedNeighbour(x, y)) continue;
            singleTest(x, y, decided);
            if (decided) return;
        }
    }
    // Second stage: two levels deep inside a window round each candidate.
    b_.resumeColumn = 1;
    if (trace_) trace_->beforeWindowStage(b_);
    for (int x = 1; x <= w; ++x) {
        for (int y = 1; y <= h; ++y) {
            if (b_.state(x, y) != Undecided || !HasDecidedNeighbour(x, y)) continue;
            windowTest(x, y, decided);
            if (decided) return;
        }
    }
    b_.status = StatusUnsolvable;
}

} // namespace ombrix
