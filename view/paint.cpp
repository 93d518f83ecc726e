#include "paint.h"

#include "resources.h"
#include "status_text.h"

#include <QPainter>

namespace ombrix {
namespace {

const QColor kTeal(0, 128, 128);
const QColor kYellow(255, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kCursor(255, 128, 0);
const QColor kBlue(0, 0, 255);

// A 2-pixel outline just inside the cell's frame lines, `inset` pixels in.
void OutlineCell(QPainter& p, const Layout& l, int x, int y, const QColor& colour, int inset) {
    p.setPen(QPen(colour, 2));
    p.setBrush(Qt::NoBrush);
    const int size = 27 - 2 * inset;
    p.drawRect(QRect(l.cellLeft(x) + inset, l.cellTop(y) + inset, size, size));
}

void Blit(QPainter& p, int x, int y, const SpriteRect& r) {
    p.drawImage(QPoint(x, y), SpriteSheet(), QRect(r.x, r.y, r.w, r.h));
}

// A rectangle outlined with the 2-pixel teal pen and filled teal: the pen's
// width is centred on the outline, so it covers (left - 1, top - 1) up to and
// including (right - 1, bottom - 1).
void TealBand(QPainter& p, const LayoutRect& r) {
    p.fillRect(QRect(r.left - 1, r.top - 1, r.width() + 1, r.height() + 1), kTeal);
}

} // namespace

const QImage& SpriteSheet() {
    static const QImage sheet = [] {
        InitOmbrixResources();
        return QImage(QStringLiteral(":/ombrix/sprites.png")).convertToFormat(QImage::Format_RGB32);
    }();
    return sheet;
}

const QImage& AppIcon() {
    static const QImage icon = [] {
        InitOmbrixResources();
        return QImage(QStringLiteral(":/ombrix/ombrix.png"));
    }();
    return icon;
}

QFont StatusFont() {
    QFont f(QStringLiteral("IPAGothic"));
    f.setPixelSize(16);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

namespace {

// The status code's message, or a text of the window's own in its place
// (except for the solver's waiting message), yellow on teal.
void PaintStatusLine(QPainter& p, const Board& board, const BoardMarks* marks) {
    const bool ownText = marks && !marks->statusText.empty() && board.status != StatusSolving;
    const std::string_view message =
        ownText ? std::string_view(marks->statusText) : StatusMessage(board.status);
    if (message.empty()) return;
    p.setFont(StatusFont());
    p.setPen(kYellow);
    p.setBackground(kTeal);
    p.setBackgroundMode(Qt::OpaqueMode);
    const QString text = QString::fromUtf8(message.data(), static_cast<int>(message.size()));
    const QFontMetrics fm(p.font());
    // Opaque background: the box of the text, trailing spaces included.
    const QRect box(kStatusTextX, kStatusTextY, fm.horizontalAdvance(text), fm.height());
    p.fillRect(box, kTeal);
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    p.setBackgroundMode(Qt::TransparentMode);
}

// The number bar: one strip of the first column, and for more than 20
// numbers the whole first column and a strip of the second below it; then
// the selected entry.
void PaintBar(QPainter& p, const Layout& l, const UiState& ui) {
    const auto colour = ui.phase == PhaseEdit ? sprites::Colour::Clue : sprites::Colour::Solve;
    const int n = l.n;
    if (n <= 20) {
        Blit(p, l.barLeft(), 50, {sprites::ColumnLeft(colour, false), 0, 28, 27 * n + 1});
    } else {
        Blit(p, l.barLeft(), 50, {sprites::ColumnLeft(colour, false), 0, 28, 541});
        Blit(p, l.barLeft(), 590, {sprites::ColumnLeft(colour, true), 0, 28, 27 * (n - 20) + 1});
    }
    const int s = ui.selectedNumber;
    if (s >= 1 && s <= 40) {
        SpriteRect sel = sprites::Number(sprites::Colour::Selection, s);
        sel.w = sel.h = 27;
        Blit(p, l.barLeft(), l.barEntryTop(s), sel);
    }
}

// What is drawn over the cells: the circle of a second solution, the
// window's cursor, and its red and blue outlines.
void PaintOverlays(QPainter& p, const Layout& l, const Board& board, const BoardMarks* marks) {
    // The circled cell is not stored in a puzzle file: circle it only when
    // it is a cell of the board.
    const int ax = static_cast<int>(board.altCellX), ay = static_cast<int>(board.altCellY);
    if (board.status == StatusSecondSolution && board.isPlayable(ax, ay)) {
        const LayoutRect c = Layout::circleBox(ax, ay);
        p.setPen(QPen(kRed, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRect(c.left, c.top, c.width() - 1, c.height() - 1));
    }
    if (!marks) return;
    if (marks->cursorShown && board.isPlayable(marks->cursorX, marks->cursorY))
        OutlineCell(p, l, marks->cursorX, marks->cursorY, kCursor, 5);
    for (const auto& [x, y] : marks->redCells)
        if (board.isPlayable(x, y)) OutlineCell(p, l, x, y, kRed, 1);
    for (const auto& [x, y] : marks->blueCells)
        if (board.isPlayable(x, y)) OutlineCell(p, l, x, y, kBlue, 1);
}

} // namespace

void PaintBoard(QPainter& p, const Board& board, const UiState& ui, const BoardMarks* marks) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const Layout l(board, ui);
    for (int i = 0; i < Layout::kBandCount; ++i)
        TealBand(p, l.band(i));
    Blit(p, kBannerX, kBannerY,
         board.ruleSet == RuleSetOmbrix ? sprites::kBannerOmbrix : sprites::kBannerTandrel);
    PaintStatusLine(p, board, marks);
    for (int x = 1; x <= l.W; ++x)
        for (int y = 1; y <= l.H; ++y) {
            SpriteRect r;
            if (sprites::ForCell(board.state(x, y), r)) Blit(p, l.cellLeft(x), l.cellTop(y), r);
        }
    PaintBar(p, l, ui);
    const sprites::PhasePictures pics = sprites::ForPhase(ui.phase);
    if (pics.hasButtons) {
        Blit(p, l.buttonLeft(), Layout::kLowerButtonTop, pics.lower);
        Blit(p, l.buttonLeft(), Layout::kUpperButtonTop, pics.upper);
    }
    Blit(p, l.buttonLeft(), Layout::kLabelTop, pics.label);
    PaintOverlays(p, l, board, marks);
    p.restore();
}

QImage RenderLayout(const Board& board, const UiState& ui) {
    const Layout l(board, ui);
    QImage image(l.scrollWidth(), l.scrollHeight(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    PaintBoard(p, board, ui);
    p.end();
    return image;
}

} // namespace ombrix
