// The board-size dialog: width and height as decimal integers,
// 8..31 and 8..45. OK with a value that is not an integer or out of range is
// refused with a message naming the bounds; the focus goes back to that field
// and the dialog stays open.
#pragma once

#include "dialog_template.h"

class QLineEdit;

namespace ombrix {

inline constexpr int IDC_SIZE_WIDTH = 1000;
inline constexpr int IDC_SIZE_HEIGHT = 1001;

class CBoardSizeDlg : public CTemplateDialog {
    Q_OBJECT
  public:
    explicit CBoardSizeDlg(QWidget* parent = nullptr);

    int m_width = 0;
    int m_height = 0;

    QLineEdit* widthEdit() const;
    QLineEdit* heightEdit() const;

    // Fields to controls, run when the dialog is shown.
    void showEvent(QShowEvent* e) override;

  protected:
    // Controls to fields with their checks; accepts only when both pass.
    void OnOK() override;

  private:
    bool exchange(QLineEdit* edit, int low, int high, int& field);
};

// The refusal messages.
QString NotAnIntegerMessage();
QString OutOfRangeMessage(int low, int high);

} // namespace ombrix
