// The starter collection: a seed list names each puzzle by rule set, size,
// grade and seed, so the generator makes it again byte for byte. One entry a
// line: `NAME RULES WxH GRADE SEED [symmetric]`, e.g.
// `o01 ombrix 10x10 1 101 symmetric`; blank lines and lines from '#' on are
// ignored. The puzzle of entry NAME is the file NAME.omx beside the list.
#pragma once

#include "unique.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix {

struct CollectionEntry {
    std::string name;
    int ruleSet = RuleSetOmbrix;
    int width = 10, height = 10;
    int grade = 1;
    std::uint64_t seed = 1;
    bool symmetric = false;
};

// Reads a seed list; false with `error` ("line N: ...") on the first bad line.
bool ParseSeedList(std::string_view text, std::vector<CollectionEntry>& entries,
                   std::string& error);

// The generator's options for an entry.
UniqueOptions EntryOptions(const CollectionEntry& entry);

// "Ombrix" or "Tandrel".
const char* RuleSetName(int ruleSet);

} // namespace ombrix
