// ombrix-cli print: the printed page of a puzzle as a one-page A4 PDF, drawn
// by the same page drawing as the editor's printing. Needs Qt's GUI module for
// fonts and PDF output; runs on the offscreen platform unless told otherwise.
#include "commands.h"
#include "gui_app.h"
#include "qt_page_surface.h"

#include <iostream>

namespace ombrix::cli {

int RunPrint(const Args& args) {
    static Board board;
    static UiState ui;
    std::string outPath;
    if (int status = LoadInputForOutput(
            args, "print", "a puzzle and an output PDF (print IN OUT.pdf)", board, ui, outPath))
        return status;

    CliGuiApplication gui;

    QString qerror;
    if (!WritePuzzlePdf(board, QString::fromStdString(outPath), qerror)) {
        std::cerr << "ombrix-cli: " << qerror.toStdString() << "\n";
        return 2;
    }
    return 0;
}

} // namespace ombrix::cli
