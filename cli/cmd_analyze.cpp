// ombrix-cli analyze: the complete analysis of a puzzle's clues.
#include "analysis.h"
#include "args.h"
#include "commands.h"
#include "grid_text.h" // QuoteForMessage

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

namespace ombrix::cli {

namespace {

// One solution row: the clue number, '#' black, '.' white.
std::string SolutionRow(const Board& b, int y) {
    std::string row;
    for (int x = 1; x <= b.width; ++x) {
        const int s = b.state(x, y);
        if (x > 1) row += ' ';
        if (s >= 1 && s <= 48)
            row += std::to_string(s);
        else
            row += isBlack(static_cast<std::uint8_t>(s)) ? "#" : ".";
    }
    return row;
}

} // namespace

int RunAnalyze(const Args& args) {
    ParsedArgs parsed;
    if (!ParseArgs("analyze", args, {{"--json", false}, {"--limit-seconds", true}}, 1, 1, parsed))
        return 1;
    const bool json = parsed.has("--json");
    double limit = 0;
    if (parsed.has("--limit-seconds")) {
        const std::string& v = parsed.value("--limit-seconds");
        char* end = nullptr;
        limit = std::strtod(v.c_str(), &end);
        if (v.empty() || *end != '\0' || !(limit > 0) || limit > 1e9)
            return UsageError("analyze", "--limit-seconds takes a number of seconds above 0, not " +
                                             QuoteForMessage(v));
    }
    const std::string& path = parsed.names[0];
    auto board = std::make_unique<Board>();
    auto ui = std::make_unique<UiState>();
    std::string error;
    if (!LoadPuzzle(path, *board, *ui, error)) {
        std::cerr << "ombrix-cli: " << error << "\n";
        return 2;
    }
    AnalysisLimits limits;
    limits.seconds = limit;
    limits.threads = 2;
    const auto result = std::make_unique<AnalysisResult>(Analyze(*board, limits));
    const int grade = result->verdict == Verdict::Unique ? GradeByAutoSolve(*board) : 0;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", result->seconds);
    const char* verdict = VerdictName(result->verdict);
    if (json) {
        std::cout << "{\"verdict\": \"" << verdict << "\", \"grade\": " << grade
                  << ", \"differ\": " << result->differing.size() << ", \"seconds\": " << seconds
                  << ", \"solutions\": [";
        for (int k = 0; k < result->solutionCount; ++k) {
            std::cout << (k ? ", [" : "[");
            for (int y = 1; y <= board->height; ++y)
                std::cout << (y > 1 ? ", \"" : "\"") << SolutionRow(result->solutions[k], y)
                          << "\"";
            std::cout << "]";
        }
        std::cout << "]}\n";
        return 0;
    }
    std::cout << "verdict " << verdict << "\ngrade " << grade << "\ndiffer "
              << result->differing.size() << "\nseconds " << seconds << "\n";
    for (int k = 0; k < result->solutionCount; ++k) {
        std::cout << "\n";
        for (int y = 1; y <= board->height; ++y)
            std::cout << SolutionRow(result->solutions[k], y) << "\n";
    }
    return 0;
}

} // namespace ombrix::cli
