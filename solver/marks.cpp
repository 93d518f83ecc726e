// The three elementary operations through which every rule changes the board,
// and the deduction loop that runs the rule passes to a standstill.
#include "solver.h"

namespace ombrix {

namespace {
// Orthogonal neighbours in the order up, left, down, right.
constexpr int kOrthX[4] = {0, -1, 0, 1};
constexpr int kOrthY[4] = {-1, 0, 1, 0};
// Diagonal neighbours in the order up-left, down-left, down-right, up-right.
constexpr int kDiagX[4] = {-1, -1, 1, 1};
constexpr int kDiagY[4] = {-1, 1, 1, -1};
} // namespace

void Solver::MarkBlack(int x, int y) {
    std::uint8_t& s = b_.state(x, y);
    if (isWhite(s)) {
        b_.status = StatusContradiction;
        return;
    }
    if (s == Undecided) {
        --b_.undecidedCount;
        s = Black;
        b_.changed = 1;
        noteChange(x, y);
        decided(x, y);
    }
    // Border, black and given black cells: nothing to do. Rules rely on this
    // and paint neighbours without testing for the border.
}

void Solver::MarkWhite(int x, int y) {
    std::uint8_t& s = b_.state(x, y);
    if (isWall(s)) {
        b_.status = StatusContradiction;
        return;
    }
    if (s == Undecided) {
        s = WhiteDot;
        b_.changed = 1;
        noteChange(x, y);
        decided(x, y);
    }
}

// Whether (x, y) touches a cell of an unfinished area other than `id`
// (orthogonally, or under Tandrel also diagonally).
bool Solver::touchesOtherArea(int x, int y, std::uint16_t id) const {
    auto other = [&](int cx, int cy) {
        const std::uint16_t a = b_.at(cx, cy).areaId;
        return a != 0 && a != id;
    };
    for (int i = 0; i < 4; ++i)
        if (other(x + kOrthX[i], y + kOrthY[i])) return true;
    if (!b_.tandrel()) return false;
    for (int i = 0; i < 4; ++i)
        if (other(x + kDiagX[i], y + kDiagY[i])) return true;
    return false;
}

void Solver::JoinArea(int x, int y, int sx, int sy) {
    Cell& cell = b_.at(x, y);
    const std::uint8_t c = cell.state;
    const std::uint16_t id = b_.at(sx, sy).areaId;
    // Touching a cell of another unfinished area is a contradiction; the
    // source itself carries id and passes.
    if (isWall(c) || touchesOtherArea(x, y, id)) b_.status = StatusContradiction;
    if (b_.status == StatusContradiction) return;
    if (c != Undecided && c != WhiteDot) return; // already in an area: a check only

    b_.changed = 1;
    --b_.undecidedCount;
    ++index_.epoch;
    const std::uint8_t source = b_.state(sx, sy);
    cell.state = areaCellOf(source);
    cell.areaId = id;
    noteChange(x, y);
    renewStamp(id);
    if (keptSets()) {
        if (c == WhiteDot) setBit(kept_.dots, indexOf(x, y), false);
        setBit(kept_.inArea, indexOf(x, y), true);
    }
    if (index_.kept) keepJoin(id, x, y);
    if (c == Undecided) decided(x, y);
    if (source == 2) finishClueTwo(x, y, sx, sy);
}

// A clue 2 at (sx, sy) has just got its second cell (x, y): the area is
// complete, so everything round both cells is black.
void Solver::finishClueTwo(int x, int y, int sx, int sy) {
    for (int i = 0; i < 4; ++i) {
        const int nx = x + kOrthX[i], ny = y + kOrthY[i];
        if (nx != sx || ny != sy) MarkBlack(nx, ny);
    }
    for (int i = 0; i < 4; ++i) {
        const int nx = sx + kOrthX[i], ny = sy + kOrthY[i];
        if (nx != x || ny != y) MarkBlack(nx, ny);
    }
    if (b_.tandrel()) {
        // This sweep goes up-left, down-left, up-right, down-right.
        static constexpr int dx[4] = {-1, -1, 1, 1};
        static constexpr int dy[4] = {-1, 1, -1, 1};
        for (int i = 0; i < 4; ++i)
            MarkBlack(x + dx[i], y + dy[i]);
        for (int i = 0; i < 4; ++i)
            MarkBlack(sx + dx[i], sy + dy[i]);
    }
    b_.at(x, y).areaId = 0;
    b_.at(sx, sy).areaId = 0;
    noteChange(sx, sy);
    if (keptSets()) {
        setBit(kept_.inArea, indexOf(x, y), false);
        setBit(kept_.inArea, indexOf(sx, sy), false);
    }
}

// Undecided cell (x, y) has just been decided: the trial search's kept sets
// follow.
void Solver::decided(int x, int y) {
    if (!keptSets()) return;
    kept_.groups.Decided(b_, x, y);
    const int i = indexOf(x, y);
    const std::uint8_t s = b_.state(x, y);
    setBit(kept_.open, i, false);
    if (isBlack(s)) {
        setBit(kept_.blacks, i, true);
        paths_.newBlack[paths_.newBlackCount++] = static_cast<std::uint16_t>(i);
        ++kept_.blackCount;
        suspectInLine(x, y);
    } else if (s == WhiteDot) {
        setBit(kept_.dots, i, true);
    }
}

void Solver::noteChange(int x, int y) {
    if (log_.len == kLogCapacity) forgetChanges();
    log_.cells[log_.len++] = static_cast<std::uint16_t>(x * kGridHeight + y);
}

// Starts the log afresh: every rule runs in full next time.
void Solver::forgetChanges() {
    log_.len = 0;
    ++log_.generation;
    for (std::int32_t& from : log_.ruleFrom)
        from = -1;
}

// Whether the rule cannot act now: nothing has changed since the start of
// its last run, which changed nothing, or only cells it does not look at.
bool Solver::cannotAct(Rule rule) const {
    const int from = log_.ruleFrom[index(rule)];
    if (from < 0) return false;
    if (from == log_.len) return true;
    // The rule's own changes are always ones it looks at, so a run that
    // changed something never passes the tests below.
    auto touchesWhite = [&](int i) {
        return isWhite(cellAt(i).state) || isWhite(cellAt(i - 1).state) ||
               isWhite(cellAt(i + 1).state) || isWhite(cellAt(i - kGridHeight).state) ||
               isWhite(cellAt(i + kGridHeight).state);
    };
    switch (kRules[index(rule)].skip) {
    case Skip::NoWhiteTouched:
        // The rule walks white cells (areas, dots) and looks only at their
        // neighbours.
        for (int k = from; k < log_.len; ++k)
            if (touchesWhite(log_.cells[k])) return false;
        return true;
    case Skip::NoNewBlack:
        for (int k = from; k < log_.len; ++k)
            if (isBlack(cellAt(log_.cells[k]).state)) return false;
        return true;
    case Skip::Unchanged:
    case Skip::NoChangeNear: // the rule's scan looks only near the changes
        return false;
    }
    return false;
}

void Solver::runRule(Rule rule, bool traced) {
    const int i = index(rule);
    if (quick_ && !trace_ && cannotAct(rule)) {
        // The rule is a function of the board, so it would change nothing.
        if (rule == Rule::WhiteDotEscape) dotMarksSkipped_ = true;
        log_.ruleFrom[i] = log_.len;
        return;
    }
    if (rule == Rule::WhiteDotEscape) dotMarksSkipped_ = false;
    // The run's changes are the log from `from` on (unless the log starts
    // afresh on the way).
    const int from = log_.len;
    const std::uint32_t generation = log_.generation;
    const bool diff = trace_ && traced && trace_->wantsChanges();
    if (diff)
        for (int x = 1; x <= b_.width; ++x)
            for (int y = 1; y <= b_.height; ++y)
                traceBefore_[indexOf(x, y)] = b_.state(x, y);
    (this->*kRules[i].run)();
    // Every cell the run changed is in the log after `from`, so the rule is
    // known quiet at `from` as far as those changes are looked at again.
    const bool known = generation == log_.generation && b_.status != StatusContradiction;
    log_.ruleFrom[i] = known ? from : -1;
    if (!trace_ || !traced) return;
    int changed = 0;
    if (diff)
        for (int x = 1; x <= b_.width; ++x)
            for (int y = 1; y <= b_.height; ++y)
                if (const std::uint8_t was = traceBefore_[indexOf(x, y)]; was != b_.state(x, y))
                    traceChanges_[changed++] = {static_cast<std::uint8_t>(x),
                                                static_cast<std::uint8_t>(y), was, b_.state(x, y)};
    trace_->afterRule({rule, kRules[i].name, {traceChanges_, static_cast<std::size_t>(changed)}},
                      b_);
}

void Solver::runPass(bool secondPass) {
    for (const RuleInfo& rule : kRules) {
        if (stopped()) return;
        if (rule.secondPass != secondPass || (rule.ombrixOnly && !b_.ombrix())) continue;
        runRule(rule.id);
    }
}

void Solver::RunDeduction() {
    const bool wasInDriver = inDriver_;
    if (!inDriver_) {
        // The board may have changed behind our back.
        forgetChanges();
        boardMayHaveChanged();
        marks_.unknown = true;
    }
    inDriver_ = true;
    b_.status = StatusNone;
    for (;;) {
        b_.changed = 0;
        runPass(false);
        // The loop checks blocks twice a pass.
        if (b_.ombrix() && !stopped()) runRule(Rule::BlackBlocks, false);
        if (b_.changed == 0 && !stopped()) runPass(true);
        if (b_.status == StatusContradiction) break;
        if (b_.changed == 0) {
            b_.status = StatusUnsolvable;
            break;
        }
    }
    inDriver_ = wasInDriver;
}

} // namespace ombrix
