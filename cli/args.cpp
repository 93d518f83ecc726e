#include "args.h"

#include "commands.h"
#include "grid_text.h" // QuoteForMessage

#include <climits>
#include <cstdlib>
#include <iostream>
#include <sys/stat.h>

namespace ombrix::cli {

int UsageError(const char* command, const std::string& problem) {
    std::cerr << "ombrix-cli " << command << ": " << problem << "\n";
    if (const Command* c = FindCommand(command))
        std::cerr << "usage: ombrix-cli " << c->usage << "\n";
    return 1;
}

bool ParseArgs(const char* command, const Args& args, std::initializer_list<Option> options,
               std::size_t minNames, std::size_t maxNames, ParsedArgs& parsed) {
    parsed = {};
    bool onlyNames = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyNames || a.size() < 2 || a[0] != '-') {
            if (parsed.names.size() == maxNames)
                return UsageError(command, "unexpected argument " + QuoteForMessage(a)), false;
            parsed.names.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyNames = true;
            continue;
        }
        const std::size_t equals = a.find('=');
        const std::string name = a.substr(0, equals);
        const Option* option = nullptr;
        for (const Option& o : options)
            if (name == o.name) option = &o;
        if (!option) return UsageError(command, "unknown option " + QuoteForMessage(name)), false;
        if (parsed.has(name)) return UsageError(command, name + " is given twice"), false;
        std::string value;
        if (!option->takesValue) {
            if (equals != std::string::npos)
                return UsageError(command, name + " takes no value"), false;
        } else if (equals != std::string::npos) {
            value = a.substr(equals + 1);
        } else if (i + 1 < args.size() && !args[i + 1].starts_with("--")) {
            value = args[++i];
        } else {
            return UsageError(command, name + " needs a value"), false;
        }
        parsed.values[name] = value;
    }
    if (parsed.names.size() < minNames)
        return UsageError(command, parsed.names.empty() ? "no file named" : "too few files named"),
               false;
    return true;
}

bool ParseWholeNumber(std::string_view text, std::uint64_t min, std::uint64_t max,
                      std::uint64_t& value) {
    if (text.empty()) return false;
    std::uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (v > (UINT64_MAX - digit) / 10) return false;
        v = v * 10 + digit;
    }
    if (v < min || v > max) return false;
    value = v;
    return true;
}

namespace {

// The folder part of `path` resolved, with its last name appended.
std::string Canonical(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    char* resolved = realpath(folder.c_str(), nullptr);
    if (!resolved) return path;
    std::string out = std::string(resolved) + "/" + name;
    std::free(resolved);
    return out;
}

} // namespace

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    struct stat sa, sb;
    if (stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return Canonical(a) == Canonical(b);
}

} // namespace ombrix::cli
