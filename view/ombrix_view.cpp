#include "ombrix_view.h"

#include "check.h"
#include "error_reasons.h"
#include "help_dialogs.h"
#include "modal.h"
#include "paint.h"
#include "puzzle_file.h"
#include "size_dialog.h"

#include <QAction>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QThread>

#include <fstream>

namespace ombrix {

COmbrixView::COmbrixView(Board& board, UiState& ui, QWidget* parent)
    : QAbstractScrollArea(parent), board_(board), ui_(ui),
      input_(board, ui, [this](const RepaintRequest& r) { repaint(r); }) {
    setFrameShape(QFrame::NoFrame);
    // Every paint draws the whole layout: no background erase, except for
    // the "erase and paint now" request.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    clock_.start();
    // The solver can take seconds on a hard board: it runs on a thread of
    // its own, and its outcome is taken over here when it has returned.
    input_.SetRunner([this](std::function<void()> work, std::function<void()> done) {
        solver_ = QThread::create(std::move(work));
        connect(solver_, &QThread::finished, this, [this, done = std::move(done)] {
            solver_->wait();
            solver_->deleteLater();
            solver_ = nullptr;
            done();
            changed(false);
        });
        solver_->start();
    });
}

COmbrixView::~COmbrixView() {
    if (solver_) {
        solver_->wait();
        delete solver_;
    }
}

void COmbrixView::OnInitialUpdate() {
    const Layout l(board_, ui_);
    SetScrollExtent(l.initialScrollWidth(), l.initialScrollHeight());
}

void COmbrixView::InvalidateAll() {
    viewport()->update();
}

void COmbrixView::Invalidate(const LayoutRect& r) {
    const QPoint s = scrollPosition();
    viewport()->update(QRect(r.left - s.x(), r.top - s.y(), r.width(), r.height()));
}

void COmbrixView::RedrawNow() {
    erase_ = true;
    viewport()->repaint();
    erase_ = false;
}

void COmbrixView::repaint(const RepaintRequest& r) {
    switch (r.kind) {
    case RepaintKind::WholeView:
        InvalidateAll();
        break;
    case RepaintKind::Region:
        Invalidate(r.rect);
        break;
    case RepaintKind::WholeViewNow:
        RedrawNow();
        break;
    }
}

QPoint COmbrixView::scrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void COmbrixView::ResizeFrame(int outerWidth, int outerHeight) {
    QWidget* frame = window();
    // The outer size includes the decorations the window system reports.
    const int decoW = frame->frameGeometry().width() - frame->geometry().width();
    const int decoH = frame->frameGeometry().height() - frame->geometry().height();
    frame->resize(outerWidth - decoW, outerHeight - decoH);
    frame->raise();
}

void COmbrixView::SetScrollExtent(int width, int height) {
    extent_ = QSize(width, height);
    updateScrollBars();
}

void COmbrixView::updateScrollBars() {
    const QSize vp = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, std::max(0, extent_.width() - vp.width()));
    v->setRange(0, std::max(0, extent_.height() - vp.height()));
    h->setPageStep(std::max(1, vp.width()));
    v->setPageStep(std::max(1, vp.height()));
    h->setSingleStep(std::max(1, extent_.width() / 100));
    v->setSingleStep(std::max(1, extent_.height() / 100));
}

void COmbrixView::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
}

void COmbrixView::scrollContentsBy(int, int) {
    viewport()->update();
}

void COmbrixView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    if (erase_) p.fillRect(viewport()->rect(), Qt::white);
    const QPoint s = scrollPosition();
    p.translate(-s.x(), -s.y());
    PaintBoard(p, board_, ui_, this, &marks_);
}

void COmbrixView::SetOutlinedCells(std::vector<std::pair<int, int>> cells) {
    marks_.redCells = std::move(cells);
    InvalidateAll();
}

void COmbrixView::mousePressEvent(QMouseEvent* e) {
    // Scroll positions are read afresh at every button-down. The mouse is
    // held by the view until the button comes up (Qt's implicit grab).
    const QPoint p = e->position().toPoint() + scrollPosition();
    typed_.pending = false;
    if (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ShiftModifier))
        Perform([&] { input_.ShiftLeftDown(p.x(), p.y()); }, true);
    else if (e->button() == Qt::LeftButton)
        Perform([&] { input_.LeftDown(p.x(), p.y()); }, true);
    else if (e->button() == Qt::RightButton)
        Perform([&] { input_.RightDown(p.x(), p.y()); }, true);
}

// The toolkit delivers the second of two quick presses as a double click;
// it is a press like any other (two quick "1つ戻る" take back two steps).
void COmbrixView::mouseDoubleClickEvent(QMouseEvent* e) {
    mousePressEvent(e);
}

void COmbrixView::mouseReleaseEvent(QMouseEvent*) {}

void COmbrixView::OnRuleSetOmbrix() {
    board_.ruleSet = RuleSetOmbrix;
    InvalidateAll();
}

void COmbrixView::OnRuleSetTandrel() {
    board_.ruleSet = RuleSetTandrel;
    InvalidateAll();
}

void COmbrixView::OnUpdateRuleSetOmbrix(QAction* item) const {
    item->setCheckable(true);
    item->setChecked(board_.ruleSet == RuleSetOmbrix);
}

void COmbrixView::OnUpdateRuleSetTandrel(QAction* item) const {
    item->setCheckable(true);
    item->setChecked(board_.ruleSet == RuleSetTandrel);
}

void COmbrixView::OnSizeChange() {
    CBoardSizeDlg dlg;
    dlg.m_width = board_.width;
    dlg.m_height = board_.height;
    if (!Modal().RunSizeDialog(dlg)) return;
    board_.width = static_cast<std::uint8_t>(dlg.m_width);
    board_.height = static_cast<std::uint8_t>(dlg.m_height);
    ui_.layoutState = LayoutNewBoard;
    InvalidateAll();
}

namespace {

FileFilter PuzzleFiles() {
    return {QStringLiteral("Data Files"), QStringLiteral("*.omx"), QStringLiteral("omx")};
}

// The bytes of a file name for the system. A name given on the command line
// need not be valid UTF-8, and its QString then holds replacement characters;
// such a name is taken as the bytes the process was started with.
std::string LocalPath(const QString& path) {
    std::ifstream cmdline("/proc/self/cmdline", std::ios::binary);
    std::string arg;
    while (std::getline(cmdline, arg, '\0'))
        if (!arg.empty() && QFile::decodeName(arg.c_str()) == path) return arg;
    return QFile::encodeName(path).toStdString();
}

} // namespace

void COmbrixView::LoadPuzzleFrom(const QString& path) {
    std::string error;
    // A file that cannot be read whole leaves status 3, whose message the
    // next paint shows over the puzzle that was there: nothing else changes.
    LoadPuzzleFile(LocalPath(path), board_, ui_, error);
    InvalidateAll();
}

void COmbrixView::OnLoadPuzzle() {
    const QString path = Modal().GetOpenPath(this, PuzzleFiles());
    if (path.isEmpty()) return;
    LoadPuzzleFrom(path);
}

void COmbrixView::OnSavePuzzle() {
    const QString path = Modal().GetSavePath(this, PuzzleFiles());
    if (path.isEmpty()) return;
    std::string error;
    if (!SavePuzzleFile(LocalPath(path), board_, ui_, error))
        Modal().ShowMessage(this,
                            QStringLiteral("問題を保存できませんでした。\nファイル: %1\n理由: %2")
                                .arg(path, SaveFailureReason(error)));
    InvalidateAll();
}

void COmbrixView::OnSaveText() {
    const QString path = Modal().GetSavePath(
        this, {QStringLiteral("TXTﾌｧｲﾙ"), QStringLiteral("*.txt"), QStringLiteral("txt")});
    if (path.isEmpty()) return;
    std::string error;
    if (!SaveTextExport(LocalPath(path), board_, error))
        Modal().ShowMessage(
            this, QStringLiteral("テキスト形式で保存できませんでした。\nファイル: %1\n理由: %2")
                      .arg(path, SaveFailureReason(error)));
}

void COmbrixView::OnHelpOmbrixRules() {
    COmbrixRulesDlg dlg;
    dlg.exec();
}

void COmbrixView::OnHelpTandrelRules() {
    CTandrelRulesDlg dlg;
    dlg.exec();
}

void COmbrixView::OnHelpEditOperation() {
    CEditHelpDlg dlg;
    dlg.exec();
}

void COmbrixView::OnHelpSolveOperation() {
    CSolveHelpDlg dlg;
    dlg.exec();
}

} // namespace ombrix

namespace ombrix {

namespace {

bool HasUndecided(const Board& b) {
    for (int x = 1; x <= b.width; ++x)
        for (int y = 1; y <= b.height; ++y)
            if (b.state(x, y) == Undecided) return true;
    return false;
}

} // namespace

void COmbrixView::Perform(const std::function<void()>& action, bool byHand) {
    const UndoStack::Snapshot before{board_, ui_};
    action();
    if (!undo_.Record(before, board_, ui_)) return;
    // A board the automatic solver has just filled in was not decided by hand.
    const bool solvedNow = ui_.phase == PhaseAutoSolved && before.ui.phase != PhaseAutoSolved;
    changed(byHand && ui_.phase != PhaseEdit && !solvedNow && HasUndecided(before.board) &&
            !HasUndecided(board_) && CheckBoard(board_).solved());
}

void COmbrixView::changed(bool completedByHand) {
    const bool hadMarks = !marks_.empty();
    marks_.statusText.clear();
    marks_.redCells.clear();
    if (completedByHand) marks_.statusText = "正解です！";
    keepCursorOnBoard();
    if (hadMarks || completedByHand) InvalidateAll();
    emit workChanged();
}

void COmbrixView::restored(const Board& before) {
    typed_.pending = false;
    // A size that differs from the one on screen lays the frame out anew.
    if (before.width != board_.width || before.height != board_.height) ui_.resizePending = 1;
    LayoutPass(board_, ui_, this);
    InvalidateAll();
    changed(false);
}

void COmbrixView::OnUndo() {
    const Board before = board_;
    if (undo_.Undo(board_, ui_)) restored(before);
}

void COmbrixView::OnRedo() {
    const Board before = board_;
    if (undo_.Redo(board_, ui_)) restored(before);
}

void COmbrixView::OnCheck() {
    const CheckResult r = CheckBoard(board_);
    marks_.redCells.clear();
    if (!r.ok()) {
        marks_.statusText = ViolationMessage(r.findings.front().kind);
        for (const Finding& f : r.findings)
            marks_.redCells.insert(marks_.redCells.end(), f.cells.begin(), f.cells.end());
    } else {
        marks_.statusText = r.complete ? "正解です！" : "今のところ間違いはありません";
    }
    InvalidateAll();
}

void COmbrixView::keepCursorOnBoard() {
    marks_.cursorX = std::clamp(marks_.cursorX, 1, std::max(1, int(board_.width)));
    marks_.cursorY = std::clamp(marks_.cursorY, 1, std::max(1, int(board_.height)));
}

void COmbrixView::moveCursor(int dx, int dy) {
    typed_.pending = false;
    marks_.cursorX += dx;
    marks_.cursorY += dy;
    keepCursorOnBoard();
    marks_.cursorShown = true;
    // Scroll so that the cursor cell is in sight.
    const LayoutRect c = Layout(board_, ui_).cellBox(marks_.cursorX, marks_.cursorY);
    const QSize vp = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    if (c.left - 1 < h->value()) h->setValue(c.left - 1);
    if (c.right + 2 > h->value() + vp.width()) h->setValue(c.right + 2 - vp.width());
    if (c.top - 1 < v->value()) v->setValue(c.top - 1);
    if (c.bottom + 2 > v->value() + vp.height()) v->setValue(c.bottom + 2 - vp.height());
    InvalidateAll();
}

void COmbrixView::typeDigit(int digit) {
    const int x = marks_.cursorX, y = marks_.cursorY;
    const qint64 now = clock_.elapsed();
    if (typed_.pending && typed_.x == x && typed_.y == y && now - typed_.at <= kTypingPauseMs) {
        typed_.pending = false;
        const int n = typed_.digit * 10 + digit;
        if (n >= 10 && n <= sprites::kMaxNumber) {
            if (!typed_.recorded) {
                Perform([&] { input_.TypeNumber(x, y, n); }, true);
                return;
            }
            // The second digit amends the first one's change: together they
            // are one undo step and one step of the history.
            input_.TypeNumber(x, y, n, true);
            changed(ui_.phase != PhaseEdit && typed_.hadUndecided && !HasUndecided(board_) &&
                    CheckBoard(board_).solved());
            return;
        }
    }
    typed_ = {};
    if (digit == 0) return;
    const std::uint8_t old = board_.state(x, y);
    typed_.hadUndecided = HasUndecided(board_);
    Perform([&] { input_.TypeNumber(x, y, digit); }, true);
    typed_.pending = true;
    typed_.recorded = board_.state(x, y) != old;
    typed_.x = x;
    typed_.y = y;
    typed_.digit = digit;
    typed_.at = now;
}

void COmbrixView::keyPressEvent(QKeyEvent* e) {
    if (solving() || (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    const int key = e->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        marks_.cursorShown = true;
        typeDigit(key - Qt::Key_0);
        InvalidateAll();
        return;
    }
    const int x = marks_.cursorX, y = marks_.cursorY;
    switch (key) {
    case Qt::Key_Left:
        moveCursor(-1, 0);
        return;
    case Qt::Key_Right:
        moveCursor(1, 0);
        return;
    case Qt::Key_Up:
        moveCursor(0, -1);
        return;
    case Qt::Key_Down:
        moveCursor(0, 1);
        return;
    case Qt::Key_Space:
    case Qt::Key_B:
        Perform([&] { input_.TypeBlack(x, y); }, true);
        break;
    case Qt::Key_Period:
        Perform([&] { input_.TypeDot(x, y); }, true);
        break;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        Perform([&] { input_.TypeClear(x, y); }, true);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    typed_.pending = false;
    marks_.cursorShown = true;
    InvalidateAll();
}

} // namespace ombrix
