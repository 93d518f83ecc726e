// The editor's printing commands: print with the print dialog, print straight
// to the current printer, print preview and printer setup. Each draws the one
// page of the board through PaintPuzzlePage. The printer settings chosen in a
// dialog stay for the next command, as long as the application runs. Every
// dialog and message goes through the modal seam (view/modal.h).
#pragma once

#include "board.h"

class QPrinter;
class QPrintPreviewDialog;
class QWidget;

namespace ombrix {

// The application's printer, made on first use and released with the
// application object.
QPrinter& SharedPrinter();

// Prints the one page on `printer`. Returns false, after a message box on
// `parent`, when the printer cannot start the page.
bool PrintPage(const Board& board, QPrinter& printer, QWidget* parent);

// 印刷: the print dialog, then the page. Returns true when a page was
// printed, false when the dialog was cancelled or printing failed.
bool OnFilePrint(const Board& board, QWidget* parent);

// The page to the current printer without a dialog: the one chosen in
// the print or setup dialog, else the system's default printer. Where there
// is no printer, says so in a message box and returns false.
bool OnFilePrintDirect(const Board& board, QWidget* parent);

// 印刷ﾌﾟﾚﾋﾞｭｰ: a modal print preview window of the one page.
void OnFilePrintPreview(const Board& board, QWidget* parent);

// The preview window of OnFilePrintPreview, not yet shown; the caller owns
// it. `board` must outlive it: each repaint of the preview draws the board.
QPrintPreviewDialog* CreatePrintPreview(const Board& board, QWidget* parent);

// ﾌﾟﾘﾝﾀの設定: the page setup dialog for the application's printer.
void OnFilePrintSetup(QWidget* parent);

// The message shown when there is no printer to print to.
extern const char* const kNoPrinterMessage;

} // namespace ombrix
