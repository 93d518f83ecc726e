// The shared puzzle corpus beside the project (../shared/corpus). A fresh
// clone has none: its tests then skip and say so, unless the build was
// configured with OMBRIX_REQUIRE_CORPUS, which makes a missing corpus fail.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

// Skips the current test, or fails it when the corpus is required.
#define OMBRIX_WITHOUT_CORPUS(what)                                                                \
    do {                                                                                           \
        if (OMBRIX_REQUIRE_CORPUS) FAIL() << "missing corpus (required): " << (what);              \
        GTEST_SKIP() << "no corpus, test skipped: " << (what);                                     \
    } while (false)

// The grid text files (*.grid) of a folder, sorted by name; none when the
// folder is missing.
inline std::vector<std::filesystem::path> CorpusGrids(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        if (e.path().extension() == ".grid") out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}
