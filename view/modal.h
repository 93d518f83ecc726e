// The seam for everything modal that the view shows: file dialogs, the size
// dialog and message boxes. The program uses the real dialogs; tests install
// their own ModalUi and answer without a person.
#pragma once

#include <QString>

class QWidget;

namespace ombrix {

class CBoardSizeDlg;

struct FileFilter {
    QString description; // "Data Files"
    QString pattern;     // "*.omx"
    QString extension;   // "omx", added to a name typed without one
};

class ModalUi {
  public:
    virtual ~ModalUi() = default;
    // The chosen path, or an empty string when the user cancelled.
    virtual QString GetOpenPath(QWidget* parent, const FileFilter& filter);
    virtual QString GetSavePath(QWidget* parent, const FileFilter& filter);
    // Runs the size dialog; true when it ended with OK.
    virtual bool RunSizeDialog(CBoardSizeDlg& dialog);
    // A message box with one OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text);
};

// The current seam; the real dialogs unless a test installed another.
ModalUi& Modal();
// Installs `ui` (null restores the real dialogs). The caller keeps ownership.
void SetModal(ModalUi* ui);

} // namespace ombrix
