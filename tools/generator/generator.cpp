#include "generator.h"
#include "random.h"

#include "uistate.h"

#include <vector>

namespace ombrix {

namespace {

// The black cells grow as one connected network from a random start, one
// cell at a time, each new cell next to the network; the white cells left
// between them are the areas. Growing stops when every area is small enough.
class Painter {
  public:
    Painter(int w, int h, bool tandrel) : w_(w), h_(h), tandrel_(tandrel) {
        black_.assign(static_cast<std::size_t>((w + 2) * (h + 2)), 0);
        comp_.assign(black_.size(), -1);
    }

    std::size_t at(int x, int y) const { return static_cast<std::size_t>(x * (h_ + 2) + y); }
    bool inside(int x, int y) const { return x >= 1 && x <= w_ && y >= 1 && y <= h_; }
    bool black(int x, int y) const { return inside(x, y) && black_[at(x, y)]; }
    bool white(int x, int y) const { return inside(x, y) && !black_[at(x, y)]; }
    void paint(int x, int y) { black_[at(x, y)] = 1; }
    int component(int x, int y) const { return comp_[at(x, y)]; }
    int componentSize(int c) const { return sizes_[static_cast<std::size_t>(c)]; }
    int components() const { return static_cast<int>(sizes_.size()); }

    // Labels the white areas (orthogonally connected white cells).
    void label() {
        comp_.assign(black_.size(), -1);
        sizes_.clear();
        static constexpr int dx[4] = {0, -1, 0, 1}, dy[4] = {-1, 0, 1, 0};
        std::vector<std::pair<int, int>> stack;
        for (int x = 1; x <= w_; ++x) {
            for (int y = 1; y <= h_; ++y) {
                if (!white(x, y) || comp_[at(x, y)] >= 0) continue;
                const int c = static_cast<int>(sizes_.size());
                int size = 0;
                comp_[at(x, y)] = c;
                stack.push_back({x, y});
                while (!stack.empty()) {
                    const auto [cx, cy] = stack.back();
                    stack.pop_back();
                    ++size;
                    for (int i = 0; i < 4; ++i) {
                        const int nx = cx + dx[i], ny = cy + dy[i];
                        if (white(nx, ny) && comp_[at(nx, ny)] < 0) {
                            comp_[at(nx, ny)] = c;
                            stack.push_back({nx, ny});
                        }
                    }
                }
                sizes_.push_back(size);
            }
        }
    }

    // May (x, y) turn black? It must touch the network, and must not make a
    // 2 x 2 black block (Ombrix) or leave two white cells touching only at a
    // corner between black cells (Tandrel: that would be two areas in contact).
    bool canPaint(int x, int y) const {
        if (!white(x, y)) return false;
        if (!black(x - 1, y) && !black(x + 1, y) && !black(x, y - 1) && !black(x, y + 1))
            return false;
        for (int x0 = x - 1; x0 <= x; ++x0) {
            for (int y0 = y - 1; y0 <= y; ++y0) {
                auto b = [&](int u, int v) { return (u == x && v == y) || black(u, v); };
                auto wh = [&](int u, int v) { return !(u == x && v == y) && white(u, v); };
                const int x1 = x0 + 1, y1 = y0 + 1;
                if (!tandrel_) {
                    if (b(x0, y0) && b(x1, y0) && b(x0, y1) && b(x1, y1) && inside(x0, y0) &&
                        inside(x1, y1))
                        return false;
                } else if ((wh(x0, y0) && wh(x1, y1) && b(x1, y0) && b(x0, y1)) ||
                           (wh(x1, y0) && wh(x0, y1) && b(x0, y0) && b(x1, y1))) {
                    return false;
                }
            }
        }
        return true;
    }

  private:
    int w_, h_;
    bool tandrel_;
    std::vector<char> black_;
    std::vector<int> comp_;
    std::vector<int> sizes_;
};

} // namespace

bool GeneratePuzzle(const GeneratorOptions& o, Board& puzzle, Board& solution) {
    if (o.width < kMinWidth || o.width > kMaxWidth || o.height < kMinHeight ||
        o.height > kMaxHeight || o.maxArea < 1 || o.maxArea > 40 ||
        (o.ruleSet != RuleSetOmbrix && o.ruleSet != RuleSetTandrel))
        return false;
    const int w = o.width, h = o.height;
    const bool tandrel = o.ruleSet == RuleSetTandrel;
    Random rng{o.seed * 0x2545F4914F6CDD1DULL + 17};
    // Under Ombrix a limit of 1 or 2 is often out of reach of the growth.
    constexpr int kMaxPaintings = 1000;
    for (int painting = 0; painting < kMaxPaintings; ++painting) {
        Painter p(w, h, tandrel);
        p.paint(1 + rng.below(w), 1 + rng.below(h));
        std::vector<std::pair<int, int>> candidates;
        for (;;) {
            // Each area may stop anywhere from its limit down; a little chance
            // keeps some areas large.
            p.label();
            candidates.clear();
            for (int x = 1; x <= w; ++x)
                for (int y = 1; y <= h; ++y)
                    if (p.canPaint(x, y) && p.componentSize(p.component(x, y)) > o.maxArea)
                        candidates.push_back({x, y});
            if (candidates.empty()) break;
            // Paint a few cells per labelling; areas shrink fast enough.
            for (int k = 0; k < 4 && !candidates.empty(); ++k) {
                const std::size_t i =
                    static_cast<std::size_t>(rng.below(static_cast<int>(candidates.size())));
                const auto [x, y] = candidates[i];
                candidates[i] = candidates.back();
                candidates.pop_back();
                if (p.canPaint(x, y)) p.paint(x, y);
            }
        }
        // Growing can stall with an area still too large, when none of its
        // cells may turn black; such a painting is dropped.
        p.label();
        bool ok = p.components() > 0;
        for (int c = 0; c < p.components(); ++c)
            if (p.componentSize(c) > o.maxArea) ok = false;
        if (!ok) continue; // paint afresh with the generator's next numbers

        UiState ui;
        puzzle.width = solution.width = static_cast<std::uint8_t>(w);
        puzzle.height = solution.height = static_cast<std::uint8_t>(h);
        puzzle.ruleSet = solution.ruleSet = static_cast<std::uint8_t>(o.ruleSet);
        ResetBoard(puzzle, ui);
        ResetBoard(solution, ui);
        // One clue per area, at a random cell of it; area cells elsewhere.
        std::vector<std::vector<std::pair<int, int>>> cells(
            static_cast<std::size_t>(p.components()));
        for (int x = 1; x <= w; ++x)
            for (int y = 1; y <= h; ++y)
                if (p.white(x, y))
                    cells[static_cast<std::size_t>(p.component(x, y))].push_back({x, y});
        for (const auto& area : cells) {
            const int n = static_cast<int>(area.size());
            const int pick = rng.below(n);
            for (int i = 0; i < n; ++i) {
                const auto [x, y] = area[static_cast<std::size_t>(i)];
                solution.state(x, y) = static_cast<std::uint8_t>(i == pick ? n : 100 + n);
                if (i == pick) puzzle.state(x, y) = static_cast<std::uint8_t>(n);
            }
        }
        for (int x = 1; x <= w; ++x) {
            for (int y = 1; y <= h; ++y) {
                if (!p.black(x, y)) continue;
                if (tandrel && rng.below(100) < o.givenBlackPercent) {
                    puzzle.state(x, y) = solution.state(x, y) = GivenBlack;
                } else {
                    solution.state(x, y) = Black;
                }
            }
        }
        return true;
    }
    return false;
}

} // namespace ombrix
