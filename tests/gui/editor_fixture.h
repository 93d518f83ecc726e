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

#include <QScrollBar>
#include <QTest>
#include <QThread>

#include <cmath>
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

    // A real click on the first viewport pixel at or after layout point
    // (X, Y) at the view's zoom. A point out of sight or under a part pinned
    // to the view's edge is first scrolled to the lower left of the view,
    // where nothing is pinned, as a user would.
    void clickAt(int X, int Y, Qt::MouseButton button = Qt::LeftButton) {
        COmbrixView& v = view();
        const double z = v.zoom();
        const auto pixel = [&] {
            return QPoint(static_cast<int>(std::ceil(X * z - 1e-9)),
                          static_cast<int>(std::ceil(Y * z - 1e-9))) -
                   v.scrollPosition();
        };
        const auto hidden = [&] {
            if (!v.viewport()->rect().contains(pixel())) return true;
            for (const COmbrixView::Pinned& pin : v.pinned())
                if (QRectF(pin.at, QSizeF(pin.source.size()) * z).contains(pixel())) return true;
            return false;
        };
        if (hidden()) {
            v.horizontalScrollBar()->setValue(static_cast<int>(X * z) - v.viewport()->width() / 4);
            v.verticalScrollBar()->setValue(static_cast<int>(Y * z) -
                                            v.viewport()->height() * 3 / 4);
            settle();
        }
        EXPECT_FALSE(hidden()) << X << "," << Y << " at zoom " << z;
        QTest::mouseClick(v.viewport(), button, Qt::NoModifier, pixel());
    }
    // Two quick presses at layout point (X, Y) (visible), as the window
    // system delivers them: the second comes as a double click.
    void doubleClickAt(int X, int Y, Qt::MouseButton button = Qt::LeftButton) {
        const QPoint p = QPoint(X, Y) - view().scrollPosition();
        QTest::mouseClick(view().viewport(), button, Qt::NoModifier, p);
        QTest::mouseDClick(view().viewport(), button, Qt::NoModifier, p);
        QTest::mouseRelease(view().viewport(), button, Qt::NoModifier, p);
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
