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

CMainFrame::CMainFrame(Board& board, UiState& ui) : view_(new COmbrixView(board, ui, this)) {
    setObjectName(QStringLiteral("CMainFrame"));
    UpdateTitle();
    connect(&view_->document(), &Document::changed, this, &CMainFrame::UpdateTitle);
    connect(view_, &COmbrixView::fileUsed, this, [](const QString& path) { RecentFiles().add(path); });
    setWindowIcon(QIcon(QPixmap::fromImage(AppIcon())));
    setCentralWidget(view_);
    buildMenus();
    buildAccelerators();
}

void CMainFrame::buildMenus() {
    QMenu* menu = nullptr;
    for (const CommandEntry& c : Commands()) {
        if (!c.menu) continue;
        if (!c.text && c.id != 0) {
            // A command on the menu bar itself.
            addCommandAction(menuBar()->addAction(QString::fromUtf8(c.menu)), c.id);
            menu = nullptr;
            continue;
        }
        if (!menu || menu->title() != QString::fromUtf8(c.menu)) {
            menu = menuBar()->addMenu(QString::fromUtf8(c.menu));
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
        }
        addMenuEntry(*menu, c);
    }
    UpdateCommandUI();
}

void CMainFrame::addMenuEntry(QMenu& menu, const CommandEntry& c) {
    if (c.id == 0) {
        menu.addSeparator();
    } else if (c.id == ID_FILE_MRU_FILE1) {
        recentMenu_ = menu.addMenu(QString::fromUtf8(c.text));
        connect(recentMenu_, &QMenu::aboutToShow, this, &CMainFrame::fillRecentMenu);
        menuActions_[c.id] = recentMenu_->menuAction();
        fillRecentMenu();
    } else {
        QAction* a = addCommandAction(menu.addAction(QString::fromUtf8(c.text)), c.id);
        a->setCheckable(c.update != nullptr);
    }
}

QAction* CMainFrame::addCommandAction(QAction* a, int id) {
    connect(a, &QAction::triggered, this, [this, id] { OnCommand(id); });
    menuActions_[id] = a;
    return a;
}

void CMainFrame::buildAccelerators() {
    // Separate from the menu items, so the items' texts stay as written.
    for (const CommandEntry& c : Commands()) {
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
    CommandContext ctx{*this, *view_};
    for (const CommandEntry& c : Commands()) {
        if (!c.update) continue;
        if (QAction* a = menuAction(c.id)) c.update(ctx, a);
    }
}

void CMainFrame::Start(const QString& path) {
    show();
    view_->OnInitialUpdate();
    if (!path.isEmpty()) view_->LoadPuzzleFrom(path);
}

void CMainFrame::OnCommand(int id) {
    const CommandEntry* c = FindCommand(id);
    if (!c || !c->handler) return;
    if (view_->solving() && c->whileSolving != WhileSolving::Runs) return;
    CommandContext ctx{*this, *view_};
    // Undo and redo move through the recorded changes; every other command
    // that changes the puzzle or the work on it becomes one of them.
    if (id == ID_EDIT_UNDO || id == ID_EDIT_REDO)
        c->handler(ctx);
    else
        view_->Perform([&] { c->handler(ctx); });
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
