// Dialogs built from templates in dialog units. Sizes and positions are
// converted with the dialog font's base units: cx = the average width of
// "A..Za..z", cy = the font's height; x px = (dlu * cx + 2) / 4,
// y px = (dlu * cy + 4) / 8.
#pragma once

#include "templates.h"

#include <QDialog>
#include <QFont>

namespace ombrix {

// The faces the templates and the page ask for, mapped to installed Japanese
// faces.
// Called once at start-up (and by anything that builds a dialog).
void InstallFontSubstitutions();

// "ＭＳ Ｐゴシック" at 9 points.
QFont DialogFont();

struct DialogBaseUnits {
    int cx = 0, cy = 0;
    int x(int dlu) const { return (dlu * cx + 2) / 4; }
    int y(int dlu) const { return (dlu * cy + 4) / 8; }
};
// The base units of the dialog font on this screen.
DialogBaseUnits DialogUnits();

// A modal dialog built from its template: fixed size, the controls at their
// converted positions, OK (id 1) accepting, Cancel (id 2) rejecting, the
// default button taking Enter, Esc rejecting. Controls are named "id<N>".
class CTemplateDialog : public QDialog {
    Q_OBJECT
  public:
    explicit CTemplateDialog(const res::DialogTemplate& t, QWidget* parent = nullptr);
    const res::DialogTemplate& dialogTemplate() const { return t_; }
    // The control of id `id` (the first one for -1).
    QWidget* control(int id) const;

  protected:
    // Called for the OK button; accepts by default.
    virtual void OnOK() { accept(); }

  private:
    const res::DialogTemplate& t_;
};

} // namespace ombrix
