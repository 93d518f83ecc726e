// ombrix-cli convert and export-text, and the saving behind solve --out: the
// puzzle file, grid text and text export formats from the command line. Every
// file is written through the safe writer, so a failed write leaves the old
// file as it was.
#include "commands.h"
#include "grid_text.h"
#include "puzzle_file.h"
#include "safe_write.h"

namespace ombrix::cli {

namespace {

int SaveGridText(const std::string& path, const Board& board) {
    if (board.width < kMinWidth || board.width > kMaxWidth || board.height < kMinHeight ||
        board.height > kMaxHeight)
        return FileError("cannot save " + path + ": the board is " + std::to_string(board.width) +
                         " x " + std::to_string(board.height) + ", grid text holds 8..31 x 8..45");
    return WriteOutput(path, FormatGridText(board));
}

} // namespace

bool SaveSolvedPuzzle(const std::string& path, const Board& board, UiState& ui,
                      std::string& error) {
    ui = UiState{}; // selected number 1, no step history
    ui.phase = PhaseAutoSolved;
    ui.layoutState = LayoutReady;
    return SavePuzzleFile(path, board, ui, error);
}

int RunConvert(const Args& args) {
    ParsedArgs parsed;
    if (!ParseArgs("convert", args, {}, 2, 2, parsed)) return 1;
    const std::string &in = parsed.names[0], &out = parsed.names[1];
    if (IsPuzzleFilePath(in) == IsPuzzleFilePath(out))
        return UsageError("convert", "converts grid text to a .omx file or a .omx file to grid "
                                     "text; give one of each");
    static Board board;
    static UiState ui;
    std::string error;
    if (!LoadPuzzle(in, board, ui, error)) return FileError(error);
    if (!IsPuzzleFilePath(out)) return SaveGridText(out, board);
    return SavePuzzleFile(out, board, ui, error) ? 0 : FileError(error);
}

int RunExportText(const Args& args) {
    static Board board;
    static UiState ui;
    std::string out;
    if (int status = LoadInputForOutput(args, "export-text", board, ui, out)) return status;
    std::string error;
    return SaveTextExport(out, board, error) ? 0 : FileError(error);
}

} // namespace ombrix::cli
