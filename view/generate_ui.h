// The editor's "問題の自動作成" command: a dialog for the rule set, the size,
// the grade and symmetry; the generator runs on another thread behind a
// progress box with a cancel button, and the puzzle it makes replaces the
// board in the edit phase as one step that can be undone.
#pragma once

#include "unique.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace ombrix {

class COmbrixView;

class CGenerateDlg : public QDialog {
    Q_OBJECT
  public:
    // Shows the rule set, size, grade and symmetry of `start`; choice()
    // gives them back as the user left them, the rest of `start` kept.
    explicit CGenerateDlg(const UniqueOptions& start, QWidget* parent = nullptr);
    UniqueOptions choice() const;

    QComboBox* ruleBox() const { return rules_; }
    QSpinBox* widthBox() const { return width_; }
    QSpinBox* heightBox() const { return height_; }
    QComboBox* gradeBox() const { return grade_; }
    QCheckBox* symmetricBox() const { return symmetric_; }

  private:
    QComboBox* rules_;
    QSpinBox* width_;
    QSpinBox* height_;
    QComboBox* grade_;
    QCheckBox* symmetric_;
    UniqueOptions start_;
};

// Runs the whole command on the view (from inside the view's Perform).
void GeneratePuzzleInto(COmbrixView& view);

} // namespace ombrix
