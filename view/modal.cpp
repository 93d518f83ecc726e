#include "modal.h"

#include "size_dialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace ombrix {
namespace {

ModalUi* g_modal = nullptr;

QFileDialog* MakeFileDialog(QWidget* parent, const FileDialogSpec& spec, bool save) {
    auto* dialog = new QFileDialog(parent);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setNameFilters(QStringList{spec.description + QStringLiteral(" (") + spec.pattern +
                                       QStringLiteral(")")}
                           << spec.moreFilters);
    if (!spec.startPath.isEmpty()) dialog->selectFile(spec.startPath);
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

SaveAnswer ModalUi::AskSaveChanges(QWidget* parent, const QString& fileName) {
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
                    QStringLiteral("変更を保存しますか？\n%1").arg(fileName), QMessageBox::NoButton,
                    parent);
    QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("保存しない"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) return SaveAnswer::Save;
    if (box.clickedButton() == discard) return SaveAnswer::Discard;
    return SaveAnswer::Cancel;
}

ModalUi& Modal() {
    static ModalUi real;
    return g_modal ? *g_modal : real;
}

void SetModal(ModalUi* ui) {
    g_modal = ui;
}

} // namespace ombrix
