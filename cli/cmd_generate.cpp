// ombrix-cli generate: a seeded random puzzle with a valid solution.
#include "commands.h"
#include "generator.h"
#include "grid_text.h"

#include <cstdint>
#include <iostream>
#include <memory>

namespace ombrix::cli {

namespace {

// "WxH": two whole numbers in range joined by 'x', nothing else.
bool ParseSize(const std::string& s, int& w, int& h) {
    const auto x = s.find('x');
    if (x == std::string::npos) return false;
    std::uint64_t a = 0, b = 0;
    if (!ParseWholeNumber(std::string_view(s).substr(0, x), kMinWidth, kMaxWidth, a) ||
        !ParseWholeNumber(std::string_view(s).substr(x + 1), kMinHeight, kMaxHeight, b))
        return false;
    w = static_cast<int>(a);
    h = static_cast<int>(b);
    return true;
}

} // namespace

int RunGenerate(const Args& args) {
    ParsedArgs parsed;
    if (!ParseArgs("generate", args,
                   {{"--rules", true},
                    {"--size", true},
                    {"--seed", true},
                    {"--max-area", true},
                    {"--solution", true},
                    {"--unique", false},
                    {"--grade", true},
                    {"--count", true},
                    {"--symmetric", false},
                    {"--limit-seconds", true},
                    {"--threads", true}},
                   0, 1, parsed))
        return 1;
    auto bad = [](const std::string& option, const std::string& value, const char* wants) {
        return UsageError("generate",
                          option + " takes " + wants + ", not " + QuoteForMessage(value));
    };
    GeneratorOptions o;
    if (parsed.has("--rules")) {
        const std::string& v = parsed.value("--rules");
        if (v == "ombrix")
            o.ruleSet = RuleSetOmbrix;
        else if (v == "tandrel")
            o.ruleSet = RuleSetTandrel;
        else
            return bad("--rules", v, "ombrix or tandrel");
    }
    if (parsed.has("--size") && !ParseSize(parsed.value("--size"), o.width, o.height))
        return bad("--size", parsed.value("--size"), "WxH with W 8..31 and H 8..45, e.g. 31x45");
    if (parsed.has("--seed") && !ParseWholeNumber(parsed.value("--seed"), 0, UINT64_MAX, o.seed))
        return bad("--seed", parsed.value("--seed"),
                   "a whole number from 0 to 18446744073709551615");
    if (parsed.has("--max-area")) {
        std::uint64_t maxArea = 0;
        if (!ParseWholeNumber(parsed.value("--max-area"), 1, 40, maxArea))
            return bad("--max-area", parsed.value("--max-area"), "a whole number from 1 to 40");
        o.maxArea = static_cast<int>(maxArea);
    }
    const std::string out = parsed.names.empty() ? std::string() : parsed.names[0];
    if (parsed.has("--unique")) {
        if (parsed.has("--max-area") || parsed.has("--solution"))
            return UsageError("generate", "--max-area and --solution go without --unique");
        return RunGenerateUnique(parsed, o.ruleSet, o.width, o.height, o.seed, out);
    }
    for (const char* option : {"--grade", "--count", "--symmetric", "--limit-seconds", "--threads"})
        if (parsed.has(option))
            return UsageError("generate", std::string(option) + " goes with --unique");
    const std::string solutionPath = parsed.has("--solution") ? parsed.value("--solution") : "";
    if (!out.empty() && !solutionPath.empty() && SameFile(out, solutionPath))
        return UsageError("generate", "the puzzle and --solution name the same file");

    auto puzzle = std::make_unique<Board>();
    auto solution = std::make_unique<Board>();
    if (!GeneratePuzzle(o, *puzzle, *solution))
        return UsageError("generate", "size must be 8..31 x 8..45 and --max-area 1..40 (under "
                                      "ombrix, a --max-area of 1 or 2 may find no puzzle)");
    const std::string text = "# generated " + std::string(o.ruleSet ? "tandrel" : "ombrix") +
                             " puzzle, seed " + std::to_string(o.seed) + "\n" +
                             FormatGridText(*puzzle);
    if (out.empty())
        std::cout << text;
    else if (int status = WriteOutput(out, text))
        return status;
    if (!solutionPath.empty()) {
        std::string sol;
        for (int y = 1; y <= solution->height; ++y) {
            for (int x = 1; x <= solution->width; ++x)
                sol += std::string(x > 1 ? " " : "") + (isBlack(solution->state(x, y)) ? "#" : ".");
            sol += "\n";
        }
        return WriteOutput(solutionPath, sol);
    }
    return 0;
}

} // namespace ombrix::cli
