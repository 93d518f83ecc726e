#include "print_commands.h"
#include "modal.h"
#include "qt_page_surface.h"

#include <QCoreApplication>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace ombrix {

const char* const kNoPrinterMessage =
    "プリンタが見つかりません。\nプリンタを接続して設定してから、もう一度印刷してください。";

namespace {

QPrinter* g_printer = nullptr;

void ReleasePrinter() {
    delete g_printer;
    g_printer = nullptr;
}

const char* const kPrintFailedMessage =
    "印刷を開始できませんでした。\nプリンタの設定を確かめてください。";

void Warn(QWidget* parent, const char* message) {
    Modal().ShowMessage(parent, QString::fromUtf8(message));
}

} // namespace

QPrinter& SharedPrinter() {
    if (!g_printer) {
        g_printer = new QPrinter(QPrinter::HighResolution);
        // A QPrinter must not outlive the application object.
        qAddPostRoutine(ReleasePrinter);
    }
    return *g_printer;
}

bool PrintPage(const Board& board, QPrinter& printer, QWidget* parent) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        Warn(parent, kPrintFailedMessage);
        return false;
    }
    PaintPuzzlePage(board, painter);
    return painter.end();
}

bool OnFilePrint(const Board& board, QWidget* parent) {
    QPrinter& printer = SharedPrinter();
    QPrintDialog dialog(&printer, parent);
    // There is one page: nothing to choose among.
    dialog.setMinMax(1, 1);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (Modal().RunDialog(dialog) != QDialog::Accepted) return false;
    return PrintPage(board, printer, parent);
}

bool OnFilePrintDirect(const Board& board, QWidget* parent) {
    QPrinter& printer = SharedPrinter();
    const bool chosen =
        printer.outputFormat() == QPrinter::NativeFormat && !printer.printerName().isEmpty();
    if (!chosen) {
        const QPrinterInfo fallback = QPrinterInfo::defaultPrinter();
        if (fallback.isNull()) {
            Warn(parent, kNoPrinterMessage);
            return false;
        }
        printer.setPrinterName(fallback.printerName());
        printer.setOutputFormat(QPrinter::NativeFormat);
    }
    return PrintPage(board, printer, parent);
}

QPrintPreviewDialog* CreatePrintPreview(const Board& board, QWidget* parent) {
    auto* preview = new QPrintPreviewDialog(&SharedPrinter(), parent);
    QObject::connect(preview, &QPrintPreviewDialog::paintRequested, preview,
                     [&board](QPrinter* printer) {
                         QPainter painter(printer);
                         PaintPuzzlePage(board, painter);
                     });
    return preview;
}

void OnFilePrintPreview(const Board& board, QWidget* parent) {
    QPrintPreviewDialog* preview = CreatePrintPreview(board, parent);
    Modal().RunDialog(*preview);
    delete preview;
}

void OnFilePrintSetup(QWidget* parent) {
    QPageSetupDialog dialog(&SharedPrinter(), parent);
    Modal().RunDialog(dialog);
}

} // namespace ombrix
