#include "modal.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ombrix {
namespace {

ModalUi* g_modal = nullptr;

QFileDialog* MakeFileDialog(QWidget* parent, const FileFilter& filter, bool save) {
    auto* dialog = new QFileDialog(parent);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setNameFilters(QStringList{filter.description + QStringLiteral(" (") + filter.pattern +
                                       QStringLiteral(")")}
                           << filter.moreFilters);
    if (!filter.startPath.isEmpty()) dialog->selectFile(filter.startPath);
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

int ModalUi::RunDialog(QDialog& dialog) {
    return dialog.exec();
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

void ModalUi::RunProgress(QWidget* parent, BackgroundWork& work) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QCoreApplication::applicationName());
    auto* label = new QLabel(work.progressText(), &dialog);
    label->setMinimumWidth(260);
    auto* cancel = new QPushButton(QStringLiteral("中止"), &dialog);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(cancel, 0, Qt::AlignRight);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, [&] {
        work.cancel();
        cancel->setEnabled(false);
    });
    // Closing the box is a cancel too; the box goes when the work has ended.
    QObject::connect(&dialog, &QDialog::rejected, &dialog, [&] { work.cancel(); });
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &dialog, [&] {
        label->setText(work.progressText());
        if (work.finished()) dialog.accept();
    });
    timer.start(100);
    if (!work.finished()) dialog.exec();
    while (!work.finished())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

int ModalUi::AskChoice(QWidget* parent, const QString& text, const QStringList& buttons) {
    QMessageBox box(QMessageBox::Information, QCoreApplication::applicationName(), text,
                    QMessageBox::NoButton, parent);
    QList<QAbstractButton*> added;
    for (const QString& b : buttons)
        added << box.addButton(b, QMessageBox::AcceptRole);
    if (!added.isEmpty()) box.setEscapeButton(added.last());
    box.exec();
    return static_cast<int>(added.indexOf(box.clickedButton()));
}

void ModalUi::RunSolutionView(QWidget* parent, SolutionToggle& toggle) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QCoreApplication::applicationName());
    auto* label = new QLabel(&dialog);
    auto* flip = new QPushButton(QStringLiteral("もう一方の解(&S)"), &dialog);
    auto* back = new QPushButton(QStringLiteral("戻る(&B)"), &dialog);
    flip->setDefault(true);
    auto update = [&] {
        label->setText(
            QStringLiteral("解 %1 / 2（赤枠は2つの解で異なるマス）").arg(toggle.shown() + 1));
    };
    update();
    QObject::connect(flip, &QPushButton::clicked, &dialog, [&] {
        toggle.toggle();
        update();
    });
    QObject::connect(back, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(flip);
    buttons->addWidget(back);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addLayout(buttons);
    // Beside the board rather than over it.
    if (parent) dialog.move(parent->mapToGlobal(QPoint(parent->width() - 40, 40)));
    dialog.exec();
}

ModalUi& Modal() {
    static ModalUi real;
    return g_modal ? *g_modal : real;
}

void SetModal(ModalUi* ui) {
    g_modal = ui;
}

} // namespace ombrix
