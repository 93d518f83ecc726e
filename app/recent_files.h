// The files used last, newest first, at most eight, kept in the
// application's settings from one session to the next.
#pragma once

#include <QStringList>

namespace ombrix {

class RecentFiles {
  public:
    static constexpr int kMax = 8;

    QStringList list() const;
    // Puts `path` first (once).
    void add(const QString& path);
    void remove(const QString& path);

  private:
    void store(const QStringList& files);
};

} // namespace ombrix
