// The solver's complete outcome as a short hash, and the golden outcomes of
// the straightforward implementation (tests/solver/golden_results.txt).
#pragma once

#include "board.h"
#include "grid_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

namespace ombrix::testing {

// The same text as `ombrix-cli solve --dump`, hashed with 64-bit FNV-1a.
inline std::string OutcomeHash(const Board& b) {
    std::ostringstream out;
    out << "status " << int(b.status) << "\n"
        << "alt " << b.altCellX << " " << b.altCellY << "\n"
        << "undecided " << b.undecidedCount << "\n";
    for (int y = 1; y <= b.height; ++y) {
        for (int x = 1; x <= b.width; ++x)
            out << (x > 1 ? " " : "") << int(b.state(x, y));
        out << "\n";
    }
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (unsigned char c : out.str()) {
        h ^= c;
        h *= 0x100000001b3ULL;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    return hex;
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A puzzle read from a grid text file; a failure to read is a test failure.
inline std::unique_ptr<Board> LoadGrid(const std::string& path) {
    auto b = std::make_unique<Board>();
    GridTextError error;
    EXPECT_TRUE(ParseGridText(ReadText(path), *b, error)) << path << ": " << error.describe();
    return b;
}

} // namespace ombrix::testing
