// The scrolling board view: paints the whole layout from the Board and the
// UiState, turns mouse presses on its viewport into layout points for the
// click dispatch, and handles the view's commands (rule set, size, files,
// help). It holds no puzzle state of its own.
#pragma once

#include "input.h"
#include "layout.h"

#include <QAbstractScrollArea>
#include <QSize>

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
    UiState& ui() { return ui_; }
    BoardInput& input() { return input_; }
    // True while the automatic solver runs: the board takes no input and
    // the commands that change or write it wait (see CMainFrame::OnCommand).
    bool solving() const { return input_.solving(); }

    // Before the first paint: the initial scroll extent.
    void OnInitialUpdate();

    // Repaint requests: the whole view, one layout rectangle (both painted
    // when the event loop gets to them), or erase and paint everything now.
    void InvalidateAll();
    void Invalidate(const LayoutRect& r);
    void RedrawNow();

    // Current scroll position (sx, sy): a viewport point plus it is the
    // layout point.
    QPoint scrollPosition() const;
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
    void OnHelpOmbrixRules();
    void OnHelpTandrelRules();
    void OnHelpEditOperation();
    void OnHelpSolveOperation();

    // Cells drawn with a red outline over the board (the cells where two
    // solutions differ); empty for none.
    void SetOutlinedCells(std::vector<std::pair<int, int>> cells);
    const std::vector<std::pair<int, int>>& outlinedCells() const { return outlined_; }

    // Loads a puzzle file as the load command does after its dialog.
    void LoadPuzzleFrom(const QString& path);

    // LayoutHost.
    void ResizeFrame(int outerWidth, int outerHeight) override;
    void SetScrollExtent(int width, int height) override;

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    void repaint(const RepaintRequest& r);
    void updateScrollBars();

    Board& board_;
    UiState& ui_;
    BoardInput input_;
    QThread* solver_ = nullptr; // the automatic solver's thread while it runs
    QSize extent_;
    bool erase_ = false;
    std::vector<std::pair<int, int>> outlined_;
};

} // namespace ombrix
