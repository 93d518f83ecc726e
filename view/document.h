// The puzzle as a document: the file it came from or was last saved to, and
// whether the board holds changes not yet saved. Every change to the puzzle
// goes through markModified(); loading and saving go through setFile().
#pragma once

#include <QObject>
#include <QString>

namespace ombrix {

class Document : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // The file's path, empty for a puzzle never saved.
    const QString& path() const { return path_; }
    bool modified() const { return modified_; }
    // The name shown in the title and the save prompt: the file's name, or
    // "無題" for a puzzle never saved.
    QString displayName() const;
    // True when the file is grid text (by its name: anything but .omx), which
    // holds the clues and given black cells only.
    bool isGridText() const { return IsGridTextPath(path_); }
    static bool IsGridTextPath(const QString& path);

    // The one entry point for "the board changed": every handler that
    // changes the puzzle or the work on it calls it.
    void markModified() { setModified(true); }
    void setModified(bool modified);
    // After a load or a save: the document is `path`, with nothing unsaved.
    void setFile(const QString& path);
    // Counts the times the document was set as saved (a load, a save, a new
    // puzzle): an action during which it changes needs no unsaved mark.
    int settled() const { return settled_; }

  signals:
    void changed();

  private:
    QString path_;
    bool modified_ = false;
    int settled_ = 0;
};

} // namespace ombrix
