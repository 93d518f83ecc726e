// Draws the editor's sprite sheet (273 x 757, standard 16-colour palette) and
// its 32 x 32 icon with QPainter, every picture at the source rectangle the
// view copies it from. The output PNGs are committed under res/ and embedded,
// so the editor's look does not depend on the fonts of the machine it runs on.
//
//   make_sprites OUTDIR     writes OUTDIR/sprites.png and OUTDIR/ombrix.png
#include "layout.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <cstdlib>

namespace {

using ombrix::SpriteRect;
namespace sp = ombrix::sprites;

// The standard 16-colour palette.
const QRgb kPalette[16] = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
};
const QColor kBlack(kPalette[0]), kGreen(kPalette[2]), kNavy(kPalette[4]), kTeal(kPalette[6]),
    kSilver(kPalette[7]), kGray(kPalette[8]), kRed(kPalette[9]), kLime(kPalette[10]),
    kYellow(kPalette[11]), kBlue(kPalette[12]), kAqua(kPalette[14]), kWhite(kPalette[15]);

QFont Font(const char* family, int pixels, bool bold) {
    QFont f(QString::fromUtf8(family));
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

QRect R(const SpriteRect& r) {
    return QRect(r.x, r.y, r.w, r.h);
}

// A 28 x 28 tile: black 1-pixel frame round a square of `face`.
void Tile(QPainter& p, int x, int y, const QColor& face) {
    p.fillRect(x, y, 28, 28, kBlack);
    p.fillRect(x + 1, y + 1, 26, 26, face);
}

// Numbers 1..20 in the first column, 21..48 in the second: the bar offers
// up to 40, and clues 41..48 from a file are drawn like the others.
void NumberColumn(QPainter& p, sp::Colour colour, const QColor& ink, const QColor& face) {
    p.setFont(Font("IPAGothic", 19, true));
    for (int k = 1; k <= sp::kMaxNumber; ++k) {
        const SpriteRect r = sp::Number(colour, k);
        Tile(p, r.x, r.y, face);
        p.setPen(ink);
        p.drawText(QRect(r.x + 1, r.y + 1, 26, 26), Qt::AlignCenter, QString::number(k));
    }
}

// A raised push button with its caption.
void Button(QPainter& p, const SpriteRect& s, const QColor& face, const QColor& ink,
            const char* text) {
    const QRect r = R(s);
    p.fillRect(r, kBlack);
    p.fillRect(r.adjusted(0, 0, -1, -1), kWhite);
    p.fillRect(r.adjusted(1, 1, -1, -1), kGray);
    p.fillRect(r.adjusted(1, 1, -2, -2), face);
    p.setFont(Font("IPAGothic", 14, true));
    p.setPen(ink);
    p.drawText(r.adjusted(1, 1, -2, -2), Qt::AlignCenter, QString::fromUtf8(text));
}

void ModeLabel(QPainter& p, const SpriteRect& s, bool edit, const char* text) {
    const QRect r = R(s);
    p.fillRect(r, kTeal);
    if (edit) {
        p.setFont(Font("IPAGothic", 20, true));
        p.setPen(kYellow);
        p.drawText(QRect(r.x() + 1, r.y(), 20, 22), Qt::AlignCenter, QStringLiteral("?"));
    } else {
        // A red pencil, point down to the left.
        QPainterPath pencil;
        const int x = r.x() + 3, y = r.y() + 2;
        pencil.moveTo(x + 2, y + 18);
        pencil.lineTo(x + 4, y + 12);
        pencil.lineTo(x + 14, y + 1);
        pencil.lineTo(x + 18, y + 5);
        pencil.lineTo(x + 7, y + 16);
        pencil.closeSubpath();
        p.fillPath(pencil, kRed);
        p.setPen(kBlack);
        p.drawLine(x + 2, y + 18, x + 4, y + 16);
    }
    p.setFont(Font("IPAGothic", 14, true));
    p.setPen(kWhite);
    p.drawText(QRect(r.x() + 24, r.y(), 76, 22), Qt::AlignVCenter | Qt::AlignLeft,
               QString::fromUtf8(text));
}

void Banner(QPainter& p, const SpriteRect& s, const char* name) {
    const QRect r = R(s);
    p.fillRect(r, kTeal);
    p.setPen(kWhite);
    p.setFont(Font("IPAGothic", 16, true));
    p.drawText(r.adjusted(4, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
               QString::fromUtf8("簡易") + QString::fromUtf8(name));
}

QImage ToPalette(const QImage& img) {
    QList<QRgb> table(std::begin(kPalette), std::end(kPalette));
    return img.convertToFormat(QImage::Format_Indexed8, table,
                               Qt::ThresholdDither | Qt::AvoidDither);
}

QImage Sheet() {
    QImage img(sp::kSheetWidth, sp::kSheetHeight, QImage::Format_RGB32);
    img.fill(kTeal);
    QPainter p(&img);
    NumberColumn(p, sp::Colour::Clue, kBlue, kWhite);
    NumberColumn(p, sp::Colour::Selection, kRed, kAqua);
    NumberColumn(p, sp::Colour::Solve, kGreen, kWhite);
    Button(p, sp::kButtonToSolve, kBlue, kWhite, "解答モードへ");
    Button(p, sp::kButtonToEdit, kBlue, kWhite, "作成モードへ");
    Button(p, sp::kButtonRestart, kLime, kRed, "最初に戻る");
    Button(p, sp::kButtonClearAll, kRed, kWhite, "全クリア");
    Button(p, sp::kButtonUndo, kGreen, kWhite, "1つ戻る");
    Button(p, sp::kButtonAutoSolve, kYellow, kBlue, "自動解答");
    ModeLabel(p, sp::kLabelEdit, true, "作成モード");
    ModeLabel(p, sp::kLabelSolve, false, "解答モード");
    Tile(p, sp::kTileWhiteDot.x, sp::kTileWhiteDot.y, kWhite);
    p.setFont(Font("IPAGothic", 19, true));
    p.setPen(kGreen);
    p.drawText(QRect(sp::kTileWhiteDot.x + 1, sp::kTileWhiteDot.y + 1, 26, 26), Qt::AlignCenter,
               QStringLiteral("?"));
    Tile(p, sp::kTileEmpty.x, sp::kTileEmpty.y, kWhite);
    p.fillRect(R(sp::kTileBlack), kBlack);
    Banner(p, sp::kBannerOmbrix, "Ombrix");
    Banner(p, sp::kBannerTandrel, "Tandrel");
    p.end();
    return ToPalette(img);
}

// Digits of the icon, 5 x 7 pixels each.
const char* const kDigits[3][7] = {
    {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}, // 2
    {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}, // 3
    {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}, // 1
};

QImage Icon() {
    QImage img(32, 32, QImage::Format_RGB32);
    img.fill(kBlack);
    QPainter p(&img);
    // Six white squares set apart like the cells of a tiny puzzle; three
    // hold the digits 2, 3 and 1.
    const int xs[3] = {2, 12, 22}, ys[2] = {6, 17};
    int digit = 0;
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col) {
            p.fillRect(xs[col], ys[row], 9, 9, kWhite);
            const bool holds = (row == 0 && col != 1) || (row == 1 && col == 1);
            if (!holds) continue;
            for (int dy = 0; dy < 7; ++dy)
                for (int dx = 0; dx < 5; ++dx)
                    if (kDigits[digit][dy][dx] == '#')
                        p.fillRect(xs[col] + 2 + dx, ys[row] + 1 + dy, 1, 1, kBlue);
            ++digit;
        }
    p.end();
    return ToPalette(img);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sprites OUTDIR\n");
        return 1;
    }
    if (!QFontDatabase::families().contains(QStringLiteral("IPAGothic"))) {
        std::fprintf(stderr, "make_sprites: the IPAGothic font is not installed\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!Sheet().save(dir + QStringLiteral("/sprites.png")) ||
        !Icon().save(dir + QStringLiteral("/ombrix.png"))) {
        std::fprintf(stderr, "make_sprites: cannot write into %s\n", argv[1]);
        return 2;
    }
    return 0;
}
