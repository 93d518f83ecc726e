// The strict argument reading every subcommand of ombrix-cli shares: known
// options only, each at most once, a value where one is needed, and a fixed
// number of names. A problem is reported on stderr with the subcommand's
// usage line, and the subcommand returns exit status 1.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix::cli {

using Args = std::vector<std::string>;

struct Option {
    const char* name; // "--seed"
    bool takesValue;  // "--seed N" (or "--seed=N"); else a flag
};

struct ParsedArgs {
    std::vector<std::string> names;            // the arguments that are not options
    std::map<std::string, std::string> values; // option name -> value ("" for a flag)
    bool has(const std::string& option) const { return values.count(option) != 0; }
    const std::string& value(const std::string& option) const { return values.at(option); }
};

// Reads `args` of subcommand `command` ("generate"): every argument that
// starts with '-' (but is not "-" alone) must be one of `options`; after
// "--" every argument is a name. Between `minNames` and `maxNames` names.
// On a problem prints it and the usage line and returns false.
bool ParseArgs(const char* command, const Args& args, std::initializer_list<Option> options,
               std::size_t minNames, std::size_t maxNames, ParsedArgs& parsed);

// Prints "ombrix-cli COMMAND: PROBLEM" and the subcommand's usage line on
// stderr; returns 1, the exit status of a usage error.
int UsageError(const char* command, const std::string& problem);

// A whole number written in decimal digits only (no sign, no spaces), from
// `min` to `max`.
bool ParseWholeNumber(std::string_view text, std::uint64_t min, std::uint64_t max,
                      std::uint64_t& value);

// True when `a` and `b` name the same file: the same text, or an existing
// file reached by both, or a new name in the same folder.
bool SameFile(const std::string& a, const std::string& b);

} // namespace ombrix::cli
