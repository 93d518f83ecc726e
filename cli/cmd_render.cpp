// ombrix-cli render: the editor's whole layout of a puzzle as a PNG, painted by
// the same code as the window, so a user can share exactly what the editor
// shows. Needs Qt's GUI module; runs on the offscreen platform unless told
// otherwise.
#include "commands.h"
#include "gui_app.h"
#include "layout.h"
#include "paint.h"

#include <QImage>
#include <QSaveFile>

#include <iostream>

namespace ombrix::cli {

int RunRender(const Args& args) {
    static Board board;
    static UiState ui;
    std::string outPath;
    if (int status = LoadInputForOutput(
            args, "render", "a puzzle and an output PNG (render IN OUT.png)", board, ui, outPath))
        return status;
    // The bar length is not stored in any file; the editor works it out from
    // the board's size, so a board that needs no layout step gets it here.
    if (ui.layoutState == LayoutReady)
        ui.barLength = static_cast<std::int16_t>(BarLengthFor(board.width, board.height));

    CliGuiApplication gui;

    const QImage image = RenderLayout(board, ui);
    QSaveFile out(QString::fromLocal8Bit(outPath.c_str()));
    if (!out.open(QIODevice::WriteOnly) || !image.save(&out, "PNG") || !out.commit()) {
        std::cerr << "ombrix-cli: " << outPath
                  << ": cannot write: " << out.errorString().toStdString() << "\n";
        return 2;
    }
    return 0;
}

} // namespace ombrix::cli
