// ombrix-cli convert and export-text, and the saving behind solve --out: the
// puzzle file, grid text and text export formats from the command line. Every
// file is written through the safe writer, so a failed write leaves the old
// file as it was.
#include "commands.h"
#include "grid_text.h"
#include "puzzle_file.h"
#include "safe_write.h"

#include <iostream>

namespace ombrix::cli {

namespace {

bool SaveGridText(const std::string& path, const Board& board, std::string& error) {
    if (board.width < kMinWidth || board.width > kMaxWidth || board.height < kMinHeight ||
        board.height > kMaxHeight) {
        error = "cannot save " + path + ": the board is " + std::to_string(board.width) + " x " +
                std::to_string(board.height) + ", grid text holds 8..31 x 8..45";
        return false;
    }
    const std::string text = FormatGridText(board);
    return WriteFileAtomically(
        path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, error);
}

int Fail(const std::string& error) {
    std::cerr << "ombrix-cli: " << error << "\n";
    return 2;
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
    std::string in, out;
    if (!TwoPaths("convert", "two files (convert IN OUT)", args, in, out)) return 1;
    if (IsPuzzleFilePath(in) == IsPuzzleFilePath(out)) {
        std::cerr << "ombrix-cli convert: converts grid text to a .omx file or a .omx file to "
                     "grid text; give one of each\n";
        return 1;
    }
    static Board board;
    static UiState ui;
    std::string error;
    if (!LoadPuzzle(in, board, ui, error)) return Fail(error);
    const bool saved = IsPuzzleFilePath(out) ? SavePuzzleFile(out, board, ui, error)
                                             : SaveGridText(out, board, error);
    return saved ? 0 : Fail(error);
}

int RunExportText(const Args& args) {
    std::string in, out;
    if (!TwoPaths("export-text", "two files (export-text IN OUT)", args, in, out)) return 1;
    static Board board;
    static UiState ui;
    std::string error;
    if (!LoadPuzzle(in, board, ui, error)) return Fail(error);
    return SaveTextExport(out, board, error) ? 0 : Fail(error);
}

} // namespace ombrix::cli
