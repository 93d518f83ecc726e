// ombrix-cli render: the editor's whole layout of a puzzle as a PNG, painted by
// the same code as the window, so a user can share exactly what the editor
// shows. Painted into memory and written through the safe writer. Needs Qt's
// GUI module; runs on the offscreen platform unless told otherwise.
#include "commands.h"
#include "gui_app.h"
#include "layout.h"
#include "paint.h"

#include <QBuffer>
#include <QImage>

namespace ombrix::cli {

int RunRender(const Args& args) {
    static Board board;
    static UiState ui;
    std::string outPath;
    if (int status = LoadInputForOutput(args, "render", board, ui, outPath)) return status;
    // The bar length is not stored in any file; the editor works it out from
    // the board's size, so a board that needs no layout step gets it here,
    // and any other the layout step the editor runs after a load.
    if (ui.layoutState == LayoutReady)
        ui.barLength = static_cast<std::int16_t>(BarLengthFor(board.width, board.height));
    LayoutPass(board, ui, nullptr);

    CliGuiApplication gui;

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!RenderLayout(board, ui).save(&buffer, "PNG"))
        return FileError("cannot save " + outPath + ": the picture could not be encoded");
    return WriteOutput(outPath, {reinterpret_cast<const std::uint8_t*>(png.constData()),
                                 static_cast<std::size_t>(png.size())});
}

} // namespace ombrix::cli
