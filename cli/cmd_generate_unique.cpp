// ombrix-cli generate --unique: puzzles with exactly one solution.
#include "commands.h"
#include "grid_text.h"
#include "puzzle_file.h"
#include "unique.h"

#include <iostream>
#include <memory>

namespace ombrix::cli {

namespace {

// "p.grid", 2 -> "p-2.grid"; the extension is what follows the last dot of
// the file name.
std::string Numbered(const std::string& out, std::uint64_t n) {
    const auto slash = out.find_last_of('/');
    const auto dot = out.find_last_of('.');
    const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    const std::string stem = hasExt ? out.substr(0, dot) : out;
    return stem + "-" + std::to_string(n) + (hasExt ? out.substr(dot) : "");
}

} // namespace

int RunGenerateUnique(const ParsedArgs& parsed, int ruleSet, int width, int height,
                      std::uint64_t seed, const std::string& out) {
    std::uint64_t grade = 0, count = 1;
    if (parsed.has("--grade") && !ParseWholeNumber(parsed.value("--grade"), 1, 4, grade))
        return UsageError("generate", "--grade takes 1, 2, 3 or 4, not " +
                                          QuoteForMessage(parsed.value("--grade")));
    if (parsed.has("--count") && !ParseWholeNumber(parsed.value("--count"), 1, 1000, count))
        return UsageError("generate", "--count takes a whole number from 1 to 1000, not " +
                                          QuoteForMessage(parsed.value("--count")));
    std::uint64_t limit = 120;
    if (parsed.has("--limit-seconds") &&
        !ParseWholeNumber(parsed.value("--limit-seconds"), 1, 86400, limit))
        return UsageError("generate", "--limit-seconds takes a whole number from 1 to 86400, not " +
                                          QuoteForMessage(parsed.value("--limit-seconds")));
    std::uint64_t threads = 2;
    if (parsed.has("--threads") && !ParseWholeNumber(parsed.value("--threads"), 1, 16, threads))
        return UsageError("generate", "--threads takes a whole number from 1 to 16, not " +
                                          QuoteForMessage(parsed.value("--threads")));
    if (count > 1 && out.empty())
        return UsageError("generate", "--count needs OUT to number the files after");
    auto result = std::make_unique<UniqueResult>();
    for (std::uint64_t k = 0; k < count; ++k) {
        UniqueOptions o;
        o.width = width;
        o.height = height;
        o.ruleSet = ruleSet;
        o.seed = seed + k;
        o.grade = static_cast<int>(grade);
        o.symmetric = parsed.has("--symmetric");
        o.seconds = static_cast<double>(limit);
        o.threads = static_cast<int>(threads);
        if (!GenerateUnique(o, *result)) {
            if (!result->timedOut) return UsageError("generate", "options out of range");
            std::cerr << "ombrix-cli generate: no unique puzzle of seed " << o.seed
                      << " was found within " << limit
                      << " seconds (try another seed, size or grade, or a larger "
                         "--limit-seconds)\n";
            return 2;
        }
        const std::string path = count > 1 ? Numbered(out, k + 1) : out;
        if (!path.empty() && IsPuzzleFilePath(path)) {
            UiState ui;
            SetFreshUiState(result->puzzle, ui);
            std::string error;
            if (!SavePuzzleFile(path, result->puzzle, ui, error)) return FileError(error);
            continue;
        }
        const std::string text =
            "# unique " + std::string(ruleSet ? "tandrel" : "ombrix") + " puzzle, seed " +
            std::to_string(o.seed) + ", grade " + std::to_string(result->grade) + ", clues " +
            std::to_string(result->clues) + "\n" + FormatGridText(result->puzzle);
        if (path.empty())
            std::cout << text;
        else if (int status = WriteOutput(path, text))
            return status;
    }
    return 0;
}

} // namespace ombrix::cli
