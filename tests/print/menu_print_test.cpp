// Printing from the editor's own menu and keys: the preview window opens from
// "印刷ﾌﾟﾚﾋﾞｭｰ(&V)" with the board's one page, Ctrl+P opens the print dialog
// and "ﾌﾟﾘﾝﾀの設定(&R)" the page setup dialog.
#include "board.h"
#include "commands.h"
#include "main_frame.h"
#include "uistate.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace ombrix {
namespace {

// Runs `inspect` on the first visible top-level widget of type T once the
// modal loop that the next action starts is running, then closes it.
template <typename T> void WhenModalOpens(std::function<void(T*)> inspect, bool* seen) {
    QTimer::singleShot(50, [inspect, seen] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<T*>(w); dialog && dialog->isVisible()) {
                *seen = true;
                inspect(dialog);
                static_cast<QDialog*>(dialog)->reject();
                return;
            }
        }
    });
}

struct Frame {
    Board board;
    UiState ui;
    CMainFrame frame{board, ui};
    Frame() {
        frame.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
        frame.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
        QTest::qWait(20);
    }
    // The file menu's item with `text`, as the menu bar holds it.
    QAction* fileMenuItem(const char* text) {
        for (QAction* top : frame.menuBar()->actions()) {
            if (!top->menu() || top->text() != QString::fromUtf8("ﾌｧｲﾙ(&F)")) continue;
            for (QAction* a : top->menu()->actions())
                if (a->text() == QString::fromUtf8(text)) return a;
        }
        return nullptr;
    }
};

TEST(PrintFromMenu, PreviewOpensWithTheOnePage) {
    Frame f;
    QAction* item = f.fileMenuItem("印刷ﾌﾟﾚﾋﾞｭｰ(&V)");
    ASSERT_NE(item, nullptr);
    bool seen = false;
    int pages = -1;
    WhenModalOpens<QPrintPreviewDialog>(
        [&](QPrintPreviewDialog* preview) {
            if (auto* w = preview->findChild<QPrintPreviewWidget*>()) pages = w->pageCount();
        },
        &seen);
    item->trigger();
    EXPECT_TRUE(seen);
    EXPECT_EQ(pages, 1);
}

TEST(PrintFromMenu, CtrlPOpensThePrintDialogAndSetupThePageDialog) {
    Frame f;
    bool seen = false;
    WhenModalOpens<QPrintDialog>([](QPrintDialog*) {}, &seen);
    QTest::keyClick(&f.frame, Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(seen);

    QAction* setup = f.fileMenuItem("ﾌﾟﾘﾝﾀの設定(&R)");
    ASSERT_NE(setup, nullptr);
    seen = false;
    WhenModalOpens<QPageSetupDialog>([](QPageSetupDialog*) {}, &seen);
    setup->trigger();
    EXPECT_TRUE(seen);
}

} // namespace
} // namespace ombrix
