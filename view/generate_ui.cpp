#include "generate_ui.h"

#include "modal.h"
#include "ombrix_view.h"
#include "unique.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

#include <atomic>
#include <memory>
#include <random>

namespace ombrix {

namespace {

// The generator on its own thread.
class GenerateWork : public BackgroundWork {
  public:
    explicit GenerateWork(const UniqueOptions& options)
        : result_(std::make_unique<UniqueResult>()) {
        UniqueOptions o = options;
        o.cancel = thread_.cancelFlag();
        o.progress = [this](int attempt) { attempt_ = attempt; };
        thread_.start([this, o] { made_ = GenerateUnique(o, *result_); });
    }
    bool finished() const override { return thread_.finished(); }
    void cancel() override { thread_.cancel(); }
    QString progressText() const override {
        return QStringLiteral("問題を作成中です…　%1 回目　%2 秒")
            .arg(attempt_.load())
            .arg(thread_.seconds(), 0, 'f', 1);
    }
    // After finished(): the puzzle, or null when cancelled.
    const UniqueResult* result() {
        thread_.join();
        return made_ ? result_.get() : nullptr;
    }

  private:
    std::unique_ptr<UniqueResult> result_;
    std::atomic<int> attempt_{0};
    bool made_ = false;
    WorkThread thread_; // last: joined before the rest goes
};

} // namespace

CGenerateDlg::CGenerateDlg(const UniqueOptions& start, QWidget* parent)
    : QDialog(parent), start_(start) {
    setWindowTitle(QStringLiteral("問題の自動作成"));
    rules_ = new QComboBox(this);
    rules_->setObjectName(QStringLiteral("rules"));
    rules_->addItems({QStringLiteral("Ombrix"), QStringLiteral("Tandrel")});
    rules_->setCurrentIndex(start.ruleSet ? 1 : 0);
    width_ = new QSpinBox(this);
    width_->setObjectName(QStringLiteral("width"));
    width_->setRange(kMinWidth, kMaxWidth);
    width_->setValue(start.width);
    height_ = new QSpinBox(this);
    height_->setObjectName(QStringLiteral("height"));
    height_->setRange(kMinHeight, kMaxHeight);
    height_->setValue(start.height);
    grade_ = new QComboBox(this);
    grade_->setObjectName(QStringLiteral("grade"));
    grade_->addItems({QStringLiteral("指定なし"), QStringLiteral("1（推論のみ）"),
                      QStringLiteral("2（仮定1段）"), QStringLiteral("3（仮定2段）"),
                      QStringLiteral("4（自動解答で解けない）")});
    grade_->setCurrentIndex(start.grade);
    symmetric_ = new QCheckBox(QStringLiteral("点対称に配置する"), this);
    symmetric_->setObjectName(QStringLiteral("symmetric"));
    symmetric_->setChecked(start.symmetric);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("ルール"), rules_);
    form->addRow(QStringLiteral("横"), width_);
    form->addRow(QStringLiteral("縦"), height_);
    form->addRow(QStringLiteral("難易度"), grade_);
    form->addRow(symmetric_);
    form->addRow(buttons);
}

UniqueOptions CGenerateDlg::choice() const {
    UniqueOptions o = start_;
    o.ruleSet = rules_->currentIndex();
    o.width = width_->value();
    o.height = height_->value();
    o.grade = grade_->currentIndex();
    o.symmetric = symmetric_->isChecked();
    return o;
}

void GeneratePuzzleInto(COmbrixView& view) {
    if (!view.MaybeSave()) return;
    static UniqueOptions last;
    UniqueOptions start = last;
    start.ruleSet = view.board().ruleSet;
    start.width = view.board().width;
    start.height = view.board().height;
    CGenerateDlg dialog(start, &view);
    if (Modal().RunDialog(dialog) != QDialog::Accepted) return;
    last = dialog.choice();
    UniqueOptions o = last;
    // A new puzzle each time.
    o.seed = std::random_device{}();
    GenerateWork work(o);
    Modal().RunProgress(&view, work);
    const UniqueResult* made = work.result();
    if (!made) return;
    view.board() = made->puzzle;
    view.board().status = StatusNone;
    view.board().undecidedCount = 0;
    view.ui() = UiState{}; // edit phase, number 1, no step history
    view.ui().layoutState = LayoutBarPending;
    view.ui().resizePending = 1;
    // A puzzle of its own: no file yet, and unsaved.
    view.document().setFile(QString());
    view.document().markModified();
    view.InvalidateAll();
}

} // namespace ombrix
