// ombrix-cli render: the editor's whole layout of a puzzle as a PNG, painted by
// the same code as the window, so a user can share exactly what the editor
// shows. Needs Qt's GUI module; runs on the offscreen platform unless told
// otherwise.
#include "commands.h"
#include "layout.h"
#include "paint.h"

#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>

#include <iostream>

namespace ombrix::cli {

int RunRender(const Args& args) {
    std::vector<std::string> paths;
    for (const std::string& a : args) {
        if (!a.empty() && a[0] == '-' && a != "-") {
            std::cerr << "ombrix-cli render: unknown option " << a << "\n";
            return 1;
        }
        paths.push_back(a);
    }
    if (paths.size() != 2) {
        std::cerr << "ombrix-cli render: expected a puzzle and an output PNG (render IN OUT.png)\n";
        return 1;
    }
    static Board board;
    static UiState ui;
    std::string error;
    if (!LoadPuzzle(paths[0], board, ui, error)) {
        std::cerr << "ombrix-cli: " << error << "\n";
        return 2;
    }
    // The bar length is not stored in any file; the editor works it out from
    // the board's size, so a board that needs no layout step gets it here.
    if (ui.layoutState == LayoutReady)
        ui.barLength = static_cast<std::int16_t>(BarLengthFor(board.width, board.height));

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static char name[] = "ombrix-cli";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    QGuiApplication app(argc, argv);

    const QImage image = RenderLayout(board, ui);
    QSaveFile out(QString::fromLocal8Bit(paths[1].c_str()));
    if (!out.open(QIODevice::WriteOnly) || !image.save(&out, "PNG") || !out.commit()) {
        std::cerr << "ombrix-cli: " << paths[1]
                  << ": cannot write: " << out.errorString().toStdString() << "\n";
        return 2;
    }
    return 0;
}

} // namespace ombrix::cli
