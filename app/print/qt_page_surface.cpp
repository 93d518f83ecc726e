// Page units to device pixels: x scaled by dpiX / 254, y by -dpiY / 254. Text
// is not drawn through that mirrored transform (it would come out upside
// down): its origin is mapped, and the glyphs are drawn from there with a
// y-down scale of the same size.
#include "qt_page_surface.h"

#include "safe_write.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <mutex>

namespace ombrix {

namespace {

// 0.1 mm per inch.
constexpr double kUnitsPerInch = 254.0;

// The installed face that stands in for the Windows Mincho face.
constexpr const char* kInstalledMincho = "IPAMincho";

void SubstituteFaces() {
    static std::once_flag once;
    std::call_once(once, [] {
        QFont::insertSubstitution(QString::fromUtf8(kPageFontFace),
                                  QString::fromLatin1(kInstalledMincho));
    });
}

QColor ToQColor(PageColour c) {
    return QColor(c.red, c.green, c.blue);
}

} // namespace

QtPageSurface::QtPageSurface(QPainter& painter) : painter_(painter) {
    SubstituteFaces();
    painter_.save();
    base_ = painter_.transform();
    const QPaintDevice* device = painter_.device();
    unitX_ = device->logicalDpiX() / kUnitsPerInch;
    unitY_ = device->logicalDpiY() / kUnitsPerInch;
}

QtPageSurface::~QtPageSurface() {
    painter_.restore();
}

QFont QtPageSurface::fontFor(const PageFont& font) {
    SubstituteFaces();
    QFont f(QString::fromStdString(font.face));
    f.setPixelSize(font.height > 0 ? font.height : 1);
    f.setWeight(QFont::Weight(font.weight));
    f.setItalic(font.italic);
    f.setKerning(false);
    if (font.width > 0) {
        const qreal digit = QFontMetricsF(f).horizontalAdvance(QLatin1Char('0'));
        if (digit > 0) f.setStretch(qBound(1, qRound(100.0 * font.width / digit), 4000));
    }
    return f;
}

const QFont& QtPageSurface::cachedFont(const PageFont& font) {
    for (const auto& [key, qfont] : fonts_)
        if (key == font) return qfont;
    fonts_.emplace_back(font, fontFor(font));
    return fonts_.back().second;
}

void QtPageSurface::rectangle(const PageRect& r, const PagePen& pen, PageColour fill) {
    painter_.setTransform(QTransform::fromScale(unitX_, -unitY_) * base_);
    QPen qpen(ToQColor(pen.colour));
    qpen.setWidthF(pen.width); // 0: cosmetic, one device pixel
    qpen.setJoinStyle(Qt::MiterJoin);
    painter_.setPen(qpen);
    painter_.setBrush(ToQColor(fill));
    painter_.drawRect(QRectF(r.left, r.bottom, r.right - r.left, r.top - r.bottom));
}

void QtPageSurface::text(int x, int y, const PageFont& font, PageColour colour,
                         std::string_view text) {
    const QFont& qfont = cachedFont(font);
    // Glyphs y-down from the mapped origin, one page unit per font pixel.
    painter_.setTransform(QTransform::fromScale(unitX_, unitY_) *
                          QTransform::fromTranslate(x * unitX_, -y * unitY_) * base_);
    painter_.setFont(qfont);
    painter_.setPen(ToQColor(colour));
    const qreal ascent = QFontMetricsF(qfont).ascent();
    painter_.drawText(QPointF(0, ascent), QString::fromUtf8(text.data(), qsizetype(text.size())));
}

void PaintPuzzlePage(const Board& board, QPainter& painter) {
    QtPageSurface surface(painter);
    DrawPuzzlePage(board, surface);
}

QByteArray PuzzlePdf(const Board& board) {
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    // The same page a print dialog offers for PDF: A4, 10 pt margins.
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(10, 10, 10, 10), QPageLayout::Point));
    writer.setCreator(QStringLiteral("Ombrix"));
    writer.setTitle(
        QString::fromUtf8(board.ruleSet == RuleSetOmbrix ? kPageTitleOmbrix : kPageTitleTandrel));
    QPainter painter;
    if (!painter.begin(&writer)) return {};
    PaintPuzzlePage(board, painter);
    painter.end();
    return pdf;
}

bool WritePuzzlePdf(const Board& board, const std::string& path, std::string& error) {
    const QByteArray pdf = PuzzlePdf(board);
    if (pdf.isEmpty()) {
        error = "cannot save " + path + ": the PDF page could not be drawn";
        return false;
    }
    return WriteFileAtomically(
        path, {reinterpret_cast<const std::uint8_t*>(pdf.constData()), std::size_t(pdf.size())},
        error);
}

} // namespace ombrix
