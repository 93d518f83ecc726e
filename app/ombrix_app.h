// The application: owns the one Board and UiState, creates the main frame
// and the view, and loads a puzzle named on the command line.
#pragma once

#include "board.h"
#include "uistate.h"

#include <QApplication>
#include <memory>

namespace ombrix {

class CMainFrame;

class COmbrixApp : public QApplication {
    Q_OBJECT
  public:
    COmbrixApp(int& argc, char** argv);
    ~COmbrixApp() override;

    // Start-up: fonts, the frame and view, the first layout, and the puzzle
    // file `path` named on the command line (if not empty). False ends the
    // program at once.
    bool InitInstance(const QString& path = {});

    Board& board() { return board_; }
    UiState& ui() { return ui_; }
    CMainFrame* mainFrame() { return frame_.get(); }

  private:
    Board board_{};
    UiState ui_{};
    std::unique_ptr<CMainFrame> frame_;
};

} // namespace ombrix
