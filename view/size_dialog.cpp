#include "size_dialog.h"

#include "board.h"
#include "modal.h"

#include <QLineEdit>

namespace ombrix {

QString NotAnIntegerMessage() {
    return QStringLiteral("整数を入力してください。");
}

QString OutOfRangeMessage(int low, int high) {
    return QStringLiteral("%1 から %2 までの整数を入力してください。").arg(low).arg(high);
}

CBoardSizeDlg::CBoardSizeDlg(QWidget* parent) : CTemplateDialog(res::kBoardSize, parent) {}

QLineEdit* CBoardSizeDlg::widthEdit() const {
    return static_cast<QLineEdit*>(control(IDC_SIZE_WIDTH));
}

QLineEdit* CBoardSizeDlg::heightEdit() const {
    return static_cast<QLineEdit*>(control(IDC_SIZE_HEIGHT));
}

void CBoardSizeDlg::showEvent(QShowEvent* e) {
    widthEdit()->setText(QString::number(m_width));
    heightEdit()->setText(QString::number(m_height));
    widthEdit()->setFocus();
    widthEdit()->selectAll();
    CTemplateDialog::showEvent(e);
}

bool CBoardSizeDlg::exchange(QLineEdit* edit, int low, int high, int& field) {
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok, 10);
    if (!ok || value < low || value > high) {
        Modal().ShowMessage(this, ok ? OutOfRangeMessage(low, high) : NotAnIntegerMessage());
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    field = value;
    return true;
}

void CBoardSizeDlg::OnOK() {
    int w = m_width, h = m_height;
    if (!exchange(widthEdit(), kMinWidth, kMaxWidth, w)) return;
    if (!exchange(heightEdit(), kMinHeight, kMaxHeight, h)) return;
    m_width = w;
    m_height = h;
    accept();
}

} // namespace ombrix
