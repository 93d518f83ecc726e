// ombrix-cli print: the printed page of a puzzle as a one-page A4 PDF, drawn
// by the same page drawing as the editor's printing into memory and written
// through the safe writer. Needs Qt's GUI module for fonts and PDF output;
// runs on the offscreen platform unless told otherwise.
#include "commands.h"
#include "gui_app.h"
#include "qt_page_surface.h"

namespace ombrix::cli {

int RunPrint(const Args& args) {
    static Board board;
    static UiState ui;
    std::string outPath;
    if (int status = LoadInputForOutput(args, "print", board, ui, outPath)) return status;

    CliGuiApplication gui;
    std::string error;
    return WritePuzzlePdf(board, outPath, error) ? 0 : FileError(error);
}

} // namespace ombrix::cli
