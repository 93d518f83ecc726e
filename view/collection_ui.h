// "問題集": the puzzles shipped with the program, listed by rule set, size
// and grade; the one chosen is opened as a new, untitled puzzle (so that
// saving never writes over the collection).
#pragma once

#include "collection.h"

#include <QDialog>
#include <QString>

#include <vector>

class QListWidget;

namespace ombrix {

class COmbrixView;

// The folder holding seeds.txt and the puzzles: installed beside the
// program (../share/ombrix/collection from its folder), or else the source
// tree's res/collection. Empty when neither has a seed list.
QString CollectionFolder();

class CCollectionDlg : public QDialog {
    Q_OBJECT
  public:
    CCollectionDlg(const std::vector<CollectionEntry>& entries, QWidget* parent = nullptr);
    QListWidget* list() const { return list_; }
    // The entry chosen, or -1.
    int chosen() const;

  private:
    QListWidget* list_;
};

// Runs the whole command on the view (from inside the view's Perform).
void OpenFromCollection(COmbrixView& view);

} // namespace ombrix
