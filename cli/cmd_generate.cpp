// ombrix-cli generate: a seeded random puzzle with a valid solution.
#include "commands.h"
#include "generator.h"
#include "grid_text.h"
#include "safe_write.h"

#include <iostream>
#include <memory>

namespace ombrix::cli {

namespace {

bool parseSize(const std::string& s, int& w, int& h) {
    const auto x = s.find('x');
    if (x == std::string::npos) return false;
    try {
        std::size_t a = 0, b = 0;
        w = std::stoi(s.substr(0, x), &a);
        h = std::stoi(s.substr(x + 1), &b);
        return a == x && b == s.size() - x - 1;
    } catch (...) {
        return false;
    }
}

bool writeText(const std::string& path, const std::string& text) {
    std::string error;
    if (WriteFileAtomically(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()},
                            error))
        return true;
    std::cerr << "ombrix-cli: " << error << "\n";
    return false;
}

} // namespace

int RunGenerate(const Args& args) {
    GeneratorOptions o;
    std::string out, solutionPath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--rules" && hasValue) {
            const std::string& v = args[++i];
            if (v == "ombrix")
                o.ruleSet = RuleSetOmbrix;
            else if (v == "tandrel")
                o.ruleSet = RuleSetTandrel;
            else {
                std::cerr << "ombrix-cli generate: --rules takes ombrix or tandrel\n";
                return 1;
            }
        } else if (a == "--size" && hasValue) {
            if (!parseSize(args[++i], o.width, o.height)) {
                std::cerr << "ombrix-cli generate: --size takes WxH, e.g. 31x45\n";
                return 1;
            }
        } else if (a == "--seed" && hasValue) {
            try {
                o.seed = std::stoull(args[++i]);
            } catch (...) {
                std::cerr << "ombrix-cli generate: --seed takes a whole number\n";
                return 1;
            }
        } else if (a == "--max-area" && hasValue) {
            try {
                o.maxArea = std::stoi(args[++i]);
            } catch (...) {
                o.maxArea = 0;
            }
        } else if (a == "--solution" && hasValue) {
            solutionPath = args[++i];
        } else if (!a.empty() && a[0] != '-' && out.empty()) {
            out = a;
        } else {
            std::cerr << "ombrix-cli generate: unexpected argument " << a << "\n";
            return 1;
        }
    }
    auto puzzle = std::make_unique<Board>();
    auto solution = std::make_unique<Board>();
    if (!GeneratePuzzle(o, *puzzle, *solution)) {
        std::cerr << "ombrix-cli generate: size must be 8..31 x 8..45 and --max-area 1..40"
                     " (under ombrix, a --max-area of 1 or 2 may find no puzzle)\n";
        return 1;
    }
    std::string text = "# generated " + std::string(o.ruleSet ? "tandrel" : "ombrix") +
                       " puzzle, seed " + std::to_string(o.seed) + "\n" + FormatGridText(*puzzle);
    if (out.empty()) {
        std::cout << text;
    } else if (!writeText(out, text)) {
        return 2;
    }
    if (!solutionPath.empty()) {
        std::string sol;
        for (int y = 1; y <= solution->height; ++y) {
            for (int x = 1; x <= solution->width; ++x)
                sol += std::string(x > 1 ? " " : "") + (isBlack(solution->state(x, y)) ? "#" : ".");
            sol += "\n";
        }
        if (!writeText(solutionPath, sol)) return 2;
    }
    return 0;
}

} // namespace ombrix::cli
