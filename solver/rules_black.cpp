// The rules over the black cells as a whole: one connected group of exactly
// the budget's size, and no more black cells than the budget. (The 2 x 2
// block check is a local rule.)
#include "solver.h"

namespace ombrix {

// All black cells form one group of exactly blackBudget cells: a larger group
// is a contradiction, a group of exactly that size leaves every undecided cell
// white, and a smaller one with a single undecided neighbour extends into it.
void Solver::RuleBlackConnected() {
    if (quick_) {
        // The kept groups answer at once, unless a group is full-sized or
        // shut in; then the walk below settles it.
        int ex = 0, ey = 0;
        const BlackGroups::Verdict v = kept_.groups.Connectivity(b_.blackBudget, ex, ey);
        if (v == BlackGroups::Verdict::Quiet) return;
        if (v == BlackGroups::Verdict::Extend) {
            MarkBlack(ex, ey);
            return;
        }
    }
    ClearMarks();
    const int w = b_.width, h = b_.height;
    for (int x = 1; x <= w; ++x) {
        for (int y = 1; y <= h; ++y) {
            const Cell& c = b_.at(x, y);
            if (!isBlack(c.state) || c.mark != MarkNone) continue;
            const int e = WalkBlackGroup(x, y);
            const int s = visitedCount;
            if (s > b_.blackBudget) {
                b_.status = StatusContradiction;
            } else if (s == b_.blackBudget) {
                WhitenUndecided();
            } else if (e == 1) {
                MarkBlack(lastExitX, lastExitY);
                return;
            } else if (e == 0) {
                b_.status = StatusContradiction;
            }
        }
    }
}

void Solver::WhitenUndecided() {
    for (int x = 1; x <= b_.width; ++x)
        for (int y = 1; y <= b_.height; ++y)
            if (b_.state(x, y) == Undecided) MarkWhite(x, y);
}

void Solver::CheckBlackCount() {
    if (keptSets()) {
        // The trial search counts black cells as they are painted.
        if (b_.blackBudget < kept_.blackCount) b_.status = StatusContradiction;
        return;
    }
    int count = 0;
    for (int x = 1; x <= b_.width; ++x)
        for (int y = 1; y <= b_.height; ++y)
            if (isBlack(b_.state(x, y))) ++count;
    if (b_.blackBudget < count) b_.status = StatusContradiction;
}

} // namespace ombrix
