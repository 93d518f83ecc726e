// ombrix-cli collection: makes the puzzles of a seed list again.
#include "collection.h"
#include "commands.h"
#include "omx.h"
#include "safe_write.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>

namespace ombrix::cli {

int RunCollection(const Args& args) {
    ParsedArgs parsed;
    if (!ParseArgs("collection", args, {{"--only", true}}, 2, 2, parsed)) return 1;
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadFileBytes(parsed.names[0], 1 << 20, bytes, error)) return FileError(error);
    std::vector<CollectionEntry> entries;
    if (!ParseSeedList({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, entries, error))
        return FileError(parsed.names[0] + ": " + error);
    auto made = std::make_unique<UniqueResult>();
    int written = 0;
    for (const CollectionEntry& e : entries) {
        if (parsed.has("--only") && parsed.value("--only") != e.name) continue;
        const auto start = std::chrono::steady_clock::now();
        if (!GenerateUnique(EntryOptions(e), *made)) {
            std::cerr << "ombrix-cli collection: " << e.name << " could not be made\n";
            return 2;
        }
        UiState ui;
        SetFreshUiState(made->puzzle, ui);
        const std::string path = parsed.names[1] + "/" + e.name + ".omx";
        if (int status = WriteOutput(path, SerializePuzzle(made->puzzle, ui))) return status;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%s %s %dx%d grade %d clues %d given %d %.2f s\n", e.name.c_str(),
                    RuleSetName(e.ruleSet), e.width, e.height, made->grade, made->clues,
                    made->givenBlack, seconds);
        std::fflush(stdout);
        ++written;
    }
    if (written == 0) return UsageError("collection", "no entry of that name");
    return 0;
}

} // namespace ombrix::cli
