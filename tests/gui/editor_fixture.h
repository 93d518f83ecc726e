// A headless editor for the tests: the main frame over its own Board and
// UiState, shown and active, with a scripted stand-in for every modal part
// (file dialogs, every dialog, message boxes).
#pragma once

#include "gui_support.h"

#include "collection_ui.h"
#include "generate_ui.h"
#include "main_frame.h"
#include "modal.h"
#include "ombrix_view.h"
#include "size_dialog.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QThread>

#include <functional>

namespace ombrix::test {

class ScriptedModal : public ModalUi {
  public:
    static QString Text(const FileFilter& s) {
        return s.description + QLatin1Char('|') + s.pattern + QLatin1Char('|') + s.extension;
    }
    QString GetOpenPath(QWidget*, const FileFilter& s) override {
        openFilters << Text(s);
        return openPath;
    }
    QString GetSavePath(QWidget*, const FileFilter& s) override {
        saveFilters << Text(s);
        saveStart = s.startPath;
        return savePath;
    }
    // The size, generator and collection dialogs go to their scripts, any
    // other to `dialogScript`; without a script a dialog is cancelled.
    int RunDialog(QDialog& dialog) override {
        dialogs << QString::fromLatin1(dialog.metaObject()->className());
        bool ok = false;
        if (auto* d = qobject_cast<CBoardSizeDlg*>(&dialog))
            ok = sizeScript && sizeScript(*d);
        else if (auto* d = qobject_cast<CGenerateDlg*>(&dialog))
            ok = generateScript && generateScript(*d);
        else if (auto* d = qobject_cast<CCollectionDlg*>(&dialog))
            ok = collectionScript && collectionScript(*d);
        else
            return dialogScript ? dialogScript(dialog) : QDialog::Rejected;
        return ok ? QDialog::Accepted : QDialog::Rejected;
    }
    void ShowMessage(QWidget*, const QString& text) override { messages << text; }
    SaveAnswer AskSaveChanges(QWidget*, const QString& name) override {
        saveQuestions << name;
        return saveAnswer;
    }
    // The work runs to its end (cancelled first when `cancelWork`); what the
    // dialog would have shown is kept.
    void RunProgress(QWidget*, BackgroundWork& work) override {
        if (cancelWork) work.cancel();
        progressTexts << work.progressText();
        while (!work.finished())
            QThread::yieldCurrentThread();
    }
    int AskChoice(QWidget*, const QString& text, const QStringList& buttons) override {
        choices << text + QLatin1Char('|') + buttons.join(QLatin1Char('|'));
        return choiceAnswer;
    }
    void RunSolutionView(QWidget*, SolutionToggle& toggle) override {
        if (solutionScript) solutionScript(toggle);
    }

    QString openPath, savePath; // empty: the user cancels
    std::function<bool(CBoardSizeDlg&)> sizeScript;
    std::function<int(QDialog&)> dialogScript;
    QStringList dialogs;                                   // the class of each dialog run
    std::function<bool(CGenerateDlg&)> generateScript;     // null: cancelled
    std::function<bool(CCollectionDlg&)> collectionScript; // null: cancelled
    SaveAnswer saveAnswer = SaveAnswer::Discard;
    QStringList openFilters, saveFilters, messages, saveQuestions;
    QString saveStart; // the name the last save dialog started with
    bool cancelWork = false;
    int choiceAnswer = -1; // the button pressed in AskChoice
    QStringList progressTexts, choices;
    std::function<void(SolutionToggle&)> solutionScript;
};

struct Editor {
    Board board;
    UiState ui;
    CMainFrame frame{board, ui};
    ScriptedModal modal;

    explicit Editor(const QString& commandLinePath = {}) {
        SetModal(&modal);
        frame.Start(commandLinePath);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
        frame.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
        settle();
    }
    ~Editor() { SetModal(nullptr); }

    COmbrixView& view() { return frame.view(); }
    // Opens the project's test puzzle `name` (tests/data) by the menu.
    void open(const char* name) {
        modal.openPath = QStringLiteral(OMBRIX_TEST_DATA_DIR "/") + QString::fromLatin1(name);
        frame.OnCommand(ID_FILE_OPEN);
        EXPECT_EQ(board.status, StatusNone) << name;
    }
    Layout layout() const { return Layout(board, ui); }
    // A new size by the size dialog's OK.
    void resizeBoard(int w, int h) {
        modal.sizeScript = [w, h](CBoardSizeDlg& dlg) {
            dlg.m_width = w;
            dlg.m_height = h;
            return true;
        };
        frame.OnCommand(ID_SIZE_CHANGE);
        settle();
    }
    // Lets pending paints and resizes happen.
    void settle() { QTest::qWait(30); }

    // A real click on the viewport at layout point (X, Y), scroll included.
    // A point outside the visible part is first scrolled into view, as a
    // user would.
    void clickAt(int X, int Y, Qt::MouseButton button = Qt::LeftButton) {
        QPoint s = view().scrollPosition();
        if (!view().viewport()->rect().contains(QPoint(X - s.x(), Y - s.y()))) {
            view().horizontalScrollBar()->setValue(X - view().viewport()->width() / 2);
            view().verticalScrollBar()->setValue(Y - view().viewport()->height() / 2);
            settle();
            s = view().scrollPosition();
        }
        const QPoint p(X - s.x(), Y - s.y());
        EXPECT_TRUE(view().viewport()->rect().contains(p)) << X << "," << Y;
        QTest::mouseClick(view().viewport(), button, Qt::NoModifier, p);
    }
    // Two quick presses at layout point (X, Y) (visible), as the window
    // system delivers them: the second comes as a double click.
    void doubleClickAt(int X, int Y, Qt::MouseButton button = Qt::LeftButton) {
        const QPointF p = QPoint(X, Y) - view().scrollPosition();
        QWidget* vp = view().viewport();
        const QPointF g = vp->mapToGlobal(p);
        for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                               QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            const Qt::MouseButtons held = t == QEvent::MouseButtonRelease ? Qt::NoButton : button;
            QMouseEvent e(t, p, g, button, held, Qt::NoModifier);
            QApplication::sendEvent(vp, &e);
        }
    }
    void cell(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        clickAt(layout().cellLeft(x) + 13, layout().cellTop(y) + 13, button);
    }
    void bar(int k) { clickAt(layout().barLeft() + 14, layout().barEntryTop(k) + 13); }
    // The upper button; after "自動解答", until the solver's outcome is in.
    void upper() {
        clickAt(layout().buttonLeft() + 50, 168);
        waitForSolver();
    }
    void waitForSolver() {
        for (int i = 0; i < 3000 && view().solving(); ++i)
            QTest::qWait(10);
        EXPECT_FALSE(view().solving());
    }
    void lower() { clickAt(layout().buttonLeft() + 50, 228); }

    // What the view shows now, in layout coordinates from the scroll position.
    QImage grab() {
        settle();
        return view().viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // True when the view (not scrolled) shows what the picture export paints.
    bool showsLayout() {
        const QImage shown = grab(), want = RenderLayout(board, ui);
        const QRect common = shown.rect() & want.rect();
        return shown.copy(common) == want.copy(common);
    }
    QByteArray snapshot() const {
        QByteArray b(reinterpret_cast<const char*>(&board), sizeof board);
        b.append(reinterpret_cast<const char*>(&ui), sizeof ui);
        return b;
    }
};

} // namespace ombrix::test
