// The analysis's fixed point, its single hypotheses and the automatic solver
// as a propagator near the root.
#include "analysis_search.h"

namespace ombrix::analysis {

// `from` as for blockRule. A board that has not changed since it last
// reached the fixed point is left as it is, with the branch cell the rules
// chose then.
bool Search::propagate(int from) {
    if (fixedLen_ == trailLen_) {
        branch_ = fixedBranch_;
        return true;
    }
    for (;;) {
        changed_ = false;
        if (!countRule()) return false;
        if (!tandrel_ && !blockRule(from)) return false;
        if (!areaRules()) return false;
        if (changed_) continue;
        if (!connectRule()) return false;
        if (!changed_) break;
    }
    fixedLen_ = trailLen_;
    fixedBranch_ = branch_;
    return true;
}

// Single hypotheses: a colour whose propagation fails gives the cell the
// other colour, and cells that both colours decide alike are decided. At the
// root every undecided cell next to a decided one is tried; below it, those
// within two cells of what changed since trail position `from`, and again
// round whatever a hypothesis decides. The branch cell is then the tried
// cell whose two colours each decide the most.
bool Search::probe(int from) {
    ++round_;
    probeHead_ = 0;
    probeCount_ = 0;
    if (from < 0) {
        for (int i : cells_)
            enqueueProbe(i);
    } else {
        for (int k = from; k < trailLen_; ++k)
            enqueueAround(trail_[k]);
    }
    int best = -1, bestScore = -1;
    while (probeCount_ > 0) {
        const int i = probeQueue_[probeHead_];
        probeHead_ = (probeHead_ + 1) % n_;
        --probeCount_;
        queued_[i] = 0;
        if (colour_[i] != Open || !nearDecided(i)) continue;
        if (stopRequested()) return true;
        const ProbeOutcome o = probeCell(i);
        if (!o.whiteOk || !o.blackOk || o.agreed > 0) {
            if (!takeProbe(i, o)) return false;
            continue;
        }
        const int score = noisy(o.score);
        if (score > bestScore) bestScore = score, best = i;
    }
    // The rules' own choice, on the board as it now stands, unless a tried
    // cell is better.
    if (!propagate()) return false;
    if (best >= 0 && colour_[best] == Open) branch_ = best;
    return true;
}

void Search::enqueueProbe(int c) {
    if (colour_[c] != Open || queued_[c] == round_) return;
    queued_[c] = round_;
    probeQueue_[(probeHead_ + probeCount_++) % n_] = c;
}

void Search::enqueueAround(int c) {
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const int n = c + dy * stride_ + dx;
            if (n >= 0 && n < n_) enqueueProbe(n);
        }
}

bool Search::nearDecided(int i) const {
    bool near = false;
    for (int d : ring_)
        near |= colour_[i + d] == Dark || colour_[i + d] == Light;
    return near;
}

// Both colours of cell i, each propagated and undone. The cells both decide
// alike go to decisions_ (cell * 4 + colour); the score is the product of
// what each decides.
Search::ProbeOutcome Search::probeCell(int i) {
    const int mark = trailLen_;
    set(i, Light);
    ProbeOutcome o{propagate(mark), true, 0, 0};
    const int whiteGain = trailLen_ - mark;
    ++probe_;
    for (int k = mark; k < trailLen_; ++k) {
        probeSeen_[trail_[k]] = probe_;
        probeColour_[trail_[k]] = colour_[trail_[k]];
    }
    undo(mark);
    int blackGain = 0;
    if (o.whiteOk) {
        set(i, Dark);
        o.blackOk = propagate(mark);
        blackGain = trailLen_ - mark;
        if (o.blackOk)
            for (int k = mark; k < trailLen_; ++k) {
                const int c = trail_[k];
                if (probeSeen_[c] == probe_ && probeColour_[c] == colour_[c])
                    decisions_[o.agreed++] = c * 4 + colour_[c];
            }
        undo(mark);
    }
    o.score = (whiteGain + 1) * (blackGain + 1) * 4;
    return o;
}

// Takes what trying cell i decided, propagates it and queues the cells round
// every change.
bool Search::takeProbe(int i, const ProbeOutcome& o) {
    const int mark = trailLen_;
    if (!o.whiteOk) set(i, Dark);
    if (!o.blackOk) set(i, Light);
    for (int k = 0; k < o.agreed; ++k)
        if (!set(decisions_[k] >> 2, static_cast<Colour>(decisions_[k] & 3))) return false;
    if (!propagate(mark)) return false;
    for (int k = mark; k < trailLen_; ++k)
        enqueueAround(trail_[k]);
    return true;
}

// Later restarts weigh the scores with a little noise, so that they do not
// retrace the runs before them.
int Search::noisy(int score) {
    if (!noise_) return score;
    rng_ ^= rng_ << 13, rng_ ^= rng_ >> 7, rng_ ^= rng_ << 17;
    return score + static_cast<int>(rng_ % static_cast<std::uint64_t>(score));
}

// The automatic solver's driver (rule passes and trial searches, window stage
// included) on the clues and the cells decided so far. Every rule it applies
// and every decision of its trial search holds in every solution, so a
// contradiction ends the branch and the cells it decides are taken over. Its
// second-solution outcome leaves its board on one of two complete boards,
// which says nothing about this node: nothing is taken over then. Its window
// stage refutes some branches that single hypotheses do not, but a call costs
// about as much as a hundred nodes, so it runs only in the first levels, a
// limited number of times for both searches together, and no more once
// calls in a row have neither failed nor decided a cell: on most boards that
// need the search, single hypotheses already find all it would.
bool Search::solverStep() {
    Shared& sh = *shared_;
    if (!solver_ || open_ == 0 || sh.solverCalls >= kSolverStepCalls ||
        sh.solverIdle >= kSolverStepIdle || static_cast<int>(frames_.size()) > kSolverStepDepth)
        return true;
    ++sh.solverCalls;
    ++sh.solverIdle;
    Board& b = *work_;
    b = puzzle_;
    solver_->PrepareBoard();
    if (b.status != StatusNone) return b.status != StatusContradiction;
    markDecided();
    if (b.status == StatusNone) solver_->SolveOn();
    if (b.status == StatusContradiction) {
        sh.solverIdle = 0;
        return false;
    }
    if (b.status == StatusSecondSolution) return true;
    const int mark = trailLen_;
    const bool ok = takeSolverCells();
    if (!ok || trailLen_ > mark) sh.solverIdle = 0;
    return ok;
}

// The cells decided here, marked on the solver's board (until it fails).
void Search::markDecided() {
    const Board& b = *work_;
    for (int x = 1; x <= w_ && b.status == StatusNone; ++x)
        for (int y = 1; y <= h_ && b.status == StatusNone; ++y) {
            const int i = index(x, y);
            if (clue_[i] || puzzle_.state(x, y) == GivenBlack) continue;
            if (colour_[i] == Dark)
                solver_->MarkBlack(x, y);
            else if (colour_[i] == Light)
                solver_->MarkWhite(x, y);
        }
}

bool Search::takeSolverCells() {
    const Board& b = *work_;
    const int mark = trailLen_;
    for (int x = 1; x <= w_; ++x)
        for (int y = 1; y <= h_; ++y) {
            const int i = index(x, y);
            const std::uint8_t s = b.state(x, y);
            if (colour_[i] == Open && s != Undecided && !set(i, isBlack(s) ? Dark : Light))
                return false;
        }
    if (trailLen_ == mark) return true;
    return propagate(mark) && probe(mark);
}

} // namespace ombrix::analysis
