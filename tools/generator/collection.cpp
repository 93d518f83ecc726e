#include "collection.h"

#include <cctype>
#include <charconv>
#include <sstream>

namespace ombrix {

namespace {

bool Number(std::string_view s, std::uint64_t& out) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size() && !s.empty();
}

bool Entry(const std::string& line, CollectionEntry& e, std::string& why) {
    std::istringstream in(line);
    std::string rules, size, grade, seed, extra, more;
    if (!(in >> e.name >> rules >> size >> grade >> seed)) {
        why = "expected NAME RULES WxH GRADE SEED";
        return false;
    }
    if (in >> extra) {
        if (extra != "symmetric" || (in >> more)) {
            why = "unexpected '" + extra + "'";
            return false;
        }
        e.symmetric = true;
    }
    for (char c : e.name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') {
            why = "a name of letters, digits, '-' and '_'";
            return false;
        }
    if (rules == "ombrix" || rules == "tandrel") {
        e.ruleSet = rules == "ombrix" ? RuleSetOmbrix : RuleSetTandrel;
    } else {
        why = "rules ombrix or tandrel, not '" + rules + "'";
        return false;
    }
    const auto x = size.find('x');
    std::uint64_t w = 0, h = 0, g = 0;
    if (x == std::string::npos || !Number(std::string_view(size).substr(0, x), w) ||
        !Number(std::string_view(size).substr(x + 1), h) || w < kMinWidth || w > kMaxWidth ||
        h < kMinHeight || h > kMaxHeight) {
        why = "a size from 8x8 to 31x45, not '" + size + "'";
        return false;
    }
    if (!Number(grade, g) || g < 1 || g > 4) {
        why = "a grade from 1 to 4, not '" + grade + "'";
        return false;
    }
    if (!Number(seed, e.seed)) {
        why = "a seed of decimal digits, not '" + seed + "'";
        return false;
    }
    e.width = static_cast<int>(w);
    e.height = static_cast<int>(h);
    e.grade = static_cast<int>(g);
    return true;
}

} // namespace

bool ParseSeedList(std::string_view text, std::vector<CollectionEntry>& entries,
                   std::string& error) {
    entries.clear();
    std::istringstream in{std::string(text)};
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        CollectionEntry e;
        std::string why;
        if (!Entry(line, e, why)) {
            error = "line " + std::to_string(n) + ": " + why;
            return false;
        }
        entries.push_back(e);
    }
    return true;
}

UniqueOptions EntryOptions(const CollectionEntry& e) {
    UniqueOptions o;
    o.ruleSet = e.ruleSet;
    o.width = e.width;
    o.height = e.height;
    o.grade = e.grade;
    o.seed = e.seed;
    o.symmetric = e.symmetric;
    return o;
}

const char* RuleSetName(int ruleSet) {
    return ruleSet == RuleSetTandrel ? "Tandrel" : "Ombrix";
}

} // namespace ombrix
