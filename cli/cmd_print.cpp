// ombrix-cli print: the printed page of a puzzle as a one-page A4 PDF, drawn
// by the same page drawing as the editor's printing. Needs Qt's GUI module for
// fonts and PDF output; runs on the offscreen platform unless told otherwise.
#include "commands.h"
#include "qt_page_surface.h"

#include <QGuiApplication>

#include <iostream>

namespace ombrix::cli {

int RunPrint(const Args& args) {
    std::vector<std::string> paths;
    for (const std::string& a : args) {
        if (!a.empty() && a[0] == '-' && a != "-") {
            std::cerr << "ombrix-cli print: unknown option " << a << "\n";
            return 1;
        }
        paths.push_back(a);
    }
    if (paths.size() != 2) {
        std::cerr << "ombrix-cli print: expected a puzzle and an output PDF (print IN OUT.pdf)\n";
        return 1;
    }
    static Board board;
    static UiState ui;
    std::string error;
    if (!LoadPuzzle(paths[0], board, ui, error)) {
        std::cerr << "ombrix-cli: " << error << "\n";
        return 2;
    }

    // No display is needed to lay out text in a PDF.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static char name[] = "ombrix-cli";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    QGuiApplication app(argc, argv);

    QString qerror;
    if (!WritePuzzlePdf(board, QString::fromStdString(paths[1]), qerror)) {
        std::cerr << "ombrix-cli: " << qerror.toStdString() << "\n";
        return 2;
    }
    return 0;
}

} // namespace ombrix::cli
