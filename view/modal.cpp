#include "modal.h"

#include "size_dialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace ombrix {
namespace {

ModalUi* g_modal = nullptr;

QFileDialog* MakeFileDialog(QWidget* parent, const FileFilter& filter, bool save) {
    auto* dialog = new QFileDialog(parent);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setNameFilter(filter.description + QStringLiteral(" (") + filter.pattern +
                          QStringLiteral(")"));
    dialog->setDefaultSuffix(filter.extension);
    // The save form asks before it overwrites (Qt's default); no read-only box.
    dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    return dialog;
}

QString RunFileDialog(QWidget* parent, const FileFilter& filter, bool save) {
    QFileDialog* dialog = MakeFileDialog(parent, filter, save);
    QString path;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        path = dialog->selectedFiles().first();
    delete dialog;
    return path;
}

} // namespace

QString ModalUi::GetOpenPath(QWidget* parent, const FileFilter& filter) {
    return RunFileDialog(parent, filter, false);
}

QString ModalUi::GetSavePath(QWidget* parent, const FileFilter& filter) {
    return RunFileDialog(parent, filter, true);
}

bool ModalUi::RunSizeDialog(CBoardSizeDlg& dialog) {
    return dialog.exec() == QDialog::Accepted;
}

void ModalUi::ShowMessage(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QCoreApplication::applicationName(), text);
}

ModalUi& Modal() {
    static ModalUi real;
    return g_modal ? *g_modal : real;
}

void SetModal(ModalUi* ui) {
    g_modal = ui;
}

} // namespace ombrix
