// The seam for everything modal the editor shows: file dialogs, every dialog
// it builds (the size dialog, the help texts, printing), message boxes and
// the progress of long work. The program uses the real dialogs; tests
// install their own ModalUi and answer without a person or a timer.
#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

class QDialog;
class QWidget;

namespace ombrix {

struct FileFilter {
    QString description;     // "Data Files"
    QString pattern;         // "*.omx"
    QString extension;       // "omx", added to a name typed without one
    QStringList moreFilters; // further choices, "Grid Text (*.grid *.txt)"
    QString startPath;       // the name the dialog starts with, if any
};

// The answers to "変更を保存しますか？".
enum class SaveAnswer { Save, Discard, Cancel };
// Work running on another thread while a progress dialog shows how far it
// has got; the dialog's cancel button asks it to stop.
class BackgroundWork {
  public:
    virtual ~BackgroundWork() = default;
    virtual bool finished() const = 0;
    virtual QString progressText() const = 0;
    virtual void cancel() = 0;
};

// The thread that long work runs on: its cancel flag, whether it has ended,
// and the seconds since it began. Declare it as the last member of the work
// it runs, so that it is stopped and joined before the work's results go.
class WorkThread {
  public:
    ~WorkThread() {
        cancel_ = true;
        join();
    }
    void start(std::function<void()> work) {
        thread_ = std::thread([this, work = std::move(work)] {
            work();
            done_ = true;
        });
    }
    void join() {
        if (thread_.joinable()) thread_.join();
    }
    bool finished() const { return done_; }
    void cancel() { cancel_ = true; }
    const std::atomic<bool>* cancelFlag() const { return &cancel_; }
    double seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - begun_).count();
    }

  private:
    std::chrono::steady_clock::time_point begun_ = std::chrono::steady_clock::now();
    std::atomic<bool> cancel_{false}, done_{false};
    std::thread thread_;
};

// Two solutions on the board, one shown at a time.
class SolutionToggle {
  public:
    virtual ~SolutionToggle() = default;
    virtual void toggle() = 0;
    virtual int shown() const = 0; // 0 or 1
};

class ModalUi {
  public:
    virtual ~ModalUi() = default;
    // The chosen path, or an empty string when the user cancelled.
    virtual QString GetOpenPath(QWidget* parent, const FileFilter& filter);
    virtual QString GetSavePath(QWidget* parent, const FileFilter& filter);
    // Runs `dialog` modally; its result (QDialog::Accepted or Rejected).
    virtual int RunDialog(QDialog& dialog);
    // A message box with one OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text);
    // Asks whether the unsaved changes of `fileName` are to be saved:
    // 保存 / 保存しない / キャンセル.
    virtual SaveAnswer AskSaveChanges(QWidget* parent, const QString& fileName);
    // Shows the progress of `work` and returns once it has finished.
    virtual void RunProgress(QWidget* parent, BackgroundWork& work);
    // A message with a row of buttons; the index of the one pressed, -1 when
    // the box was closed otherwise.
    virtual int AskChoice(QWidget* parent, const QString& text, const QStringList& buttons);
    // While two solutions are on the board: a button (and the space key)
    // flips between them, another goes back. Returns when the user goes back.
    virtual void RunSolutionView(QWidget* parent, SolutionToggle& toggle);
};

// The current seam; the real dialogs unless a test installed another.
ModalUi& Modal();
// Installs `ui` (null restores the real dialogs). The caller keeps ownership.
void SetModal(ModalUi* ui);

} // namespace ombrix
