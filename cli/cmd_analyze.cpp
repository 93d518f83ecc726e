// ombrix-cli analyze: the complete analysis of a puzzle's clues.
#include "analysis.h"
#include "commands.h"

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
    std::string path;
    bool json = false;
    double limit = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--json") {
            json = true;
        } else if (a == "--limit-seconds") {
            char* end = nullptr;
            if (i + 1 < args.size()) limit = std::strtod(args[i + 1].c_str(), &end);
            if (i + 1 == args.size() || end == args[i + 1].c_str() || *end != '\0' ||
                !(limit > 0)) {
                std::cerr << "ombrix-cli analyze: --limit-seconds takes a number of seconds "
                             "above 0\n";
                return 1;
            }
            ++i;
        } else if (!a.empty() && a[0] == '-') {
            std::cerr << "ombrix-cli analyze: unknown option " << a << "\n";
            return 1;
        } else if (path.empty()) {
            path = a;
        } else {
            std::cerr << "ombrix-cli analyze: more than one puzzle named\n";
            return 1;
        }
    }
    if (path.empty()) {
        std::cerr << "ombrix-cli analyze: no puzzle named\n";
        return 1;
    }
    auto board = std::make_unique<Board>();
    auto ui = std::make_unique<UiState>();
    std::string error;
    if (!LoadPuzzle(path, *board, *ui, error)) {
        std::cerr << "ombrix-cli: " << error << "\n";
        return 2;
    }
    AnalysisLimits limits;
    limits.seconds = limit;
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
