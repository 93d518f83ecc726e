// The printed page on a Qt paint device: a printer, a print preview, a PDF
// file or an image. Maps the page's 0.1 mm units, y growing upwards from the
// top-left corner of the printable area, onto the device.
#pragma once

#include "page_drawing.h"

#include <QByteArray>
#include <QFont>
#include <QString>
#include <QTransform>

#include <string>
#include <utility>
#include <vector>

class QPainter;

namespace ombrix {

class QtPageSurface : public PageSurface {
  public:
    // `painter` is active on the page's device, its origin at the top-left
    // corner of the printable area (as QPainter has it on a QPrinter or a
    // QPdfWriter). The painter's state is restored when the surface goes.
    explicit QtPageSurface(QPainter& painter);
    ~QtPageSurface() override;
    QtPageSurface(const QtPageSurface&) = delete;
    QtPageSurface& operator=(const QtPageSurface&) = delete;

    void rectangle(const PageRect& r, const PagePen& pen, PageColour fill) override;
    void text(int x, int y, const PageFont& font, PageColour colour,
              std::string_view text) override;

    // The Qt font for a page font: the Windows Mincho face maps onto an
    // installed Mincho, the height is the pixel size in page units, and a
    // width stretches the face so that a digit is that wide.
    static QFont fontFor(const PageFont& font);

    // Whether a bold page font is drawn with a made-up bold (the outline
    // widened by a stroke) because the installed face has no bold weight.
    static bool needsSyntheticBold(const PageFont& font);

    // The device's whole paintable area (the printable area on a printer)
    // in page units.
    PageArea printableArea() const;

  private:
    struct CachedFont {
        PageFont key;
        QFont font;
        bool synthetic; // bold made by stroking the regular outline
    };
    const CachedFont& cachedFont(const PageFont& font);

    QPainter& painter_;
    QTransform base_;              // the painter's transform when the surface began
    double unitX_ = 1, unitY_ = 1; // device pixels per 0.1 mm
    std::vector<CachedFont> fonts_;
};

// The view's page drawing: `board` on the painter's page, its cells made
// smaller where the page's printable area (landscape, wide margins) cannot
// hold them at their usual size.
void PaintPuzzlePage(const Board& board, QPainter& painter);

// `board` as a one-page A4 PDF, drawn in memory; empty if it cannot be drawn.
QByteArray PuzzlePdf(const Board& board);

// Writes PuzzlePdf(board) at `path` (bytes, as the system takes them) through
// the safe writer: `path` is replaced only when the new file is complete. On
// failure returns false with a message naming the file and the reason;
// `path` is then as it was.
bool WritePuzzlePdf(const Board& board, const std::string& path, std::string& error);

} // namespace ombrix
