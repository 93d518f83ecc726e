// The seam for everything modal that the view shows: file dialogs, the size
// dialog and message boxes. The program uses the real dialogs; tests install
// their own ModalUi and answer without a person.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace ombrix {

class CBoardSizeDlg;

struct FileDialogSpec {
    QString description; // "Data Files"
    QString pattern;     // "*.omx"
    QString extension;   // "omx", added to a name typed without one
    QStringList moreFilters; // further choices, "Grid Text (*.grid *.txt)"
    QString startPath;       // the name the dialog starts with, if any
};

// The answers to "変更を保存しますか？".
enum class SaveAnswer { Save, Discard, Cancel };

class ModalUi {
  public:
    virtual ~ModalUi() = default;
    // The chosen path, or an empty string when the user cancelled.
    virtual QString GetOpenPath(QWidget* parent, const FileDialogSpec& spec);
    virtual QString GetSavePath(QWidget* parent, const FileDialogSpec& spec);
    // Runs the size dialog; true when it ended with OK.
    virtual bool RunSizeDialog(CBoardSizeDlg& dialog);
    // A message box with one OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text);
    // Asks whether the unsaved changes of `fileName` are to be saved:
    // 保存 / 保存しない / キャンセル.
    virtual SaveAnswer AskSaveChanges(QWidget* parent, const QString& fileName);
};

// The current seam; the real dialogs unless a test installed another.
ModalUi& Modal();
// Installs `ui` (null restores the real dialogs). The caller keeps ownership.
void SetModal(ModalUi* ui);

} // namespace ombrix
