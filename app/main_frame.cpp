#include "main_frame.h"

#include "ombrix_view.h"
#include "modal.h"
#include "paint.h"
#include "recent_files.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>

namespace ombrix {

CMainFrame::CMainFrame(Board& board, UiState& ui, COmbrixApp* app)
    : app_(app), view_(new COmbrixView(board, ui, this)) {
    setObjectName(QStringLiteral("CMainFrame"));
    UpdateTitle();
    connect(&view_->document(), &Document::changed, this, &CMainFrame::UpdateTitle);
    connect(view_, &COmbrixView::fileUsed, this, [](const QString& path) { RecentFiles().add(path); });
    setWindowIcon(QIcon(QPixmap::fromImage(AppIcon())));
    setCentralWidget(view_);
    for (int i = 0; i < kCommandCount; ++i) {
        const CommandEntry& c = kCommands[i];
        if (!c.handler) continue;
        (c.route == Route::App ? registry_.app : registry_.view)[c.id] = c.handler;
    }
#ifdef OMBRIX_HAVE_PRINT
    RegisterPrintCommands(registry_);
#endif
    buildMenus();
    buildAccelerators();
}

void CMainFrame::buildMenus() {
    QMenu* menu = nullptr;
    const char* menuTitle = nullptr;
    for (int i = 0; i < kCommandCount; ++i) {
        const CommandEntry& c = kCommands[i];
        if (!c.menu) continue;
        const int id = c.id;
        if (!c.text && id != 0) {
            // A command on the menu bar itself.
            QAction* a = menuBar()->addAction(QString::fromUtf8(c.menu));
            connect(a, &QAction::triggered, this, [this, id] { OnCommand(id); });
            menuActions_[id] = a;
            menu = nullptr;
            menuTitle = nullptr;
            continue;
        }
        if (!menuTitle || std::string_view(menuTitle) != c.menu) {
            menu = menuBar()->addMenu(QString::fromUtf8(c.menu));
            menuTitle = c.menu;
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
        }
        if (id == 0) {
            menu->addSeparator();
            continue;
        }
        if (id == ID_FILE_MRU_FILE1) {
            recentMenu_ = menu->addMenu(QString::fromUtf8(c.text));
            connect(recentMenu_, &QMenu::aboutToShow, this, &CMainFrame::fillRecentMenu);
            menuActions_[id] = recentMenu_->menuAction();
            fillRecentMenu();
            continue;
        }
        QAction* a = menu->addAction(QString::fromUtf8(c.text));
        if (c.update) a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, id] { OnCommand(id); });
        menuActions_[id] = a;
    }
    UpdateCommandUI();
}

void CMainFrame::buildAccelerators() {
    // Separate from the menu items, so the items' texts stay as written.
    for (int i = 0; i < kCommandCount; ++i) {
        const CommandEntry& c = kCommands[i];
        if (!c.keys) continue;
        auto* a = new QAction(this);
        a->setObjectName(QString::fromLatin1(c.name));
        QList<QKeySequence> keys;
        for (const QString& k : QString::fromLatin1(c.keys).split(QLatin1Char(';')))
            keys << QKeySequence(k, QKeySequence::PortableText);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        const int id = c.id;
        connect(a, &QAction::triggered, this, [this, id] { OnCommand(id); });
        addAction(a);
    }
}

void CMainFrame::UpdateCommandUI() {
    CommandContext ctx{app_, *this, *view_};
    for (int i = 0; i < kCommandCount; ++i) {
        const CommandEntry& c = kCommands[i];
        if (!c.update) continue;
        if (QAction* a = menuAction(c.id)) c.update(ctx, a);
    }
}

void CMainFrame::Start(const QString& path) {
    view_->OnInitialUpdate();
    show();
    // The first layout step runs here rather than at the first paint, so a
    // puzzle named on the command line lands on a laid-out board (and a
    // refused one leaves the empty board with its message).
    LayoutPass(view_->board(), view_->ui(), view_);
    if (!path.isEmpty()) view_->LoadPuzzleFrom(path);
}

namespace {

// While the solver runs, only the commands that neither change nor write
// the board (help, about, printer setup, exit) are carried out.
bool RunsWhileSolving(int id) {
    switch (id) {
    case ID_HELP_OMBRIX_RULES:
    case ID_HELP_TANDREL_RULES:
    case ID_HELP_EDIT_OPERATION:
    case ID_HELP_SOLVE_OPERATION:
    case ID_APP_ABOUT:
    case ID_FILE_PRINT_SETUP:
    case ID_APP_EXIT:
    case ID_VIEW_ZOOM_IN:
    case ID_VIEW_ZOOM_OUT:
    case ID_VIEW_ZOOM_RESET:
    case ID_VIEW_ZOOM_FIT:
        return true;
    default:
        return false;
    }
}

} // namespace

void CMainFrame::OnCommand(int id) {
    if (view_->solving() && !RunsWhileSolving(id)) return;
    CommandContext ctx{app_, *this, *view_};
    const auto run = [&] {
        if (auto it = registry_.view.find(id); it != registry_.view.end()) {
            it->second(ctx);
        } else if (auto jt = registry_.app.find(id); jt != registry_.app.end()) {
            jt->second(ctx);
        }
    };
    // Undo and redo move through the recorded changes; every other command
    // that changes the puzzle or the work on it becomes one of them.
    if (id == ID_EDIT_UNDO || id == ID_EDIT_REDO)
        run();
    else
        view_->Perform(run);
    UpdateCommandUI();
}

namespace {
const QString kProgramTitle = QStringLiteral("Ombrix＆Tandrel - 解答ツール");
}

void CMainFrame::UpdateTitle() {
    const Document& doc = view_->document();
    if (doc.path().isEmpty() && !doc.modified()) {
        setWindowTitle(kProgramTitle);
        return;
    }
    setWindowTitle(doc.displayName() + (doc.modified() ? QStringLiteral("*") : QString()) +
                   QStringLiteral(" - ") + kProgramTitle);
}

void CMainFrame::fillRecentMenu() {
    recentMenu_->clear();
    const QStringList files = RecentFiles().list();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction* a = recentMenu_->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        connect(a, &QAction::triggered, this, [this, path] { OpenRecent(path); });
    }
    if (files.isEmpty()) recentMenu_->addAction(QStringLiteral("(なし)"))->setEnabled(false);
}

void CMainFrame::OpenRecent(const QString& path) {
    if (view_->solving()) return;
    if (!QFileInfo::exists(path)) {
        RecentFiles().remove(path);
        fillRecentMenu();
        Modal().ShowMessage(this, QStringLiteral("ファイルが見つからないため、最近使ったファイルの"
                                                 "一覧から外しました。\nファイル: %1")
                                      .arg(path));
        return;
    }
    if (!view_->MaybeSave()) return;
    view_->LoadPuzzleFrom(path);
    fillRecentMenu();
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    // While the solver runs the board is half made; the window waits for it
    // and closes as it always did.
    if (!view_->solving() && !view_->MaybeSave()) {
        e->ignore();
        return;
    }
    e->accept();
}

QAction* CMainFrame::menuAction(int id) const {
    auto it = menuActions_.find(id);
    return it == menuActions_.end() ? nullptr : it->second;
}

} // namespace ombrix
