// The help and about dialogs: fixed texts from their templates, closed with
// OK, Enter, Esc or the close box. They read and change no state.
#pragma once

#include "dialog_template.h"

namespace ombrix {

class CAboutDlg : public CTemplateDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* parent = nullptr) : CTemplateDialog(res::kAboutBox, parent) {}
};

class COmbrixRulesDlg : public CTemplateDialog {
    Q_OBJECT
  public:
    explicit COmbrixRulesDlg(QWidget* parent = nullptr)
        : CTemplateDialog(res::kOmbrixRules, parent) {}
};

class CTandrelRulesDlg : public CTemplateDialog {
    Q_OBJECT
  public:
    explicit CTandrelRulesDlg(QWidget* parent = nullptr)
        : CTemplateDialog(res::kTandrelRules, parent) {}
};

class CEditHelpDlg : public CTemplateDialog {
    Q_OBJECT
  public:
    explicit CEditHelpDlg(QWidget* parent = nullptr) : CTemplateDialog(res::kEditHelp, parent) {}
};

class CSolveHelpDlg : public CTemplateDialog {
    Q_OBJECT
  public:
    explicit CSolveHelpDlg(QWidget* parent = nullptr) : CTemplateDialog(res::kSolveHelp, parent) {}
};

} // namespace ombrix
