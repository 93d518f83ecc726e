#include "puzzle_file.h"

#include "safe_write.h"
#include "text_export.h"

#include <string_view>
#include <vector>

namespace ombrix {

namespace {

// Every byte a reader can use lies within the first 2 x 2166 bytes on disk
// (the stream of a 31 x 45 board, each byte doubled at worst); reading no
// more keeps a huge file chosen by mistake from being read whole.
constexpr std::size_t kReadLimit = 64 * 1024;

// True when the bytes start like grid text: comment lines, then a rule set's
// name and a space.
bool LooksLikeGridText(const std::vector<std::uint8_t>& bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::size_t pos = 0;
    for (;;) {
        pos = text.find_first_not_of(" \t\r\n", pos);
        if (pos == std::string_view::npos) return false;
        if (text[pos] != '#') break;
        pos = text.find('\n', pos);
        if (pos == std::string_view::npos) return false;
    }
    const std::string_view rest = text.substr(pos);
    return rest.starts_with("ombrix ") || rest.starts_with("tandrel ") ||
           rest.starts_with("ombrix\t") || rest.starts_with("tandrel\t");
}

} // namespace

ReadKind LoadPuzzleFile(const std::string& path, Board& board, UiState& ui, std::string& error) {
    std::vector<std::uint8_t> disk;
    if (!ReadFileBytes(path, kReadLimit, disk, error)) {
        board.status = StatusUnreadable;
        return ReadKind::NotRead;
    }
    const ReadResult result = DecodePuzzleFile(disk, board, ui);
    if (result.kind == ReadKind::Complete)
        error.clear();
    else if (LooksLikeGridText(disk))
        error = path + ": this is grid text, not a puzzle file (ombrix-cli convert turns one into "
                       "the other)";
    else
        error = path + ": " + result.reason;
    return result.kind;
}

bool SavePuzzleFile(const std::string& path, const Board& board, const UiState& ui,
                    std::string& error) {
    return WriteFileAtomically(path, EncodePuzzleFile(board, ui), error);
}

bool SaveTextExport(const std::string& path, const Board& board, std::string& error) {
    return WriteFileAtomically(path, ExportText(board), error);
}

} // namespace ombrix
