// The main frame window: caption, icon, the menu bar and the accelerators
// built from the command table, and the board view as its only content.
// A command runs the handler of its entry in the table.
#pragma once

#include "commands.h"

#include <QMainWindow>

#include <map>

namespace ombrix {

struct Board;
struct UiState;

class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    CMainFrame(Board& board, UiState& ui);

    COmbrixView& view() { return *view_; }
    // Shows the frame with the empty 10 x 10 board laid out, then loads the
    // puzzle file `path` (if not empty) as the load command would: a file
    // that cannot be read leaves the empty board with status 3's message.
    void Start(const QString& path);
    // Runs command `id` as a menu item or key would; while the automatic
    // solver runs, only the commands that leave the board alone.
    void OnCommand(int id);
    // The menu item of command `id`, or null.
    QAction* menuAction(int id) const;
    // Sets the check marks, as before a menu opens.
    void UpdateCommandUI();

    // The window's title: the program's name, after the file's name and an
    // unsaved mark once there is a file or a change.
    void UpdateTitle();
    // Opens recent file `path` as the load command would; a file gone
    // meanwhile is taken off the list with a message.
    void OpenRecent(const QString& path);
    QMenu* recentMenu() const { return recentMenu_; }

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    void buildMenus();
    void addMenuEntry(QMenu& menu, const CommandEntry& c);
    // Runs command `id` when `a` is triggered; `a` is its menu item.
    QAction* addCommandAction(QAction* a, int id);
    void fillRecentMenu();
    void buildAccelerators();

    COmbrixView* view_;
    std::map<int, QAction*> menuActions_;
    QMenu* recentMenu_ = nullptr;
};

} // namespace ombrix
