// Printing from the editor's own menu and keys: the preview window opens from
// "印刷ﾌﾟﾚﾋﾞｭｰ(&V)" with the board's one page, Ctrl+P opens the print dialog
// and "ﾌﾟﾘﾝﾀの設定(&R)" the page setup dialog. (The window tests check that
// these menu items carry those texts.)
#include "editor_fixture.h"

#include "commands.h"

#include <QAction>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>

namespace ombrix {
namespace {

using test::Editor;
using test::WithModalDialog;

// Runs `open` and returns the class of the modal dialog it shows (closed by
// rejecting it), or "" when none opens; `inspect` sees the dialog first.
QString ModalOpenedBy(const std::function<void()>& open,
                      const std::function<void(QDialog*)>& inspect = {}) {
    QString seen;
    WithModalDialog(open, [&](QDialog* d) {
        seen = QString::fromLatin1(d->metaObject()->className());
        if (inspect) inspect(d);
        d->reject();
    });
    return seen;
}

TEST(PrintFromMenu, PreviewOpensWithTheOnePage) {
    Editor e;
    int pages = -1;
    EXPECT_EQ(ModalOpenedBy([&] { e.frame.menuAction(ID_FILE_PRINT_PREVIEW)->trigger(); },
                            [&](QDialog* d) {
                                if (auto* w = d->findChild<QPrintPreviewWidget*>())
                                    pages = w->pageCount();
                            }),
              QStringLiteral("QPrintPreviewDialog"));
    EXPECT_EQ(pages, 1);
}

TEST(PrintFromMenu, CtrlPOpensThePrintDialogAndSetupThePageDialog) {
    Editor e;
    EXPECT_EQ(ModalOpenedBy([&] { QTest::keyClick(&e.frame, Qt::Key_P, Qt::ControlModifier); }),
              QStringLiteral("QPrintDialog"));
    EXPECT_EQ(ModalOpenedBy([&] { e.frame.menuAction(ID_FILE_PRINT_SETUP)->trigger(); }),
              QStringLiteral("QPageSetupDialog"));
}

} // namespace
} // namespace ombrix
