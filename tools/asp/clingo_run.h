// Runs clingo on the answer set encoding of the rules (tools/asp/ombrix.lp)
// for one board: the independent solver the analysis is held against by its
// test and its benchmark. Header only, standard library and POSIX popen.
#pragma once

#include "board.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace ombrix::asp {

// The board's clues and given black cells as facts of the encoding.
inline std::string Facts(const Board& b) {
    std::ostringstream out;
    out << "width(" << int(b.width) << "). height(" << int(b.height) << ").\n";
    if (b.tandrel()) out << "tandrel.\n";
    for (int x = 1; x <= b.width; ++x) {
        for (int y = 1; y <= b.height; ++y) {
            const int s = b.state(x, y);
            if (s >= 1 && s <= 48)
                out << "clue(" << x << "," << y << "," << s << ").\n";
            else if (s == GivenBlack)
                out << "given(" << x << "," << y << ").\n";
        }
    }
    return out.str();
}

struct Outcome {
    bool ran = false; // clingo answered SATISFIABLE or UNSATISFIABLE
    // The black cells of each answer set found (at most two).
    std::vector<std::set<std::pair<int, int>>> models;
    double seconds = 0;
};

inline bool Available() {
    return std::system("clingo --version >/dev/null 2>&1") == 0;
}

// Looks for up to two answer sets, with clingo's `threads` (its -t);
// `facts` is written to `factsPath`.
inline Outcome Solve(const std::string& encoding, const Board& b,
                     const std::filesystem::path& factsPath, int threads = 1) {
    Outcome o;
    {
        std::ofstream f(factsPath, std::ios::binary);
        f << Facts(b);
    }
    const std::string cmd = "clingo -V0 --models 2 -t " + std::to_string(threads) + " '" +
                            encoding + "' '" + factsPath.string() + "' 2>/dev/null";
    const auto t0 = std::chrono::steady_clock::now();
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return o;
    std::string text;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        text.append(buf, n);
    pclose(p);
    o.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line == "SATISFIABLE" || line == "UNSATISFIABLE") {
            o.ran = true;
            continue;
        }
        std::set<std::pair<int, int>> cells;
        std::istringstream atoms(line);
        for (std::string a; atoms >> a;) {
            int x = 0, y = 0;
            if (std::sscanf(a.c_str(), "black(%d,%d)", &x, &y) == 2) cells.insert({x, y});
        }
        if (line.rfind("black(", 0) == 0) o.models.push_back(cells);
    }
    return o;
}

} // namespace ombrix::asp
