// The editor's "問題の自動作成" command: a dialog for the rule set, the size,
// the grade and symmetry; the generator runs on another thread behind a
// progress box with a cancel button, and the puzzle it makes replaces the
// board in the edit phase as one step that can be undone.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace ombrix {

class COmbrixView;

struct GenerateChoice {
    int ruleSet = 0;
    int width = 10;
    int height = 10;
    int grade = 0; // 0: any the automatic solver finishes (1..3)
    bool symmetric = false;
};

class CGenerateDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CGenerateDlg(const GenerateChoice& start, QWidget* parent = nullptr);
    GenerateChoice choice() const;

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
};

// Runs the whole command on the view (from inside the view's Perform).
void GeneratePuzzleInto(COmbrixView& view);

} // namespace ombrix
