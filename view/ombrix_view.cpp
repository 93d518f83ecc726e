#include "ombrix_view.h"

#include "check.h"
#include "error_reasons.h"
#include "grid_text.h"
#include "modal.h"
#include "paint.h"
#include "puzzle_file.h"
#include "safe_write.h"
#include "size_dialog.h"
#include "zoom.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QPen>
#include <QScrollBar>
#include <QStyle>
#include <QSettings>
#include <QWheelEvent>
#include <QThread>

#include <cmath>
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
    zoom_ = ClampZoom(QSettings().value(QStringLiteral("zoom"), 1.0).toDouble());
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
            doc_.markModified();
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
    LayOut();
}

void COmbrixView::LayOut() {
    LayoutPass(board_, ui_, this);
}

void COmbrixView::InvalidateAll() {
    viewport()->update();
}

void COmbrixView::Invalidate(const LayoutRect& r) {
    const QPoint s = scrollPosition();
    if (s.isNull() && zoom_ == 1.0) {
        viewport()->update(QRect(r.left - s.x(), r.top - s.y(), r.width(), r.height()));
        return;
    }
    // Scaled pictures reach a pixel past their scaled edges.
    if (!s.isNull()) {
        // The part may also show where it is pinned.
        InvalidateAll();
        return;
    }
    const QRectF scaled(r.left * zoom_ - s.x(), r.top * zoom_ - s.y(), r.width() * zoom_,
                        r.height() * zoom_);
    viewport()->update(scaled.toAlignedRect().adjusted(-2, -2, 2, 2));
}

std::vector<COmbrixView::Pinned> COmbrixView::pinned() const {
    std::vector<Pinned> out;
    const QPoint s = scrollPosition();
    if (s.isNull()) return out;
    const QSize vp = viewport()->size();
    const auto scaled = [this](int v) { return static_cast<int>(std::lround(v * zoom_)); };
    const int top = scaled(50);
    out.push_back({QRect(0, 0, static_cast<int>(std::ceil(vp.width() / zoom_)), 50), QPoint(0, 0)});
    // The label and both buttons with a few pixels around them.
    const Layout l(board_, ui_);
    const QRect buttons(l.buttonLeft() - 6, Layout::kLabelTop - 6, kButtonWidth + 12,
                        Layout::kLowerButtonTop + kButtonHeight + 6 - (Layout::kLabelTop - 6));
    const QRect shown(scaled(buttons.left()) - s.x(), scaled(buttons.top()) - s.y(),
                      scaled(buttons.width()), scaled(buttons.height()));
    if (shown.left() < 0 || shown.right() >= vp.width() || shown.top() < top ||
        shown.bottom() >= vp.height())
        out.push_back({buttons, QPoint(std::max(0, vp.width() - shown.width()), top)});
    return out;
}

QPoint COmbrixView::LayoutPoint(QPointF p) const {
    const std::vector<Pinned> pins = pinned();
    for (auto it = pins.rbegin(); it != pins.rend(); ++it) {
        const QSizeF size = QSizeF(it->source.size()) * zoom_;
        if (!QRectF(it->at, size).contains(p)) continue;
        const QPointF at = QPointF(it->source.topLeft()) + (p - QPointF(it->at)) / zoom_;
        return {static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y()))};
    }
    const QPointF at = (p + scrollPosition()) / zoom_;
    return {static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y()))};
}

void COmbrixView::SetZoom(double zoom) {
    zoom = ClampZoom(zoom);
    if (zoom == zoom_) return;
    // Keep the layout point at the view's top-left where it is.
    const QPointF top = QPointF(scrollPosition()) / zoom_;
    zoom_ = zoom;
    QSettings().setValue(QStringLiteral("zoom"), zoom_);
    updateScrollBars();
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(top.x() * zoom_)));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(top.y() * zoom_)));
    InvalidateAll();
}

void COmbrixView::OnZoomIn() {
    SetZoom(ZoomIn(zoom_));
}

void COmbrixView::OnZoomOut() {
    SetZoom(ZoomOut(zoom_));
}

void COmbrixView::OnZoomReset() {
    SetZoom(1.0);
}

void COmbrixView::OnZoomFit() {
    const Layout l(board_, ui_);
    const QSize room = size(); // the view without scroll bars
    const double z = std::min(static_cast<double>(room.width()) / l.scrollWidth(),
                              static_cast<double>(room.height()) / l.scrollHeight());
    SetZoom(std::floor(z * 100) / 100);
}

void COmbrixView::wheelEvent(QWheelEvent* e) {
    if (!(e->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(e);
        return;
    }
    if (e->angleDelta().y() > 0)
        OnZoomIn();
    else if (e->angleDelta().y() < 0)
        OnZoomOut();
    e->accept();
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

namespace {

// The frame's inner size that shows the whole layout of `view` at `zoom`: what
// the view needs plus the frame's own chrome, and a scroll bar more on a side
// where the screen cuts the other side short.
QSize FitSize(const QWidget& frame, const COmbrixView& view, double zoom, QSize deco) {
    const Board& board = view.board();
    const Layout l(board, view.ui());
    const int n = BarLengthFor(board.width, board.height);
    const int needW = static_cast<int>(std::ceil(l.scrollWidth() * zoom));
    const int needH =
        static_cast<int>(std::ceil(std::max({27 * board.height + 120, 310, 27 * n + 57}) * zoom));
    int fitW = needW + frame.width() - view.width(), fitH = needH + frame.height() - view.height();
    if (const QScreen* screen = frame.screen()) {
        const QRect room = screen->availableGeometry();
        const int bar = view.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &view);
        if (fitH > room.height() - deco.height()) fitW += bar;
        if (fitW > room.width() - deco.width()) fitH += bar;
    }
    return {fitW, fitH};
}

// Moves a frame grown past the screen's edge back onto it.
void KeepOnScreen(QWidget* frame) {
    const QScreen* screen = frame->screen();
    if (!screen || !frame->isVisible()) return;
    const QRect room = screen->availableGeometry();
    const QRect outer = frame->frameGeometry();
    const int x = std::max(room.left(), std::min(outer.left(), room.right() + 1 - outer.width()));
    const int y = std::max(room.top(), std::min(outer.top(), room.bottom() + 1 - outer.height()));
    if (x != outer.left() || y != outer.top()) frame->move(x, y);
}

} // namespace

void COmbrixView::ResizeFrame(int outerWidth, int outerHeight) {
    QWidget* frame = window();
    // The outer size includes the decorations the window system reports.
    const QSize deco = frame->frameGeometry().size() - frame->geometry().size();
    int w = outerWidth - deco.width(), h = outerHeight - deco.height();
    // A layout larger than that size gets a window that shows it whole, as
    // far as the screen allows; the view starts at the top-left.
    const QSize fit = FitSize(*frame, *this, zoom_, deco);
    if (zoom_ != 1.0 || fit.width() > w || fit.height() > h) {
        w = zoom_ == 1.0 ? std::max(w, fit.width()) : fit.width();
        h = zoom_ == 1.0 ? std::max(h, fit.height()) : fit.height();
        if (const QScreen* screen = frame->screen()) {
            const QRect room = screen->availableGeometry();
            w = std::min(w, room.width() - deco.width());
            h = std::min(h, room.height() - deco.height());
        }
        w = std::max(w, 200);
        h = std::max(h, 150);
    }
    frame->resize(w, h);
    KeepOnScreen(frame);
    frame->raise();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void COmbrixView::SetScrollExtent(int width, int height) {
    extent_ = QSize(width, height);
    updateScrollBars();
}

void COmbrixView::updateScrollBars() {
    const QSize vp = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    const int w = static_cast<int>(std::ceil(extent_.width() * zoom_));
    const int ht = static_cast<int>(std::ceil(extent_.height() * zoom_));
    h->setRange(0, std::max(0, w - vp.width()));
    v->setRange(0, std::max(0, ht - vp.height()));
    h->setPageStep(std::max(1, vp.width()));
    v->setPageStep(std::max(1, vp.height()));
    h->setSingleStep(std::max(1, w / 100));
    v->setSingleStep(std::max(1, ht / 100));
}

void COmbrixView::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
}

void COmbrixView::scrollContentsBy(int, int) {
    // Pinned parts stay put: the whole view is painted again.
    viewport()->update();
}

void COmbrixView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    if (erase_) p.fillRect(viewport()->rect(), Qt::white);
    const QPoint s = scrollPosition();
    p.translate(-s.x(), -s.y());
        if (zoom_ != 1.0) {
        p.scale(zoom_, zoom_);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
    }
    PaintBoard(p, board_, ui_, &marks_);
    for (const Pinned& pin : pinned()) {
        p.resetTransform();
        const QRectF target(pin.at, QSizeF(pin.source.size()) * zoom_);
        p.setClipRect(target);
        p.translate(target.topLeft());
        p.scale(zoom_, zoom_);
        p.translate(-pin.source.topLeft());
        PaintBoard(p, board_, ui_, &marks_);
        // A line under the pinned part, so that it does not read as the board.
        p.resetTransform();
        p.setClipping(false);
        p.setPen(QColor(0, 0, 0, 80));
        p.drawRect(target.adjusted(0, 0, -1, -1));
    }
}

void COmbrixView::SetOutlinedCells(std::vector<std::pair<int, int>> cells) {
    marks_.redCells = std::move(cells);
    InvalidateAll();
}

void COmbrixView::mousePressEvent(QMouseEvent* e) {
    // Scroll positions are read afresh at every button-down. The mouse is
    // held by the view until the button comes up (Qt's implicit grab).
    const QPoint p = LayoutPoint(e->position());
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
    if (board_.ruleSet != RuleSetOmbrix) doc_.markModified();
    board_.ruleSet = RuleSetOmbrix;
    InvalidateAll();
}

void COmbrixView::OnRuleSetTandrel() {
    if (board_.ruleSet != RuleSetTandrel) doc_.markModified();
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
    if (Modal().RunDialog(dlg) != QDialog::Accepted) return;
    // The new size empties the board.
    if (!MaybeSave()) return;
    board_.width = static_cast<std::uint8_t>(dlg.m_width);
    board_.height = static_cast<std::uint8_t>(dlg.m_height);
    ui_.layoutState = LayoutNewBoard;
    LayOut();
    // An empty board of the new size: a puzzle not yet saved anywhere.
    doc_.setFile(QString());
    InvalidateAll();
}

namespace {

const QString kGridFilter = QStringLiteral("グリッドテキスト (*.grid *.txt)");

FileFilter PuzzleFiles() {
    return {QStringLiteral("Data Files"), QStringLiteral("*.omx"), QStringLiteral("omx"), {}, {}};
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

// Reads grid text into `board` and `ui` as a fresh puzzle in the edit
// phase, all or nothing.
bool LoadGridText(const std::string& path, Board& board, UiState& ui, std::string& error,
                  GridTextError& gridError) {
    // A grid of 31 x 45 clues is a few kilobytes.
    constexpr std::size_t kLimit = 1 << 20;
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(path, kLimit + 1, bytes, error)) return false;
    if (bytes.size() > kLimit) {
        gridError.message = "too large for a grid text puzzle";
        return false;
    }
    Board fresh = board;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!ParseGridText(text, fresh, gridError)) return false;
    board = fresh;
    ui = UiState{}; // edit phase, number 1, no step history
    ui.layoutState = LayoutBarPending;
    ui.resizePending = 1;
    board.undecidedCount = 0;
    board.status = StatusNone;
    return true;
}

} // namespace

std::vector<std::uint8_t> COmbrixView::fileBytes() const {
    return SerializePuzzle(board_, ui_);
}

void COmbrixView::noteChange(const std::vector<std::uint8_t>& before) {
    if (fileBytes() != before) doc_.markModified();
}

bool COmbrixView::LoadPuzzleFrom(const QString& path) {
    std::string error;
    const std::string local = LocalPath(path);
    bool ok;
    QString reason;
    if (Document::IsGridTextPath(path)) {
        GridTextError gridError;
        ok = LoadGridText(local, board_, ui_, error, gridError);
        if (!ok) {
            board_.status = StatusUnreadable;
            reason = error.empty() ? GridTextFailureReason(gridError.line, gridError.column,
                                                           gridError.message)
                                   : ReadFailureReason(error);
        }
    } else {
        // A file that cannot be read whole leaves status 3, whose message
        // the next paint shows over the puzzle that was there.
        const ReadKind kind = LoadPuzzleFile(local, board_, ui_, error);
        ok = kind == ReadKind::Complete;
        if (!ok) reason = PuzzleFailureReason(kind, error);
    }
    LayOut();
    InvalidateAll();
    if (!ok) {
        Modal().ShowMessage(this, QStringLiteral("問題を読み込めませんでした。\nファイル: %1\n理由: %2")
                                      .arg(path, reason));
        emit fileFailed(path);
        return false;
    }
    doc_.setFile(QFileInfo(path).absoluteFilePath());
    emit fileUsed(doc_.path());
    return true;
}

bool COmbrixView::MaybeSave() {
    if (!doc_.modified()) return true;
    switch (Modal().AskSaveChanges(this, doc_.displayName())) {
    case SaveAnswer::Save:
        return OnFileSave();
    case SaveAnswer::Discard:
        return true;
    case SaveAnswer::Cancel:
        break;
    }
    return false;
}

void COmbrixView::OnLoadPuzzle() {
    if (!MaybeSave()) return;
    FileFilter filter = PuzzleFiles();
    filter.moreFilters << kGridFilter << QStringLiteral("すべてのファイル (*)");
    const QString path = Modal().GetOpenPath(this, filter);
    if (path.isEmpty()) return;
    LoadPuzzleFrom(path);
}

void COmbrixView::OnFileNew() {
    if (!MaybeSave()) return;
    ui_.layoutState = LayoutNewBoard;
    board_.status = StatusNone;
    LayOut();
    doc_.setFile(QString());
    InvalidateAll();
}

bool COmbrixView::saveTo(const QString& path) {
    std::string error;
    const bool grid = Document::IsGridTextPath(path);
    bool ok;
    if (grid) {
        const std::string text = FormatGridText(board_);
        ok = WriteFileAtomically(
            LocalPath(path),
            {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, error);
    } else {
        ok = SavePuzzleFile(LocalPath(path), board_, ui_, error);
    }
    InvalidateAll();
    if (!ok) {
        Modal().ShowMessage(this,
                            QStringLiteral("問題を保存できませんでした。\nファイル: %1\n理由: %2")
                                .arg(path, SaveFailureReason(error)));
        return false;
    }
    doc_.setFile(QFileInfo(path).absoluteFilePath());
    emit fileUsed(doc_.path());
    return true;
}

bool COmbrixView::OnFileSave() {
    // Grid text holds no work: a puzzle past its edit phase is saved as a
    // puzzle file under a name asked for.
    if (doc_.path().isEmpty() || (doc_.isGridText() && ui_.phase != PhaseEdit))
        return OnFileSaveAs();
    return saveTo(doc_.path());
}

bool COmbrixView::OnFileSaveAs() {
    FileFilter filter = PuzzleFiles();
    filter.moreFilters << kGridFilter;
    if (!doc_.path().isEmpty()) {
        const QFileInfo info(doc_.path());
        filter.startPath = doc_.isGridText() && ui_.phase != PhaseEdit
                             ? info.dir().filePath(info.completeBaseName() + QStringLiteral(".omx"))
                             : doc_.path();
    }
    const QString path = Modal().GetSavePath(this, filter);
    if (path.isEmpty()) return false;
    return saveTo(path);
}

void COmbrixView::OnSavePuzzle() {
    OnFileSaveAs();
}

void COmbrixView::OnSaveText() {
    const QString path = Modal().GetSavePath(
        this, {QStringLiteral("TXTﾌｧｲﾙ"), QStringLiteral("*.txt"), QStringLiteral("txt"), {}, {}});
    if (path.isEmpty()) return;
    std::string error;
    if (!SaveTextExport(LocalPath(path), board_, error))
        Modal().ShowMessage(
            this, QStringLiteral("テキスト形式で保存できませんでした。\nファイル: %1\n理由: %2")
                      .arg(path, SaveFailureReason(error)));
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
    const int settled = doc_.settled();
    action();
    // A click on "全クリア" starts the layout afresh; the commands that
    // change the size or load have run the pass themselves.
    LayOut();
    if (!undo_.Record(before, board_, ui_)) return;
    // A load, a save or a new puzzle leaves the document as saved; every
    // other change is unsaved work.
    if (doc_.settled() == settled) doc_.markModified();
    // A board the automatic solver has just filled in was not decided by hand.
    const bool solvedNow = ui_.phase == PhaseAutoSolved && before.ui.phase != PhaseAutoSolved;
    changed(byHand && ui_.phase != PhaseEdit && !solvedNow && HasUndecided(before.board) &&
            !HasUndecided(board_) && CheckBoard(board_).solved());
}

void COmbrixView::changed(bool completedByHand) {
    const bool hadMarks = !marks_.empty();
    marks_.statusText.clear();
    marks_.redCells.clear();
    marks_.blueCells.clear();
    hint_.clear();
    if (completedByHand) marks_.statusText = "正解です！";
    keepCursorOnBoard();
    if (hadMarks || completedByHand) InvalidateAll();
    emit workChanged();
}

void COmbrixView::restored(const Board& before) {
    typed_.pending = false;
    // A size that differs from the one on screen lays the frame out anew.
    if (before.width != board_.width || before.height != board_.height) ui_.resizePending = 1;
    LayOut();
    InvalidateAll();
    doc_.markModified();
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
    marks_.blueCells.clear();
    hint_.clear();
    if (!r.ok()) {
        marks_.statusText = ViolationMessage(r.findings.front().kind);
        for (const Finding& f : r.findings)
            marks_.redCells.insert(marks_.redCells.end(), f.cells.begin(), f.cells.end());
    } else {
        marks_.statusText = r.complete ? "正解です！" : "今のところ間違いはありません";
    }
    InvalidateAll();
}

void COmbrixView::OnHint() {
    if (!hint_.empty()) {
        const std::vector<HintCell> cells = std::move(hint_);
        Perform(
            [&] {
                for (const HintCell& c : cells)
                    input_.PlaceByPlayer(c.x, c.y, c.state);
            },
            true);
        return;
    }
    marks_.redCells.clear();
    marks_.blueCells.clear();
    if (ui_.phase == PhaseEdit) {
        marks_.statusText = "ヒントは解答中に使えます";
        InvalidateAll();
        return;
    }
    const Hint h = FindHint(board_);
    if (h.kind == HintKind::Error && !h.cells.empty()) {
        OnCheck();
        return;
    }
    marks_.statusText = h.why;
    if (h.kind == HintKind::Rule || h.kind == HintKind::Trial) {
        hint_ = h.cells;
        for (const HintCell& c : h.cells)
            marks_.blueCells.emplace_back(c.x, c.y);
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
