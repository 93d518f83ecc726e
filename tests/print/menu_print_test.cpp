// Printing from the editor's own menu and keys, through the modal seam: the
// preview window from "印刷ﾌﾟﾚﾋﾞｭｰ(&V)" with the board's one page, Ctrl+P the
// print dialog, answered OK, printing one page, "ﾌﾟﾘﾝﾀの設定(&R)" the page
// setup dialog, and direct printing without a printer.
#include "editor_fixture.h"

#include "commands.h"
#include "print_commands.h"

#include <QAction>
#include <QFile>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

namespace ombrix {
namespace {

TEST(PrintFromMenu, PreviewPrintAndSetupOpenTheirDialogsAndPrintMakesOnePage) {
    test::Editor e;
    e.cell(1, 1);
    const QByteArray before = e.snapshot();
    if (QPrinterInfo::defaultPrinter().isNull()) {
        e.frame.OnCommand(ID_FILE_PRINT_DIRECT);
        EXPECT_EQ(e.modal.messages, QStringList{QString::fromUtf8(kNoPrinterMessage)});
    }
    QTemporaryDir dir;
    QPrinter& printer = SharedPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));
    int pages = -1;
    e.modal.dialogScript = [&](QDialog& d) {
        if (auto* w = d.findChild<QPrintPreviewWidget*>()) {
            w->updatePreview();
            pages = w->pageCount();
        }
        return qobject_cast<QPrintDialog*>(&d) ? QDialog::Accepted : QDialog::Rejected;
    };
    e.frame.menuAction(ID_FILE_PRINT_PREVIEW)->trigger();
    QTest::keyClick(&e.frame, Qt::Key_P, Qt::ControlModifier);
    e.frame.menuAction(ID_FILE_PRINT_SETUP)->trigger();
    EXPECT_EQ(e.modal.dialogs,
              (QStringList{QStringLiteral("QPrintPreviewDialog"), QStringLiteral("QPrintDialog"),
                           QStringLiteral("QPageSetupDialog")}));
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(e.snapshot(), before);
    QFile pdf(printer.outputFileName());
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_EQ(bytes.count("/Type /Page") - bytes.count("/Type /Pages"), 1); // one page
    printer.setOutputFileName(QString());
}

} // namespace
} // namespace ombrix
