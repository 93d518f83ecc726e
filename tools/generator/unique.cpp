#include "unique.h"

#include "random.h"

#include "analysis.h"
#include "analysis_learn.h"
#include "solver.h"
#include "uistate.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace ombrix {

namespace {

// Nodes the analysis may spend on one question; a painting that needs more is
// dropped for the next one. A change judged for grade 3 or 4 gets fewer: a
// proof of one solution takes a few hundred nodes at most, and the rare
// candidate the analysis cannot settle quickly costs seconds per thousand
// nodes on large boards.
constexpr std::uint64_t kNodeLimit = 20000;
constexpr std::uint64_t kChangeNodeLimit = 2000;
// Areas of a single cell: at most one per this many cells.
constexpr int kCellsPerSingle = 25;
// One change of the painting per this many cells the deductions leave open.
constexpr int kStallPerChange = 12;
// Under Tandrel, areas are seeded at up to this many cells and then fill the
// walls up to the cap, before the clues are set: many small areas that the
// deductions settle, joined into larger ones later.
constexpr int kTandrelSeedArea = 2;
constexpr int kTandrelAreaCap = 9;
// An attempt ends when this many steps have not left fewer cells open.
constexpr int kPatience = 20;
// One in this many changes at an open white cell puts its area's clue there.
constexpr int kMoveHere = 2;
// A stuck painting with at most this many open cells goes to the whole solver.
constexpr int kWholeSolveOpen = 40;
// Shakes of a stuck painting before a fresh start, and changes per shake.
constexpr int kKicks = 5;
constexpr int kKickChanges = 3;
// A change is judged by the open cells within this distance of it.
constexpr int kNear = 3;
// Runs of the whole automatic solver a painting may spend on a harder
// grade, besides one per area.
constexpr int kHardRuns = 12;
// Without a grade asked for: whole-solver runs (broken off before the window
// stage) for joins of grade 2, besides one per eight areas.
constexpr int kAnyGradeRuns = 4;
// Clue moves tried when no join makes the puzzle harder, and the analyses a
// painting may spend on grade 4.
constexpr int kMoves = 8;
constexpr int kAnalyses = 6;
// Clues taken away at once: one per this many cells.
constexpr int kCellsPerJoin = 64;
// Given black cells (Tandrel): at most one per this many cells, and at most
// this many more where a harder grade is sought.
constexpr int kCellsPerGiven = 25;
constexpr int kLateGiven = 2;
// Worker threads at most, and how often the cancel flag and the time limit
// are looked at while the workers run.
constexpr int kMaxThreads = 16;
constexpr int kWatchMs = 10;

constexpr int kDx[4] = {0, -1, 0, 1}, kDy[4] = {-1, 0, 1, 0};

// The painting being made into a puzzle: black cells, given black cells and
// clue cells on a grid with a ring of border cells, and its areas.
class Maker {
  public:
    Maker(const UniqueOptions& o, Random& rng)
        : w_(o.width), h_(o.height), tandrel_(o.ruleSet == RuleSetTandrel), symmetric_(o.symmetric),
          rng_(rng) {
        const std::size_t n = static_cast<std::size_t>((w_ + 2) * (h_ + 2));
        black_.assign(n, 0);
        given_.assign(n, 0);
        clue_.assign(n, 0);
        comp_.assign(n, -1);
        // Small areas first: many clues make a puzzle unique sooner; joining
        // areas afterwards takes clues away again.
        maxArea_ = 4;
    }

    int idx(int x, int y) const { return y * (w_ + 2) + x; }
    int cx(int i) const { return i % (w_ + 2); }
    int cy(int i) const { return i / (w_ + 2); }
    bool inside(int i) const {
        const int x = cx(i), y = cy(i);
        return x >= 1 && x <= w_ && y >= 1 && y <= h_;
    }
    int mirror(int i) const { return idx(w_ + 1 - cx(i), h_ + 1 - cy(i)); }
    bool black(int i) const { return inside(i) && black_[static_cast<std::size_t>(i)]; }
    bool white(int i) const { return inside(i) && !black_[static_cast<std::size_t>(i)]; }
    int step(int i, int d) const { return i + kDx[d] + kDy[d] * (w_ + 2); }

    // Paints a random valid board (Ombrix): a black network grown from one
    // cell (and its mirror) until every area is small enough. False when the result
    // breaks a rule (then the caller paints again).
    bool paint() {
        std::fill(black_.begin(), black_.end(), 0);
        std::fill(given_.begin(), given_.end(), 0);
        std::fill(clue_.begin(), clue_.end(), 0);
        const int start = idx(1 + rng_.below(w_), 1 + rng_.below(h_));
        set(start, 1);
        if (symmetric_) set(mirror(start), 1);
        std::vector<int> candidates;
        for (;;) {
            label();
            candidates.clear();
            for (int y = 1; y <= h_; ++y)
                for (int x = 1; x <= w_; ++x) {
                    const int i = idx(x, y);
                    if (white(i) && size(i) > maxArea_ && canPaint(i)) candidates.push_back(i);
                }
            if (candidates.empty()) break;
            // Symmetric: the cells may all be left without a mirror that can
            // turn black with them, and then the painting is given up.
            if (symmetric_ && std::none_of(candidates.begin(), candidates.end(),
                                           [&](int i) { return canPaintPair(i); }))
                return false;
            for (int k = 0; k < 4 && !candidates.empty(); ++k) {
                const std::size_t j =
                    static_cast<std::size_t>(rng_.below(static_cast<int>(candidates.size())));
                const int i = candidates[j];
                candidates[j] = candidates.back();
                candidates.pop_back();
                if (!canPaint(i)) continue;
                set(i, 1);
                if (symmetric_ && mirror(i) != i && !black(mirror(i))) {
                    if (canPaint(mirror(i)))
                        set(mirror(i), 1);
                    else
                        set(i, 0);
                }
            }
        }
        return valid() && placeClues();
    }

    // Paints a valid board the other way round: every cell black, then areas
    // grown one at a time from seeds taken in random order, each to a random
    // size of 2..`largest` cells. A cell turns white only where the black
    // cells stay connected around it and it touches no other area (under
    // Tandrel not even at a corner), so walls stay thin.
    bool paintAreas(int largest, int fill) {
        std::vector<int> sizes;
        for (int i = 0; i < static_cast<int>(black_.size()); ++i)
            black_[static_cast<std::size_t>(i)] = inside(i) ? 1 : 0;
        std::fill(given_.begin(), given_.end(), 0);
        std::fill(clue_.begin(), clue_.end(), 0);
        std::fill(comp_.begin(), comp_.end(), -1);
        std::vector<int> order;
        for (int y = 1; y <= h_; ++y)
            for (int x = 1; x <= w_; ++x)
                order.push_back(idx(x, y));
        for (std::size_t i = order.size(); i > 1; --i)
            std::swap(order[i - 1],
                      order[static_cast<std::size_t>(rng_.below(static_cast<int>(i)))]);
        int id = 0, singles = 0;
        std::vector<int> area, frontier;
        for (int s : order) {
            if (!canWhiten(s, id, symmetric_ ? id + 1 : -1)) continue;
            const int target = 2 + rng_.below(largest - 1);
            area.assign(1, s);
            whiten(s, id, id + 1);
            while (static_cast<int>(area.size()) < target) {
                frontier.clear();
                for (int c : area)
                    for (int d = 0; d < 4; ++d) {
                        const int n = step(c, d);
                        if (canWhiten(n, id, symmetric_ ? id + 1 : -1)) frontier.push_back(n);
                    }
                if (frontier.empty()) break;
                const int n = frontier[static_cast<std::size_t>(
                    rng_.below(static_cast<int>(frontier.size())))];
                area.push_back(n);
                whiten(n, id, id + 1);
            }
            if (area.size() == 1 && ++singles > singles_) {
                for (int k : {s, mirror(s)})
                    if (k == s || symmetric_) {
                        set(k, 1);
                        comp_[static_cast<std::size_t>(k)] = -1;
                    }
                continue;
            }
            sizes.resize(static_cast<std::size_t>(id + 2), 0);
            sizes[static_cast<std::size_t>(id)] = static_cast<int>(area.size());
            sizes[static_cast<std::size_t>(id + 1)] = static_cast<int>(area.size());
            id += symmetric_ ? 2 : 1;
        }
        // Then the areas grow into the walls wherever a cell touches one area
        // only: black cells stay where they must part two areas.
        for (int round = 0; round < 2; ++round)
            for (int s : order) {
                if (!black(s)) continue;
                int owner = -1;
                for (int d = 0; d < 4 && owner < 0; ++d)
                    if (white(step(s, d))) owner = comp_[static_cast<std::size_t>(step(s, d))];
                if (owner < 0 || sizes[static_cast<std::size_t>(owner)] >= fill) continue;
                const int mo = symmetric_ ? (owner % 2 ? owner - 1 : owner + 1) : -1;
                if (!canWhiten(s, owner, mo)) continue;
                whiten(s, owner, mo);
                ++sizes[static_cast<std::size_t>(owner)];
                if (symmetric_) ++sizes[static_cast<std::size_t>(mo)];
            }
        return valid() && placeClues();
    }

    // Turns cell i (and its mirror) to the other colour if the painting stays
    // valid; clues follow the new areas. Undone when not.
    bool flip(int i) {
        const auto saved = std::make_tuple(black_, given_, clue_);
        const std::uint8_t to = black(i) ? 0 : 1;
        set(i, to);
        given_[static_cast<std::size_t>(i)] = 0;
        if (symmetric_) {
            set(mirror(i), to);
            given_[static_cast<std::size_t>(mirror(i))] = 0;
        }
        if (valid() && placeClues()) return true;
        std::tie(black_, given_, clue_) = saved;
        label();
        return false;
    }

    struct Saved {
        std::vector<std::uint8_t> black, given, clue;
    };
    Saved save() const { return {black_, given_, clue_}; }
    // Undoes the one change that took the painting from `before` to `after`,
    // leaving later changes elsewhere in place.
    void revert(const Saved& before, const Saved& after) {
        for (std::size_t k = 0; k < black_.size(); ++k) {
            if (before.black[k] != after.black[k]) black_[k] = before.black[k];
            if (before.given[k] != after.given[k]) given_[k] = before.given[k];
            if (before.clue[k] != after.clue[k]) clue_[k] = before.clue[k];
        }
    }
    // After reverts: valid again, with one clue per area?
    bool settle() { return valid() && placeClues(); }
    void restore(const Saved& s) {
        black_ = s.black;
        given_ = s.given;
        clue_ = s.clue;
        label();
    }

    // Gives the black cell i (and its mirror) with the puzzle.
    void give(int i) {
        given_[static_cast<std::size_t>(i)] = 1;
        if (symmetric_) given_[static_cast<std::size_t>(mirror(i))] = 1;
    }
    // Takes the given black cell i (and its mirror) back: black to be found.
    void take(int i) {
        given_[static_cast<std::size_t>(i)] = 0;
        if (symmetric_) given_[static_cast<std::size_t>(mirror(i))] = 0;
    }
    bool given(int i) const { return given_[static_cast<std::size_t>(i)] != 0; }
    // The given black cells, one of each mirrored pair.
    std::vector<int> givenCells() const {
        std::vector<int> out;
        for (int i = 0; i < static_cast<int>(given_.size()); ++i)
            if (given(i) && (!symmetric_ || i <= mirror(i))) out.push_back(i);
        return out;
    }
    int givenCount() const { return static_cast<int>(std::count(given_.begin(), given_.end(), 1)); }

    // Moves the clue of the area of white cell i to another of its cells
    // (mirrored with it); false when the area has one cell or a fixed clue.
    bool moveClue(int i, bool here = false) {
        const int c = comp_[static_cast<std::size_t>(i)];
        const std::vector<int>& cells = areaCells_[static_cast<std::size_t>(c)];
        if (cells.size() < 2) return false;
        if (symmetric_ && comp_[static_cast<std::size_t>(mirror(i))] == c) return false;
        for (int j : cells)
            clue_[static_cast<std::size_t>(j)] = 0;
        const int to =
            here ? i : cells[static_cast<std::size_t>(rng_.below(static_cast<int>(cells.size())))];
        clue_[static_cast<std::size_t>(to)] = 1;
        if (symmetric_) {
            const int m = comp_[static_cast<std::size_t>(mirror(i))];
            for (int j : areaCells_[static_cast<std::size_t>(m)])
                clue_[static_cast<std::size_t>(j)] = 0;
            clue_[static_cast<std::size_t>(mirror(to))] = 1;
        }
        return true;
    }

    void toBoard(Board& b, int ruleSet) const {
        UiState ui;
        b.width = static_cast<std::uint8_t>(w_);
        b.height = static_cast<std::uint8_t>(h_);
        b.ruleSet = static_cast<std::uint8_t>(ruleSet);
        ResetBoard(b, ui);
        for (int y = 1; y <= h_; ++y)
            for (int x = 1; x <= w_; ++x) {
                const std::size_t i = static_cast<std::size_t>(idx(x, y));
                if (clue_[i])
                    b.state(x, y) = static_cast<std::uint8_t>(size(static_cast<int>(i)));
                else if (given_[i])
                    b.state(x, y) = GivenBlack;
            }
    }

    // How many areas of a single cell a valid painting may have.
    void allowSingles(int n) { singles_ = n; }

    int areas() const { return static_cast<int>(areaCells_.size()); }
    int size(int i) const {
        return static_cast<int>(
            areaCells_[static_cast<std::size_t>(comp_[static_cast<std::size_t>(i)])].size());
    }
    // Black cells with white cells of two different areas beside them: the
    // cells whose whitening joins two areas into one.
    std::vector<int> joints() const {
        std::vector<int> out;
        for (int y = 1; y <= h_; ++y)
            for (int x = 1; x <= w_; ++x) {
                const int i = idx(x, y);
                if (black(i) && !given(i) && areasBeside(i).second >= 0) out.push_back(i);
            }
        return out;
    }

    // The first two different areas beside cell i (-1 where there are fewer).
    std::pair<int, int> areasBeside(int i) const {
        int a = -1, b = -1;
        for (int d = 0; d < 4 && b < 0; ++d) {
            const int n = step(i, d);
            if (!white(n)) continue;
            const int c = comp_[static_cast<std::size_t>(n)];
            if (a < 0)
                a = c;
            else if (c != a)
                b = c;
        }
        return {a, b};
    }

    // The joints whose two areas no other cell joins validly: with a second
    // way to join them the same clues would have two solutions.
    std::vector<int> soleJoints() {
        std::vector<std::pair<long, int>> keyed;
        for (int i : joints()) {
            const auto [a, b] = areasBeside(i);
            keyed.push_back({static_cast<long>(std::min(a, b)) * 65536 + std::max(a, b), i});
        }
        std::sort(keyed.begin(), keyed.end());
        std::vector<int> out;
        for (std::size_t k = 0; k < keyed.size();) {
            std::size_t e = k;
            while (e < keyed.size() && keyed[e].first == keyed[k].first)
                ++e;
            int valid = 0, cell = keyed[k].second;
            for (std::size_t q = k; q < e && e - k > 1 && valid < 2; ++q) {
                const Saved saved = save();
                if (!flip(keyed[q].second)) continue;
                ++valid;
                cell = keyed[q].second;
                restore(saved);
            }
            if (e - k == 1 || valid == 1) out.push_back(cell);
            k = e;
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    // Does the puzzle have a second solution in which an area near cell
    // `near` trades one of its cells for a black cell beside it? The areas
    // checked are those with a cell within two of `near`.
    bool swappable(int near) {
        std::vector<int> number(black_.size(), 0), nearby;
        for (const auto& a : areaCells_)
            for (int i : a)
                if (clue_[static_cast<std::size_t>(i)])
                    number[static_cast<std::size_t>(i)] = static_cast<int>(a.size());
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const int x = cx(near) + dx, y = cy(near) + dy;
                if (x < 1 || x > w_ || y < 1 || y > h_ || !white(idx(x, y))) continue;
                const int c = comp_[static_cast<std::size_t>(idx(x, y))];
                if (std::find(nearby.begin(), nearby.end(), c) == nearby.end()) nearby.push_back(c);
            }
        const auto cellsOf = areaCells_; // valid() relabels the areas
        bool found = false;
        for (std::size_t k = 0; k < nearby.size() && !found; ++k)
            found = trades(cellsOf[static_cast<std::size_t>(nearby[k])], number);
        label();
        return found;
    }

  private:
    void set(int i, std::uint8_t v) { black_[static_cast<std::size_t>(i)] = v; }

    // Can the area of `cells` give one of its non-clue cells for a black cell
    // beside it (not a given one), the painting still valid and every area
    // one clue of its size (`number`)?
    bool trades(const std::vector<int>& cells, const std::vector<int>& number) {
        auto mine = [&](int i) { return std::binary_search(cells.begin(), cells.end(), i); };
        // A black cell beside another area would join it: that area would
        // outgrow its clue.
        std::vector<int> rim;
        for (int i : cells)
            for (int d = 0; d < 4; ++d) {
                const int n = step(i, d);
                if (!black(n) || given(n) || std::find(rim.begin(), rim.end(), n) != rim.end())
                    continue;
                bool alone = true;
                for (int e = 0; e < 4; ++e)
                    alone = alone && (!white(step(n, e)) || mine(step(n, e)));
                if (alone) rim.push_back(n);
            }
        for (int out : cells) {
            if (clue_[static_cast<std::size_t>(out)]) continue;
            for (int in : rim) {
                // The new cell must touch the area elsewhere than at `out`,
                // and (Ombrix) `out` may not close a 2 x 2 black block.
                bool held = false;
                for (int e = 0; e < 4; ++e)
                    held = held || (step(in, e) != out && white(step(in, e)));
                if (!held || (!tandrel_ && closesBlock(out, in))) continue;
                set(out, 1);
                set(in, 0);
                const bool found = valid() && cluesMatch(number);
                set(out, 0);
                set(in, 1);
                if (found) return true;
            }
        }
        return false;
    }

    // Would cell i turn black close a 2 x 2 black block, with cell `spared`
    // white?
    bool closesBlock(int i, int spared) const {
        auto b = [&](int j) { return j == i || (j != spared && black(j)); };
        const int row = w_ + 2;
        for (int corner : {i - row - 1, i - row, i - 1, i})
            if (b(corner) && b(corner + 1) && b(corner + row) && b(corner + row + 1)) return true;
        return false;
    }

    // After label(): every area holds one clue cell, of its size.
    bool cluesMatch(const std::vector<int>& number) const {
        for (const auto& a : areaCells_) {
            int clues = 0;
            for (int i : a)
                if (clue_[static_cast<std::size_t>(i)]) {
                    ++clues;
                    if (number[static_cast<std::size_t>(i)] != static_cast<int>(a.size()))
                        return false;
                }
            if (clues != 1) return false;
        }
        return true;
    }

    // May black cell i join area `id` (its mirror area `mid`, or -1 when not
    // symmetric) while the areas are grown? The cell and its mirror touch no
    // other area, and the black cells around each stay connected.
    bool canWhiten(int i, int id, int mid) {
        if (!black(i)) return false;
        if (mid < 0) return canWhitenOne(i, id);
        const int j = mirror(i);
        if (j == i || !black(j)) return false;
        if (std::abs(cx(i) - cx(j)) <= 1 && std::abs(cy(i) - cy(j)) <= 1) return false;
        if (!canWhitenOne(i, id)) return false;
        set(i, 0);
        comp_[static_cast<std::size_t>(i)] = id;
        const bool ok = canWhitenOne(j, mid);
        set(i, 1);
        comp_[static_cast<std::size_t>(i)] = -1;
        return ok;
    }
    void whiten(int i, int id, int mid) {
        set(i, 0);
        comp_[static_cast<std::size_t>(i)] = id;
        if (!symmetric_) return;
        set(mirror(i), 0);
        comp_[static_cast<std::size_t>(mirror(i))] = mid;
    }
    bool canWhitenOne(int i, int id) const {
        const int row = w_ + 2;
        // The ring of eight neighbours, clockwise from the one above.
        const int ring[8] = {i - row, i - row + 1, i + 1, i + row + 1,
                             i + row, i + row - 1, i - 1, i - row - 1};
        for (int k = 0; k < 8; ++k) {
            const int n = ring[k];
            if (!white(n)) continue;
            const int owner = comp_[static_cast<std::size_t>(n)];
            if (k % 2 == 0 && owner != id) return false;
            if (k % 2 == 1 && tandrel_) {
                // A corner: another area may not touch it; the same area
                // must reach it through a side.
                if (owner != id) return false;
                if (!white(ring[k - 1]) && !white(ring[(k + 1) % 8])) return false;
            }
        }
        int sides = 0, joined = 0;
        for (int k = 0; k < 8; k += 2) {
            if (!black(ring[k])) continue;
            ++sides;
            if (black(ring[k + 1]) && black(ring[(k + 2) % 8])) ++joined;
        }
        return (sides > 0 && sides - joined == 1) || (sides == 4 && joined == 4);
    }

    // May white cell i turn black with its mirror?
    bool canPaintPair(int i) {
        if (mirror(i) == i || black(mirror(i))) return true;
        set(i, 1);
        const bool can = canPaint(mirror(i));
        set(i, 0);
        return can;
    }

    // May white cell i turn black while painting? It touches the network,
    // makes no 2 x 2 black block (Ombrix), no two areas meeting at a corner
    // (Tandrel) and no area of a single cell.
    bool canPaint(int i) const {
        bool touches = false;
        for (int d = 0; d < 4; ++d)
            touches = touches || black(step(i, d));
        if (!touches) return false;
        auto b = [&](int j) { return j == i || black(j); };
        auto wh = [&](int j) { return j != i && white(j); };
        const int row = w_ + 2;
        for (int corner : {i - row - 1, i - row, i - 1, i}) {
            const int a = corner, c = corner + 1, e = corner + row, f = corner + row + 1;
            if (!tandrel_) {
                if (b(a) && b(c) && b(e) && b(f)) return false;
            } else if ((wh(a) && wh(f) && b(c) && b(e)) || (wh(c) && wh(e) && b(a) && b(f))) {
                return false;
            }
        }
        for (int d = 0; d < 4; ++d) {
            const int n = step(i, d);
            if (!white(n)) continue;
            bool other = false;
            for (int e = 0; e < 4; ++e)
                other = other || (step(n, e) != i && white(step(n, e)));
            if (!other) return false;
        }
        return true;
    }

    void label() {
        std::fill(comp_.begin(), comp_.end(), -1);
        areaCells_.clear();
        std::vector<int> stack;
        for (int y = 1; y <= h_; ++y)
            for (int x = 1; x <= w_; ++x) {
                const int s = idx(x, y);
                if (!white(s) || comp_[static_cast<std::size_t>(s)] >= 0) continue;
                const int c = static_cast<int>(areaCells_.size());
                areaCells_.emplace_back();
                comp_[static_cast<std::size_t>(s)] = c;
                stack.push_back(s);
                while (!stack.empty()) {
                    const int i = stack.back();
                    stack.pop_back();
                    areaCells_.back().push_back(i);
                    for (int d = 0; d < 4; ++d) {
                        const int n = step(i, d);
                        if (white(n) && comp_[static_cast<std::size_t>(n)] < 0) {
                            comp_[static_cast<std::size_t>(n)] = c;
                            stack.push_back(n);
                        }
                    }
                }
                std::sort(areaCells_.back().begin(), areaCells_.back().end());
            }
    }

    // Relabels and checks every rule: black cells connected, no 2 x 2 black
    // block (Ombrix), no areas meeting at a corner (Tandrel), areas of 2..40
    // cells.
    bool valid() {
        label();
        if (areaCells_.empty()) return false;
        int singles = 0;
        for (const auto& a : areaCells_) {
            if (a.size() > 40) return false;
            singles += a.size() == 1;
        }
        if (singles > singles_) return false;
        int blacks = 0, first = -1;
        for (int y = 1; y <= h_; ++y)
            for (int x = 1; x <= w_; ++x) {
                const int i = idx(x, y);
                if (!black(i)) continue;
                ++blacks;
                if (first < 0) first = i;
                const int c = i + 1, e = i + w_ + 2, f = e + 1;
                if (!tandrel_ && cx(i) < w_ && cy(i) < h_ && black(c) && black(e) && black(f))
                    return false;
            }
        for (int y = 1; y < h_; ++y)
            for (int x = 1; x < w_; ++x) {
                if (!tandrel_) break;
                const int a = idx(x, y), c = a + 1, e = a + w_ + 2, f = e + 1;
                if ((white(a) && white(f) && black(c) && black(e)) ||
                    (white(c) && white(e) && black(a) && black(f)))
                    return false;
            }
        if (blacks == 0) return false;
        std::vector<char> seen(black_.size(), 0);
        std::vector<int> stack{first};
        seen[static_cast<std::size_t>(first)] = 1;
        int reached = 0;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            ++reached;
            for (int d = 0; d < 4; ++d) {
                const int n = step(i, d);
                if (black(n) && !seen[static_cast<std::size_t>(n)]) {
                    seen[static_cast<std::size_t>(n)] = 1;
                    stack.push_back(n);
                }
            }
        }
        return reached == blacks;
    }

    // One clue per area: an area keeps its first clue cell, else gets a random
    // cell. Symmetric: an area and its mirror take mirrored clues; an area that
    // is its own mirror needs the centre cell. False when that is impossible.
    bool placeClues() {
        for (std::size_t i = 0; i < clue_.size(); ++i)
            if (!white(static_cast<int>(i))) clue_[i] = 0;
        std::vector<char> done(areaCells_.size(), 0);
        for (std::size_t c = 0; c < areaCells_.size(); ++c) {
            if (done[c]) continue;
            const std::vector<int>& cells = areaCells_[c];
            int keep = -1;
            for (int i : cells)
                if (clue_[static_cast<std::size_t>(i)] && keep < 0) keep = i;
            for (int i : cells)
                clue_[static_cast<std::size_t>(i)] = 0;
            if (symmetric_) {
                const std::size_t m =
                    static_cast<std::size_t>(comp_[static_cast<std::size_t>(mirror(cells[0]))]);
                if (m == c) {
                    const int centre = idx((w_ + 1) / 2, (h_ + 1) / 2);
                    if (mirror(centre) != centre ||
                        comp_[static_cast<std::size_t>(centre)] != static_cast<int>(c))
                        return false;
                    keep = centre;
                } else {
                    for (int i : areaCells_[m])
                        clue_[static_cast<std::size_t>(i)] = 0;
                    if (keep < 0)
                        keep = cells[static_cast<std::size_t>(
                            rng_.below(static_cast<int>(cells.size())))];
                    clue_[static_cast<std::size_t>(mirror(keep))] = 1;
                    done[m] = 1;
                }
            } else if (keep < 0) {
                keep = cells[static_cast<std::size_t>(rng_.below(static_cast<int>(cells.size())))];
            }
            clue_[static_cast<std::size_t>(keep)] = 1;
            done[c] = 1;
        }
        return true;
    }

    int w_, h_;
    bool tandrel_, symmetric_;
    Random& rng_;
    int maxArea_;
    int singles_ = 0; // areas of a single cell allowed
    std::vector<std::uint8_t> black_, given_, clue_;
    std::vector<int> comp_;
    std::vector<std::vector<int>> areaCells_;
};

// The automatic solver as the judge of a candidate puzzle. A board it solves
// (status 0) is settled by sound deductions alone, so it has exactly one
// solution; where it stalls, the cells it leaves undecided show where the
// clues say too little.
class Judge {
  public:
    struct Outcome {
        int status = StatusNone;
        int grade = 0;          // 1..3 for status 0, as GradeByAutoSolve counts
        std::vector<int> stall; // cells (x, y) packed by Pack
    };

    // Solves `puzzle` with the automatic solver. A solve that turns to the
    // trial search's window stage when `aim` is 2 is broken off there: the
    // puzzle is too hard, and that stage is where a stalled solve spends its
    // time. Then `status` is 2 and `grade` 3.
    Outcome run(const Board& puzzle, int aim) {
        *board_ = puzzle;
        board_->status = StatusNone;
        Watch watch;
        watch.aim = aim;
        Outcome out;
        try {
            AutoSolve(*board_, &watch);
        } catch (const Watch::TooHard&) {
            out.status = StatusUnsolvable;
            out.grade = 3;
            return out;
        }
        out.status = board_->status;
        out.grade = watch.window ? 3 : watch.single ? 2 : 1;
        return out;
    }

    // The deduction rules alone, without the trial search: status 0 when
    // they decide every cell (grade 1), else 2 with the undecided cells in
    // `stall`. Far quicker than a whole solve that stalls.
    Outcome deduce(const Board& puzzle) {
        *board_ = puzzle;
        board_->status = StatusNone;
        solver_->PrepareBoard();
        Outcome out;
        if (board_->status == StatusNone) solver_->RunDeduction();
        if (board_->status == StatusContradiction || board_->status == StatusSumTooLarge) {
            out.status = board_->status;
        } else if (board_->undecidedCount == 0) {
            out.status = StatusNone;
            out.grade = 1;
        } else {
            out.status = StatusUnsolvable;
            out.stall = UndecidedCells(*board_);
        }
        return out;
    }

    const Board& solved() const { return *board_; }
    // The cells the last run or deduction left undecided (packed).
    std::vector<int> open() const { return UndecidedCells(*board_); }

    static int Pack(int x, int y) { return y * 64 + x; }
    static int X(int p) { return p % 64; }
    static int Y(int p) { return p / 64; }

  private:
    static std::vector<int> UndecidedCells(const Board& b) {
        std::vector<int> out;
        for (int x = 1; x <= b.width; ++x)
            for (int y = 1; y <= b.height; ++y)
                if (b.state(x, y) == Undecided || b.state(x, y) == WhiteDot)
                    out.push_back(Pack(x, y));
        return out;
    }

    // Hears the trial search's stages; stops the solve at the window stage
    // when the grade aimed at is 2.
    struct Watch : SolveTrace {
        struct TooHard {};
        int aim = 3;
        bool inWindow = false, single = false, window = false;
        void afterRule(const RuleRun&, const Board&) override {}
        bool wantsChanges() const override { return false; }
        void beforeWindowStage(const Board&) override {
            if (aim <= 2) throw TooHard{};
            inWindow = true;
        }
        void afterTrial(const Board& b) override {
            if (b.status == StatusNone) (inWindow ? window : single) = true;
            inWindow = false;
        }
    };

    std::unique_ptr<Board> board_ = std::make_unique<Board>();
    std::unique_ptr<Solver> solver_ = std::make_unique<Solver>(*board_);
};

// Are cells i and j (and their mirrors) further apart than two judged
// neighbourhoods?
bool farApart(const Maker& m, int i, int j, bool symmetric) {
    for (int r : {i, symmetric ? m.mirror(i) : i})
        if (std::abs(m.cx(r) - m.cx(j)) <= 2 * kNear && std::abs(m.cy(r) - m.cy(j)) <= 2 * kNear)
            return false;
    return true;
}

// One change of the painting at one of the stalled cells or beside it: cells
// changed least often first, so that the painting does not swing back and
// forth between two forms. Under Tandrel a black cell there may be given
// with the puzzle instead.
void steer(Maker& m, const std::vector<int>& stall, Random& rng, std::vector<int>& flips,
           int givenBudget) {
    std::vector<std::pair<int, int>> candidates;
    // Under Tandrel black cells first: an area grows into the wall.
    const bool blackFirst = givenBudget > 0;
    const int p = stall[static_cast<std::size_t>(rng.below(static_cast<int>(stall.size())))];
    const int d = m.idx(Judge::X(p), Judge::Y(p));
    candidates.push_back({flips[static_cast<std::size_t>(d)] * 16 +
                              (m.white(d) != blackFirst ? 0 : 8) + rng.below(4),
                          d});
    for (int e = 0; e < 4; ++e) {
        const int n = m.step(d, e);
        if (m.inside(n))
            candidates.push_back({flips[static_cast<std::size_t>(n)] * 16 +
                                      (m.white(n) != blackFirst ? 4 : 12) + rng.below(4),
                                  n});
    }
    std::sort(candidates.begin(), candidates.end());
    if (m.givenCount() < givenBudget && rng.below(2) == 0)
        for (const auto& c : candidates)
            if (m.black(c.second) && !m.given(c.second)) {
                m.give(c.second);
                return;
            }
    if (m.white(d) && rng.below(kMoveHere) == 0 && m.moveClue(d, true)) return;
    if (m.white(d) && rng.below(3) == 0 && m.moveClue(d)) return;
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        const int c = candidates[k].second;
        if (m.flip(c)) {
            ++flips[static_cast<std::size_t>(c)];
            return;
        }
    }
    if (m.white(d)) m.moveClue(d);
}

// What became of one attempt.
enum class Tried { Made, Failed, Stopped };

// Attempt number `attempt`: a painting from random numbers of its own, made
// into a puzzle (filling `result`) or dropped. `judge` and `board` are the
// calling worker's own; `cancelled` says when to break off.
template <class Cancelled>
Tried Attempt(const UniqueOptions& o, int attempt, Judge& judge, Board* board,
              const AnalysisLimits& limits, Cancelled cancelled, UniqueResult& result) {
    const bool tandrel = o.ruleSet == RuleSetTandrel;
    Random rng{(o.seed + 0x51ed270b27a7f3ULL) * 0x2545F4914F6CDD1DULL +
               static_cast<std::uint64_t>(attempt) * 0x9e3779b97f4a7c15ULL};
    Maker m(o, rng);
    // A few single cells settle the deductions far sooner than any other
    // change.
    if (tandrel) m.allowSingles(o.width * o.height / kCellsPerSingle);
    if (tandrel ? !m.paintAreas(kTandrelSeedArea, kTandrelAreaCap) : !m.paint())
        return Tried::Failed;
    m.allowSingles(o.width * o.height / kCellsPerSingle);
    const int givenBudget = tandrel ? (o.width * o.height) / kCellsPerGiven : 0;
    std::vector<int> flips(static_cast<std::size_t>((o.width + 2) * (o.height + 2)), 0);
    Judge::Outcome verdict;
    bool settled = false;
    // 1. Change the painting where the deduction rules stall until they
    // settle the puzzle alone. Each step changes it at several stalled
    // places far apart and keeps each change whose neighbourhood is left
    // no more open than before.
    const std::size_t cells = static_cast<std::size_t>((o.width + 2) * (o.height + 2));
    std::vector<std::uint8_t> open(cells, 0), openAfter(cells, 0);
    std::vector<int> stall;
    auto mark = [&](const std::vector<int>& list, std::vector<std::uint8_t>& grid) {
        std::fill(grid.begin(), grid.end(), 0);
        for (int p : list)
            grid[static_cast<std::size_t>(m.idx(Judge::X(p), Judge::Y(p)))] = 1;
    };
    auto openNear = [&](const std::vector<std::uint8_t>& grid, int at) {
        int n = 0;
        for (int c : {at, o.symmetric ? m.mirror(at) : at})
            for (int dy = -kNear; dy <= kNear; ++dy)
                for (int dx = -kNear; dx <= kNear; ++dx) {
                    const int x = m.cx(c) + dx, y = m.cy(c) + dy;
                    if (x >= 1 && x <= o.width && y >= 1 && y <= o.height)
                        n += grid[static_cast<std::size_t>(m.idx(x, y))];
                }
        return n;
    };
    m.toBoard(*board, o.ruleSet);
    verdict = judge.deduce(*board);
    settled = verdict.status == StatusNone;
    stall = verdict.stall;
    mark(stall, open);
    std::vector<int> picks;
    std::vector<Maker::Saved> states;
    // Judges the painting as it stands: 1 settled, -1 broken (the step
    // is undone), 0 still open where `openAfter` marks.
    auto judgeStep = [&] {
        m.toBoard(*board, o.ruleSet);
        verdict = judge.deduce(*board);
        if (verdict.status == StatusNone) return 1;
        if (verdict.status != StatusUnsolvable) {
            m.restore(states.front());
            return -1;
        }
        mark(verdict.stall, openAfter);
        return 0;
    };
    std::size_t fewest = stall.size();
    int kicks = 0;
    // Under Tandrel a painting that stalls rarely settles after a shake, and
    // for grades 3 and 4 a fresh one is cheaper than the shakes.
    const int kicksAllowed = tandrel && o.grade >= 3 ? 0 : kKicks;
    for (int stepNo = 0, lastGain = 0; !settled && !stall.empty(); ++stepNo) {
        if (cancelled()) return Tried::Stopped;
        if (stall.size() < fewest) {
            fewest = stall.size();
            lastGain = stepNo;
        }
        // Stuck with few cells left open: the whole automatic solver may
        // settle them with its trial search.
        if (stepNo - lastGain >= kPatience && o.grade != 1 &&
            static_cast<int>(stall.size()) <= kWholeSolveOpen) {
            m.toBoard(*board, o.ruleSet);
            const Judge::Outcome t = judge.run(*board, o.grade == 2 ? 2 : 3);
            if (t.status == StatusNone) {
                verdict = t;
                settled = true;
                break;
            }
        }
        // Stuck: shake the painting where it is still open, keeping
        // the changes whatever they do, a few times before a fresh start.
        const bool kick = stepNo - lastGain >= kPatience;
        if (kick) {
            if (++kicks > kicksAllowed) break;
            lastGain = stepNo;
            fewest = stall.size() + kKickChanges * 8;
        }
        // Stalled places at least 2 * kNear + 1 apart (and from their mirrors).
        picks.clear();
        const int want = 1 + static_cast<int>(stall.size()) / kStallPerChange;
        for (int k = 0; k < 3 * want && static_cast<int>(picks.size()) < want; ++k) {
            const int p =
                stall[static_cast<std::size_t>(rng.below(static_cast<int>(stall.size())))];
            const int c = m.idx(Judge::X(p), Judge::Y(p));
            bool far = true;
            for (int q : picks)
                for (int r : {q, o.symmetric ? m.mirror(q) : q})
                    far = far && (std::abs(m.cx(r) - m.cx(c)) > 2 * kNear ||
                                  std::abs(m.cy(r) - m.cy(c)) > 2 * kNear);
            if (far) picks.push_back(c);
        }
        states.assign(1, m.save());
        for (int c : picks) {
            for (int k = kick ? kKickChanges : 1; k > 0; --k)
                steer(m, {Judge::Pack(m.cx(c), m.cy(c))}, rng, flips, givenBudget);
            states.push_back(m.save());
        }
        int judged = judgeStep();
        if (judged > 0) {
            settled = true;
            break;
        }
        if (judged < 0) continue;
        bool reverted = false;
        for (std::size_t k = 0; k < picks.size() && !kick; ++k)
            if (openNear(openAfter, picks[k]) > openNear(open, picks[k])) {
                m.revert(states[k], states[k + 1]);
                reverted = true;
            }
        if (reverted && !m.settle()) {
            m.restore(states.front());
            continue;
        }
        if (reverted && (judged = judgeStep()) != 0) {
            settled = judged > 0;
            if (settled) break;
            continue;
        }
        stall = std::move(verdict.stall);
        open.swap(openAfter);
    }
    if (!settled) return Tried::Failed;
    int grade = verdict.grade;
    // 2. Fewer clues: join two areas, or take back a given black cell,
    // where the deduction rules still settle the puzzle. The joins they
    // cannot settle are kept for the next stage.
    std::vector<int> joints = m.soleJoints();
    for (std::size_t i = joints.size(); i > 1; --i)
        std::swap(joints[i - 1], joints[static_cast<std::size_t>(rng.below(static_cast<int>(i)))]);
    const std::vector<int> givens = m.givenCells();
    joints.insert(joints.begin(), givens.begin(), givens.end());
    // The changes are tried in batches of places far apart, one
    // deduction for a batch: a change with cells left open near it goes
    // back, and a second deduction confirms the rest (one at a time when
    // it does not).
    std::vector<int> harder;
    auto apply = [&](std::size_t k) {
        if (k < givens.size()) {
            m.take(joints[k]);
            return true;
        }
        return m.black(joints[k]) && m.flip(joints[k]);
    };
    auto settles = [&] {
        m.toBoard(*board, o.ruleSet);
        verdict = judge.deduce(*board);
        return verdict.status == StatusNone;
    };
    if (grade > 1)
        harder.assign(joints.begin() + static_cast<std::ptrdiff_t>(givens.size()), joints.end());
    std::vector<char> done(joints.size(), grade > 1 ? 1 : 0);
    // (Under Ombrix the joins settle less often, and one at a time is as
    // quick and leaves fewer clues.)
    const int perBatch = tandrel ? 1 + o.width * o.height / kCellsPerJoin : 1;
    std::vector<std::size_t> batch, kept;
    std::vector<int> attemptsAt(joints.size(), 0);
    for (std::size_t first = 0;;) {
        while (first < joints.size() && done[first])
            ++first;
        if (first == joints.size()) break;
        if (cancelled()) return Tried::Stopped;
        batch.clear();
        states.assign(1, m.save());
        for (std::size_t k = first; k < joints.size() && static_cast<int>(batch.size()) < perBatch;
             ++k) {
            if (done[k]) continue;
            bool far = true;
            for (std::size_t b : batch)
                far = far && farApart(m, joints[b], joints[k], o.symmetric);
            if (!far) continue;
            done[k] = 1;
            if (!apply(k)) continue;
            batch.push_back(k);
            states.push_back(m.save());
        }
        if (batch.empty() || settles()) continue;
        if (verdict.status == StatusUnsolvable) mark(verdict.stall, openAfter);
        kept.clear();
        for (std::size_t b = 0; b < batch.size(); ++b) {
            if (verdict.status == StatusUnsolvable && openNear(openAfter, joints[batch[b]]) == 0) {
                kept.push_back(batch[b]);
                continue;
            }
            m.revert(states[b], states[b + 1]);
            // Once more on its own terms: the open cells may be another
            // change's.
            if (attemptsAt[batch[b]]++ == 0 && batch.size() > 1)
                done[batch[b]] = 0;
            else if (batch[b] >= givens.size())
                harder.push_back(joints[batch[b]]);
        }
        first = std::min(first, batch.front());
        if (kept.empty()) {
            m.restore(states.front());
            continue;
        }
        if (kept.size() < batch.size() && m.settle() && settles()) continue;
        m.restore(states.front());
        for (std::size_t k : kept) {
            const auto saved = m.save();
            if (!apply(k)) continue;
            if (settles()) continue;
            m.restore(saved);
            if (k >= givens.size()) harder.push_back(joints[k]);
        }
    }
    // 3. Harder: joins the whole automatic solver still settles within
    // the grade asked for (once that grade is reached, at that grade),
    // the joins the deductions could not settle first, then those the
    // joins so far have opened; for grade 4, one the solver gives up on
    // and the analysis proves unique.
    int analyses = 0, runs = 0;
    // The analysis that proved grade 4: the puzzle's confirmation.
    auto proof = std::make_unique<AnalysisResult>();
    AnalysisLimits changeLimits = limits;
    // (The learning analysis counts its probes of each cell as nodes.)
    changeLimits.maxNodes = kChangeNodeLimit + 2 * static_cast<std::uint64_t>(o.width * o.height);
    // Without a grade asked for, a few joins that the single trial
    // hypotheses settle (grade 2) take clues away too.
    const int aim = o.grade ? o.grade : 2;
    int budget = o.grade ? kHardRuns + m.areas() : kAnyGradeRuns + m.areas() / 8;
    // Settled at the grade asked for already: a few joins for fewer clues.
    if (grade >= aim) budget = std::min(budget, kHardRuns);
    std::vector<char> failed(cells, 0);
    // Once grade 3 or 4 is reached, joins for fewer clues: none on small
    // boards, where each whole solve is a large part of the time there is.
    const int polish = std::clamp(o.width * o.height / 40 - 2, 0, kHardRuns);
    // Under Tandrel, within the budget: gives one black cell of the
    // painting among `packed` cells, not given yet; false when there is none.
    const int givenLimit =
        std::min(givenBudget, m.givenCount() + kLateGiven * (o.symmetric ? 2 : 1));
    auto giveOne = [&](const std::vector<int>& packed) {
        if (!tandrel || m.givenCount() >= givenLimit) return false;
        std::vector<int> can;
        for (int p : packed) {
            const int i = m.idx(Judge::X(p), Judge::Y(p));
            if (m.black(i) && !m.given(i)) can.push_back(i);
        }
        if (can.empty()) return false;
        m.give(can[static_cast<std::size_t>(rng.below(static_cast<int>(can.size())))]);
        return true;
    };
    // Judges the painting changed from `saved`: kept when the solver
    // settles it at a grade no lower than so far and not above the one
    // asked for (at that grade once it is reached), or, for grade 4, when
    // it gives up and the analysis proves the puzzle unique. A change
    // near `at` that lets an area trade a cell for one beside it leaves
    // two solutions: it counts as a run without one. For grades 3 and 4
    // the learning analysis, about a millisecond at 10 x 10 where Analyze
    // takes about ten, judges the change before the solver does.
    auto judgeChange = [&](const Maker::Saved& saved, bool mustRise, int at) {
        ++runs;
        if (m.swappable(at)) {
            m.restore(saved);
            return false;
        }
        m.toBoard(*board, o.ruleSet);
        Judge::Outcome t;
        bool keep = false;
        if (o.grade >= 3) {
            // The analysis first: a puzzle with a second solution needs no
            // whole solve, which would only give up on it. Under Tandrel a
            // black cell of the painting that is white in the second
            // solution is given, and the analysis asked again.
            Verdict v = Verdict::Stopped;
            std::vector<int> differing;
            while (o.grade == 3 || analyses < kAnalyses) {
                if (cancelled()) break;
                *proof = AnalyzeByLearning(*board, changeLimits);
                v = proof->verdict;
                // Unique, or no answer within the nodes: the solver decides.
                if (v != Verdict::Several) break;
                ++analyses;
                differing.clear();
                for (const auto& [x, y] : proof->differing)
                    differing.push_back(Judge::Pack(x, y));
                if (!giveOne(differing)) break;
                ++runs;
                m.toBoard(*board, o.ruleSet);
            }
            if (v == Verdict::Several) {
                m.restore(saved);
                return false;
            }
            t = judge.run(*board, 3);
            // For grade 3, where the solver gives up, a black cell it leaves
            // open may be given with the puzzle (Tandrel).
            while (t.status == StatusUnsolvable && o.grade == 3 && giveOne(judge.open())) {
                ++runs;
                m.toBoard(*board, o.ruleSet);
                t = judge.run(*board, 3);
            }
            // Grade 4: the solver gives up on a puzzle the analysis proved
            // unique.
            keep = t.status == StatusUnsolvable && o.grade == 4 && v == Verdict::Unique;
            if (t.status == StatusUnsolvable && v != Verdict::Unique) ++analyses;
        } else {
            t = judge.run(*board, 2);
        }
        if (t.status == StatusNone) {
            keep = t.grade >= grade + (mustRise ? 1 : 0) && t.grade <= aim;
            if (aim <= 3 && grade == aim) keep = t.grade == aim;
        }
        if (!keep) {
            m.restore(saved);
            return false;
        }
        // At the grade asked for, a few more joins for fewer clues.
        if (grade < aim && t.grade == aim)
            budget = std::min(budget, runs + (aim >= 3 ? polish : kHardRuns));
        grade = t.status == StatusNone ? t.grade : 4;
        return true;
    };
    // Grade 4 is proven by the analysis alone: with its analyses spent, the
    // painting is given up.
    auto spent = [&] { return runs >= budget || (o.grade == 4 && analyses >= kAnalyses); };
    while (aim >= 2 && o.grade != 1 && grade != 4 && !spent()) {
        bool keptAny = false;
        // For grade 3 a given black cell taken back is a gentler step
        // than a join.
        if (o.grade == 3) {
            const std::vector<int> givens = m.givenCells();
            harder.insert(harder.begin(), givens.begin(), givens.end());
        }
        for (std::size_t k = 0; k < harder.size() && !spent() && grade != 4; ++k) {
            const int j = harder[k];
            const auto saved = m.save();
            if (failed[static_cast<std::size_t>(j)]) continue;
            if (m.given(j))
                m.take(j);
            else if (!m.black(j) || !m.flip(j))
                continue;
            if (judgeChange(saved, false, j))
                keptAny = true;
            else
                failed[static_cast<std::size_t>(j)] = 1;
            if (cancelled()) return Tried::Stopped;
        }
        // No join helps: a clue moved within its area asks the same
        // painting differently; kept only where the grade rises.
        for (int k = 0; !keptAny && grade < o.grade && k < kMoves && !spent(); ++k) {
            const int i = m.idx(1 + rng.below(o.width), 1 + rng.below(o.height));
            const auto saved = m.save();
            if (!m.white(i) || !m.moveClue(i)) continue;
            keptAny = judgeChange(saved, true, i);
            if (keptAny) std::fill(failed.begin(), failed.end(), 0);
            if (cancelled()) return Tried::Stopped;
        }
        if (!keptAny) break;
        harder = m.soleJoints();
        for (std::size_t i = harder.size(); i > 1; --i)
            std::swap(harder[i - 1],
                      harder[static_cast<std::size_t>(rng.below(static_cast<int>(i)))]);
    }
    if (o.grade != 0 && grade != o.grade) return Tried::Failed;
    m.toBoard(*board, o.ruleSet);
    // The analysis confirms what the solver found (grade 4 was proven by it
    // already).
    if (grade != 4) *proof = Analyze(*board, limits);
    const AnalysisResult& r = *proof;
    if (cancelled()) return Tried::Stopped;
    if (r.verdict != Verdict::Unique) return Tried::Failed;
    result.puzzle = *board;
    result.solution = r.solutions[0];
    result.grade = GradeByAutoSolve(*board);
    result.attempts = attempt;
    result.clues = m.areas();
    result.givenBlack = m.givenCount();
    return Tried::Made;
}

} // namespace

bool GenerateUnique(const UniqueOptions& o, UniqueResult& result) {
    if (o.width < kMinWidth || o.width > kMaxWidth || o.height < kMinHeight ||
        o.height > kMaxHeight || o.grade < 0 || o.grade > 4 ||
        (o.ruleSet != RuleSetOmbrix && o.ruleSet != RuleSetTandrel))
        return false;
    const auto start = std::chrono::steady_clock::now();
    result.timedOut = false;
    // The attempts run side by side: the workers take attempt numbers in
    // increasing order, and the puzzle of the lowest number made wins, so it
    // is the same for any number of workers and any timing. An attempt
    // numbered above a puzzle made is broken off; those below it run to their
    // end.
    struct Worker {
        std::atomic<bool> quit{false}; // break off the attempt at hand
        int current = 0;               // its number (0: none)
        std::thread thread;
    };
    std::vector<Worker> workers(static_cast<std::size_t>(std::clamp(o.threads, 1, kMaxThreads)));
    std::mutex mutex; // guards what follows and each worker's `current`
    std::condition_variable ended;
    int next = 1, best = 0, running = static_cast<int>(workers.size());
    int stopped = 0; // 1 cancelled, 2 out of time
    auto made = std::make_unique<UniqueResult>();
    std::exception_ptr failure;
    // Under the lock: every attempt numbered above `above` breaks off.
    auto breakOff = [&](int above) {
        for (Worker& w : workers)
            if (w.current > above) w.quit = true;
    };
    // Cancelled or out of time: every worker stops.
    auto stopNow = [&] {
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        const int why = o.cancel && o.cancel->load()                  ? 1
                        : o.seconds > 0 && spent.count() >= o.seconds ? 2
                                                                      : 0;
        if (why == 0) return false;
        std::lock_guard lock(mutex);
        if (stopped == 0) stopped = why;
        breakOff(0);
        return true;
    };
    auto work = [&](Worker& w) {
        try {
            AnalysisLimits limits;
            limits.maxNodes = kNodeLimit;
            limits.cancel = &w.quit;
            auto board = std::make_unique<Board>();
            auto mine = std::make_unique<UniqueResult>();
            Judge judge;
            auto cancelled = [&] { return w.quit.load() || stopNow(); };
            for (;;) {
                int attempt = 0;
                {
                    std::lock_guard lock(mutex);
                    if (stopped != 0 || (best != 0 && next > best)) break;
                    attempt = next++;
                    w.current = attempt;
                    w.quit = false;
                    if (o.progress) o.progress(attempt);
                }
                if (stopNow()) break;
                if (Attempt(o, attempt, judge, board.get(), limits, cancelled, *mine) !=
                    Tried::Made)
                    continue;
                std::lock_guard lock(mutex);
                if (best == 0 || attempt < best) {
                    best = attempt;
                    std::swap(made, mine);
                    breakOff(attempt);
                }
            }
        } catch (...) {
            std::lock_guard lock(mutex);
            if (!failure) failure = std::current_exception();
            if (stopped == 0) stopped = 1;
            breakOff(0);
        }
        std::lock_guard lock(mutex);
        w.current = 0;
        --running;
        ended.notify_all();
    };
    for (Worker& w : workers) {
        try {
            w.thread = std::thread(work, std::ref(w));
        } catch (...) { // no thread to be had: the ones started stop
            std::lock_guard lock(mutex);
            if (!failure) failure = std::current_exception();
            stopped = 1;
            breakOff(0);
            --running;
        }
    }
    // The analysis hears only its worker's flag: the cancel flag and the time
    // limit reach it from here.
    const bool watch = o.cancel || o.seconds > 0;
    for (std::unique_lock lock(mutex); running > 0;) {
        if (!watch) {
            ended.wait(lock, [&] { return running == 0; });
        } else if (!ended.wait_for(lock, std::chrono::milliseconds(kWatchMs),
                                   [&] { return running == 0; })) {
            lock.unlock();
            stopNow();
            lock.lock();
        }
    }
    for (Worker& w : workers)
        if (w.thread.joinable()) w.thread.join();
    if (failure) std::rethrow_exception(failure);
    if (stopped != 0) {
        result.timedOut = stopped == 2;
        return false;
    }
    result = *made;
    return true;
}

} // namespace ombrix
