#include "modal.h"

#include "size_dialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace ombrix {
namespace {

ModalUi* g_modal = nullptr;

QFileDialog* MakeFileDialog(QWidget* parent, const FileDialogSpec& spec, bool save) {
    auto* dialog = new QFileDialog(parent);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setNameFilter(spec.description + QStringLiteral(" (") + spec.pattern +
                          QStringLiteral(")"));
    dialog->setDefaultSuffix(spec.extension);
    // The save form asks before it overwrites (Qt's default); no read-only box.
    dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    return dialog;
}

QString RunFileDialog(QWidget* parent, const FileDialogSpec& spec, bool save) {
    QFileDialog* dialog = MakeFileDialog(parent, spec, save);
    QString path;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        path = dialog->selectedFiles().first();
    delete dialog;
    return path;
}

} // namespace

QString ModalUi::GetOpenPath(QWidget* parent, const FileDialogSpec& spec) {
    return RunFileDialog(parent, spec, false);
}

QString ModalUi::GetSavePath(QWidget* parent, const FileDialogSpec& spec) {
    return RunFileDialog(parent, spec, true);
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
