#include "collection_ui.h"

#include "modal.h"
#include "ombrix_view.h"
#include "safe_write.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace ombrix {

QString CollectionFolder() {
    const QString program = QCoreApplication::applicationDirPath();
    const QStringList candidates = {
        program + QStringLiteral("/../share/ombrix/collection"),
        program + QStringLiteral("/collection"),
#ifdef OMBRIX_SOURCE_COLLECTION
        QStringLiteral(OMBRIX_SOURCE_COLLECTION),
#endif
    };
    for (const QString& folder : candidates)
        if (QFileInfo::exists(folder + QStringLiteral("/seeds.txt")))
            return QDir(folder).absolutePath();
    return {};
}

CCollectionDlg::CCollectionDlg(const std::vector<CollectionEntry>& entries, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("問題集"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("puzzles"));
    for (const CollectionEntry& e : entries)
        list_->addItem(QStringLiteral("%1　%2　%3 × %4　難易度 %5")
                           .arg(QString::fromStdString(e.name), QString(RuleSetName(e.ruleSet)))
                           .arg(e.width)
                           .arg(e.height)
                           .arg(e.grade));
    if (!entries.empty()) list_->setCurrentRow(0);
    list_->setMinimumSize(320, 360);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("開く"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
}

int CCollectionDlg::chosen() const {
    return list_->currentRow();
}

void OpenFromCollection(COmbrixView& view) {
    const QString folder = CollectionFolder();
    std::vector<CollectionEntry> entries;
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (folder.isEmpty() ||
        !ReadFileBytes((folder + QStringLiteral("/seeds.txt")).toStdString(), 1 << 20, bytes,
                       error) ||
        !ParseSeedList({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, entries,
                       error)) {
        Modal().ShowMessage(&view, QStringLiteral("問題集が見つかりません。"));
        return;
    }
    if (!view.MaybeSave()) return;
    CCollectionDlg dialog(entries, &view);
    if (Modal().RunDialog(dialog) != QDialog::Accepted || dialog.chosen() < 0) return;
    const CollectionEntry& e = entries[static_cast<std::size_t>(dialog.chosen())];
    if (view.LoadPuzzleFrom(folder + QStringLiteral("/") + QString::fromStdString(e.name) +
                            QStringLiteral(".omx")))
        view.document().setFile(QString());
}

} // namespace ombrix
