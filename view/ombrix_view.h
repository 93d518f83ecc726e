// The scrolling board view: paints the whole layout from the Board and the
// UiState, turns mouse presses on its viewport into layout points for the
// click dispatch, and handles the view's commands (rule set, size, files,
// zoom, undo, the answer check). It holds no puzzle state of its own.
#pragma once

#include "board_marks.h"
#include "document.h"
#include "hint.h"
#include "input.h"
#include "layout.h"
#include "undo_stack.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QSize>

#include <functional>
#include <utility>
#include <vector>

class QAction;
class QThread;

namespace ombrix {

class COmbrixView : public QAbstractScrollArea, public LayoutHost {
    Q_OBJECT
  public:
    COmbrixView(Board& board, UiState& ui, QWidget* parent = nullptr);
    // Waits for a solver still at work.
    ~COmbrixView() override;

    Board& board() { return board_; }
    const Board& board() const { return board_; }
    UiState& ui() { return ui_; }
    const UiState& ui() const { return ui_; }
    BoardInput& input() { return input_; }
    // True while the automatic solver runs: the board takes no input and
    // the commands that change or write it wait (see CMainFrame::OnCommand).
    bool solving() const { return input_.solving(); }

    // Once the frame is shown, before the first paint: the initial scroll
    // extent and the first layout pass (the frame sized to the board).
    void OnInitialUpdate();
    // The layout pass (view/layout.h) over the board and state as they stand:
    // run wherever they change (a new size, a load, a new or reset board, an
    // undo), never by the paint.
    void LayOut();

    // Repaint requests: the whole view, one layout rectangle (both painted
    // when the event loop gets to them), or erase and paint everything now.
    void InvalidateAll();
    void Invalidate(const LayoutRect& r);
    void RedrawNow();

    // Current scroll position (sx, sy) in viewport pixels: a viewport point
    // plus it, divided by the zoom, is the layout point.
    QPoint scrollPosition() const;
    // The layout point under viewport point `p`.
    QPoint LayoutPoint(QPointF p) const;

    // Parts of the layout held in place while the board scrolls: `source`
    // (layout pixels) drawn with its top-left at viewport point `at`. The
    // banner and status line stay at the top once the view is scrolled, the
    // phase label and buttons at the right when they would be out of sight.
    struct Pinned {
        QRect source;
        QPoint at;
    };
    std::vector<Pinned> pinned() const;

    // The zoom (1 = the layout's own size), kept in the settings.
    double zoom() const { return zoom_; }
    void SetZoom(double zoom);
    void OnZoomIn();
    void OnZoomOut();
    void OnZoomReset();
    // The largest zoom that shows the whole layout in the view as it is.
    void OnZoomFit();
    QSize scrollExtent() const { return extent_; }

    // Commands.
    void OnRuleSetOmbrix();
    void OnRuleSetTandrel();
    void OnUpdateRuleSetOmbrix(QAction* item) const;
    void OnUpdateRuleSetTandrel(QAction* item) const;
    void OnSizeChange();
    void OnLoadPuzzle();
    void OnSavePuzzle();
    void OnSaveText();
    // 新規作成: an empty puzzle of the current size, no file.
    void OnFileNew();
    // 上書き保存: to the document's file; a puzzle never saved asks for a
    // name. True when it was saved.
    bool OnFileSave();
    // 名前を付けて保存: always asks. True when it was saved.
    bool OnFileSaveAs();
    // With unsaved changes, asks "変更を保存しますか？" and saves if told
    // to. False when the user cancelled (or the save failed): the caller
    // then leaves everything as it is.
    bool MaybeSave();
    Document& document() { return doc_; }

    // Cells drawn with a red outline over the board (the cells where two
    // solutions differ); empty for none.
    void SetOutlinedCells(std::vector<std::pair<int, int>> cells);
    const std::vector<std::pair<int, int>>& outlinedCells() const { return marks_.redCells; }

    // Loads a puzzle file (.omx) or grid text (any other name) as the load
    // command does after its dialog. A file that cannot be used leaves the
    // puzzle as it was, shows status 3 and a message box saying why; true
    // when it was loaded.
    bool LoadPuzzleFrom(const QString& path);

  signals:
    // A file was loaded or saved (for the recent files).
    void fileUsed(const QString& path);
    // A file could not be opened (for the recent files).
    void fileFailed(const QString& path);

  public:

    // Every user action that may change the puzzle or the work on it runs
    // through here: when it did change something, the state before it
    // becomes an undo step, the check's marks go away and workChanged() is
    // emitted. `byHand`: a click or key on the board, which may complete it.
    void Perform(const std::function<void()>& action, bool byHand = false);
    void OnUndo();
    void OnRedo();
    bool canUndo() const { return undo_.canUndo(); }
    bool canRedo() const { return undo_.canRedo(); }
    // The answer check: outlines the offending cells in red and names the
    // first rule broken in the status line.
    void OnCheck();
    // The hint: in the solve phases, outlines in blue the cells the next
    // step decides and says why in the status line (a board that breaks a
    // rule is shown as the check shows it); called again while the hint is
    // shown, applies it as one change.
    void OnHint();
    const BoardMarks& marks() const { return marks_; }
    // How long a first digit waits for a second one to make 10..48.
    static constexpr int kTypingPauseMs = 1000;

  signals:
    // The puzzle or the work on it changed: by an action, an undo or redo,
    // or the automatic solver's outcome.
    void workChanged();

  public:
    // LayoutHost.
    void ResizeFrame(int outerWidth, int outerHeight) override;
    void SetScrollExtent(int width, int height) override;

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* e) override;

  private:
    void repaint(const RepaintRequest& r);
    void updateScrollBars();
    void changed(bool completedByHand);
    void restored(const Board& before);
    void moveCursor(int dx, int dy);
    void typeDigit(int digit);
    void keepCursorOnBoard();

    UndoStack undo_;
    BoardMarks marks_;
    std::vector<HintCell> hint_; // the hint shown, until the next change
    // The first digit typed, while a second may join it.
    struct {
        bool pending = false;
        bool recorded = false;     // it changed the cell (and made an undo step)
        bool hadUndecided = false; // the board had an undecided cell before it
        int x = 0, y = 0, digit = 0;
        qint64 at = 0;
    } typed_;
    QElapsedTimer clock_;
    bool saveTo(const QString& path);
    // Records a change when the bytes the file would hold differ from `before`.
    void noteChange(const std::vector<std::uint8_t>& before);
    std::vector<std::uint8_t> fileBytes() const;

    Board& board_;
    UiState& ui_;
    BoardInput input_;
    QThread* solver_ = nullptr; // the automatic solver's thread while it runs
    QSize extent_; // in layout pixels
    double zoom_ = 1.0;
    bool erase_ = false;
    Document doc_;
};

} // namespace ombrix
