// Page units to device pixels: x scaled by dpiX / 254, y by -dpiY / 254. Text
// is not drawn through that mirrored transform (it would come out upside
// down): its origin is mapped, and the glyphs are drawn from there with a
// y-down scale of the same size.
#include "qt_page_surface.h"

#include "safe_write.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <mutex>

namespace ombrix {

namespace {

// 0.1 mm per inch.
constexpr double kUnitsPerInch = 254.0;

// The installed face that stands in for the Windows Mincho face.
constexpr const char* kInstalledMincho = "IPAMincho";

constexpr int kRegularWeight = 400;
// Width of the stroke of a made-up bold, as a part of the font's height.
constexpr qreal kSyntheticBoldDivisor = 24.0;

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

bool QtPageSurface::needsSyntheticBold(const PageFont& font) {
    if (font.weight < QFont::DemiBold) return false;
    // Asked for bold, the font database gives the nearest weight the family
    // has; a family without a bold face resolves to its regular one.
    const QString family = QFontInfo(fontFor(font)).family();
    for (const QString& style : QFontDatabase::styles(family))
        if (QFontDatabase::weight(family, style) >= QFont::DemiBold) return false;
    return true;
}

const QtPageSurface::CachedFont& QtPageSurface::cachedFont(const PageFont& font) {
    for (const CachedFont& c : fonts_)
        if (c.key == font) return c;
    const bool synthetic = needsSyntheticBold(font);
    PageFont regular = font;
    if (synthetic) regular.weight = kRegularWeight;
    fonts_.push_back({font, fontFor(regular), synthetic});
    return fonts_.back();
}

PageArea QtPageSurface::printableArea() const {
    const QPaintDevice* device = painter_.device();
    return {int(device->width() / unitX_), int(device->height() / unitY_)};
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
    const CachedFont& cached = cachedFont(font);
    // Glyphs y-down from the mapped origin, one page unit per font pixel.
    painter_.setTransform(QTransform::fromScale(unitX_, unitY_) *
                          QTransform::fromTranslate(x * unitX_, -y * unitY_) * base_);
    const QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    const qreal ascent = QFontMetricsF(cached.font).ascent();
    if (!cached.synthetic) {
        painter_.setFont(cached.font);
        painter_.setPen(ToQColor(colour));
        painter_.drawText(QPointF(0, ascent), s);
        return;
    }
    // A made-up bold as the font renderers make it: the regular outline
    // widened by a twenty-fourth of the font's height, half on each side.
    // As a path it looks the same on a printer, in a preview and in a PDF.
    QPainterPath path;
    path.addText(QPointF(0, ascent), cached.font, s);
    QPen pen(ToQColor(colour), font.height / kSyntheticBoldDivisor);
    pen.setJoinStyle(Qt::RoundJoin);
    painter_.setPen(pen);
    painter_.setBrush(ToQColor(colour));
    // Smooth edges like the glyphs of drawn text on a preview's screen.
    const bool smooth = painter_.testRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.drawPath(path);
    painter_.setRenderHint(QPainter::Antialiasing, smooth);
}

void PaintPuzzlePage(const Board& board, QPainter& painter) {
    QtPageSurface surface(painter);
    DrawPuzzlePage(board, surface, surface.printableArea());
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
