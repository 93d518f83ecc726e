// The shared puzzle corpus beside the project (../shared/corpus). A fresh
// clone has none: its tests then skip and say so, unless the build was
// configured with OMBRIX_REQUIRE_CORPUS, which makes a missing corpus fail.
#pragma once

#include <gtest/gtest.h>

// Skips the current test, or fails it when the corpus is required.
#define OMBRIX_WITHOUT_CORPUS(what)                                                                \
    do {                                                                                           \
        if (OMBRIX_REQUIRE_CORPUS) FAIL() << "missing corpus (required): " << (what);              \
        GTEST_SKIP() << "no corpus, test skipped: " << (what);                                     \
    } while (false)
