#include "document.h"

#include <QFileInfo>

namespace ombrix {

QString Document::displayName() const {
    return path_.isEmpty() ? QStringLiteral("無題") : QFileInfo(path_).fileName();
}

bool Document::IsGridTextPath(const QString& path) {
    return !path.isEmpty() && !path.endsWith(QStringLiteral(".omx"), Qt::CaseInsensitive);
}

void Document::setModified(bool modified) {
    if (!modified) ++settled_;
    if (modified_ == modified) return;
    modified_ = modified;
    emit changed();
}

void Document::setFile(const QString& path) {
    path_ = path;
    modified_ = false;
    ++settled_;
    emit changed();
}

} // namespace ombrix
