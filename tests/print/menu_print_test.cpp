// Printing from the editor's own menu and keys, through the modal seam: the
// preview window from "印刷ﾌﾟﾚﾋﾞｭｰ(&V)" with the board's one page, Ctrl+P the
// print dialog and "ﾌﾟﾘﾝﾀの設定(&R)" the page setup dialog, each cancelled.
#include "editor_fixture.h"

#include "commands.h"

#include <QAction>
#include <QPrintPreviewWidget>

namespace ombrix {
namespace {

TEST(PrintFromMenu, PreviewPrintAndSetupOpenTheirDialogs) {
    test::Editor e;
    int pages = -1;
    e.modal.dialogScript = [&](QDialog& d) {
        if (auto* w = d.findChild<QPrintPreviewWidget*>()) {
            w->updatePreview();
            pages = w->pageCount();
        }
        return QDialog::Rejected;
    };
    const QByteArray before = e.snapshot();
    e.frame.menuAction(ID_FILE_PRINT_PREVIEW)->trigger();
    QTest::keyClick(&e.frame, Qt::Key_P, Qt::ControlModifier);
    e.frame.menuAction(ID_FILE_PRINT_SETUP)->trigger();
    EXPECT_EQ(e.modal.dialogs,
              (QStringList{QStringLiteral("QPrintPreviewDialog"), QStringLiteral("QPrintDialog"),
                           QStringLiteral("QPageSetupDialog")}));
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(e.snapshot(), before);
}

} // namespace
} // namespace ombrix
