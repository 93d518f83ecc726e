#include "dialog_template.h"

#include "page_drawing.h"
#include "paint.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace ombrix {

void InstallFontSubstitutions() {
    static const bool done = [] {
        QFont::insertSubstitution(QString::fromUtf8(res::kDialogFace),
                                  QStringLiteral("IPAPGothic"));
        QFont::insertSubstitution(QString::fromUtf8(kPageFontFace), QStringLiteral("IPAMincho"));
        QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
        return true;
    }();
    (void)done;
}

QFont DialogFont() {
    InstallFontSubstitutions();
    QFont f(QString::fromUtf8(res::kDialogFace));
    f.setPointSize(res::kDialogPoints);
    return f;
}

DialogBaseUnits DialogUnits() {
    const QFontMetrics fm(DialogFont());
    const int sum = fm.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(sum / 26 + 1) / 2, fm.height()};
}

CTemplateDialog::CTemplateDialog(const res::DialogTemplate& t, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      t_(t) {
    setFont(DialogFont());
    setWindowTitle(QString::fromUtf8(t.caption));
    const DialogBaseUnits u = DialogUnits();
    setFixedSize(u.x(t.width), u.y(t.height));
    for (int i = 0; i < t.controlCount; ++i) {
        const res::ControlTemplate& c = t.controls[i];
        QWidget* w = nullptr;
        const QString text = QString::fromUtf8(c.text);
        switch (c.kind) {
        case res::ControlKind::Static: {
            auto* label = new QLabel(text, this);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            w = label;
            break;
        }
        case res::ControlKind::Icon: {
            auto* label = new QLabel(this);
            label->setPixmap(QPixmap::fromImage(AppIcon()));
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            w = label;
            break;
        }
        case res::ControlKind::Edit:
            w = new QLineEdit(this);
            break;
        case res::ControlKind::Button: {
            auto* button = new QPushButton(text, this);
            button->setDefault(c.isDefault);
            button->setAutoDefault(false);
            if (c.id == 1) connect(button, &QPushButton::clicked, this, [this] { OnOK(); });
            if (c.id == 2) connect(button, &QPushButton::clicked, this, &QDialog::reject);
            w = button;
            break;
        }
        }
        w->setObjectName(QStringLiteral("id%1").arg(c.id));
        w->setGeometry(u.x(c.x), u.y(c.y), u.x(c.width), u.y(c.height));
    }
}

QWidget* CTemplateDialog::control(int id) const {
    return findChild<QWidget*>(QStringLiteral("id%1").arg(id));
}

} // namespace ombrix
