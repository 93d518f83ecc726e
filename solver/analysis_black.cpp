// The analysis's rules on the black cells: their count, 2 x 2 blocks and
// their connectivity (the articulation cells of the cells that may be black).
#include "analysis_search.h"

#include <algorithm>

namespace ombrix::analysis {

// The black cells of any solution number exactly the budget.
bool Search::countRule() {
    if (blacks_ > budget_ || blacks_ + open_ < budget_) return false;
    if (open_ == 0 || (blacks_ != budget_ && blacks_ + open_ != budget_)) return true;
    const Colour c = blacks_ == budget_ ? Light : Dark;
    for (int i : cells_)
        if (colour_[i] == Open) set(i, c);
    return true;
}

// Ombrix: no 2 x 2 block is all black. With `from` >= 0 the board was
// settled at trail position `from`, and only blocks round the cells blackened
// since then are looked at.
bool Search::blockRule(int from) {
    if (from < 0) {
        for (int x = 1; x < w_; ++x)
            for (int y = 1; y < h_; ++y)
                if (!blockAt(x, y)) return false;
        return true;
    }
    for (int k = from; k < trailLen_; ++k) {
        const int c = trail_[k];
        if (colour_[c] != Dark) continue;
        const int x = c % stride_, y = c / stride_;
        for (int dx = -1; dx <= 0; ++dx)
            for (int dy = -1; dy <= 0; ++dy)
                if (x + dx >= 1 && x + dx < w_ && y + dy >= 1 && y + dy < h_ &&
                    !blockAt(x + dx, y + dy))
                    return false;
    }
    return true;
}

// The block whose top left cell is (x, y): four black cells fail, three
// whiten the fourth.
bool Search::blockAt(int x, int y) {
    const int q[4] = {index(x, y), index(x + 1, y), index(x, y + 1), index(x + 1, y + 1)};
    int dark = 0, open = -1;
    for (int i : q) {
        if (colour_[i] == Dark)
            ++dark;
        else if (colour_[i] == Open)
            open = i;
    }
    if (dark == 4) return false;
    if (dark == 3 && open >= 0) set(open, Light);
    return true;
}

// All black cells in one group of the cells that may be black: a cell whose
// removal would split them is black, and undecided cells cut off from every
// black cell are white.
bool Search::connectRule() {
    if (blacks_ == 0) return true;
    int root = -1;
    std::fill(disc_.begin(), disc_.end(), 0);
    for (std::size_t k = 0; root < 0 && k < cells_.size(); ++k)
        if (colour_[cells_[k]] == Dark) root = cells_[k];
    int pending = 0;
    if (articulationWalk(root, pending) < blacks_) return false;
    for (int k = 0; k < pending; ++k)
        if (!set(queue_[k], Dark)) return false;
    for (int i : cells_)
        if (colour_[i] == Open && disc_[i] == 0 && !set(i, Light)) return false;
    return true;
}

// Depth first from `root` over the cells that may be black (Tarjan's low
// links, without recursion); the black cells it visits. The undecided cells
// that separate black cells from the root go to queue_[0 .. pending).
int Search::articulationWalk(int root, int& pending) {
    int timer = 0, top = 0, visitedBlack = 0;
    disc_[root] = low_[root] = ++timer;
    parent_[root] = -1;
    below_[root] = 1;
    next_[root] = 0;
    stack_[top++] = root;
    while (top > 0) {
        const int v = stack_[top - 1];
        // v's neighbours from the next untried one on, until one is new.
        int k = next_[v], low = low_[v], child = -1;
        while (k < 4) {
            const int n = v + orth_[k++];
            const int col = colour_[n];
            if (col != Open && col != Dark) continue;
            if (disc_[n] == 0) {
                disc_[n] = low_[n] = ++timer;
                parent_[n] = v;
                below_[n] = col == Dark ? 1 : 0;
                next_[n] = 0;
                child = n;
                break;
            }
            if (n != parent_[v] && disc_[n] < low) low = disc_[n];
        }
        next_[v] = k;
        low_[v] = low;
        if (child >= 0) {
            stack_[top++] = child;
            continue;
        }
        --top;
        if (colour_[v] == Dark) ++visitedBlack;
        closeCutNode(v, pending);
    }
    return visitedBlack;
}

// Cell v is done: its low link and black cells go to its parent p, and p
// separates v's subtree, which holds black cells, from the root.
void Search::closeCutNode(int v, int& pending) {
    const int p = parent_[v];
    if (p < 0) return;
    if (low_[v] < low_[p]) low_[p] = low_[v];
    below_[p] += below_[v];
    if (low_[v] >= disc_[p] && below_[v] > 0 && colour_[p] == Open) queue_[pending++] = p;
}

} // namespace ombrix::analysis
