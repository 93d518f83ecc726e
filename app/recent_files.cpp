#include "recent_files.h"

#include <QSettings>

namespace ombrix {

namespace {
const QString kKey = QStringLiteral("recentFiles");
}

QStringList RecentFiles::list() const {
    QStringList files = QSettings().value(kKey).toStringList();
    files.removeAll(QString());
    return files.mid(0, kMax);
}

void RecentFiles::add(const QString& path) {
    QStringList files = list();
    files.removeAll(path);
    files.prepend(path);
    store(files.mid(0, kMax));
}

void RecentFiles::remove(const QString& path) {
    QStringList files = list();
    files.removeAll(path);
    store(files);
}

void RecentFiles::store(const QStringList& files) {
    QSettings settings;
    settings.setValue(kKey, files);
    settings.sync();
}

} // namespace ombrix
