// The printed page through Qt: real PDFs (one page, and the picture where the
// page drawing says, checked at 254 dpi, one pixel per 0.1 mm). (The print
// commands are run from the editor's menu in menu_print_test.cpp.)
#include "files_test_util.h" // EmptyBoard
#include "page_drawing.h"
#include "print_commands.h"
#include "qt_page_surface.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace ombrix {
namespace {

using testing::EmptyBoard;

// A grey picture; -1 outside it.
struct Picture {
    QImage image;
    int at(int x, int y) const { return image.valid(x, y) ? qGray(image.pixel(x, y)) : -1; }
};

// A PDF's first page at 254 dpi, one pixel per 0.1 mm.
Picture Render(const QString& pdf) {
    QProcess p;
    p.start("pdftoppm", {"-r", "254", "-gray", "-f", "1", "-l", "1", pdf});
    p.waitForFinished(60000);
    return {QImage::fromData(p.readAllStandardOutput(), "PGM")};
}

TEST(PdfPage, PictureLandsWhereThePageSaysAndALandscapeLetterPageHoldsTheLargestBoard) {
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    QTemporaryDir dir;
    Board b = EmptyBoard(17, 23);
    b.state(2, 3) = GivenBlack;
    b.state(5, 4) = 7;
    const QString path = dir.filePath("page.pdf");
    std::string error;
    ASSERT_TRUE(WritePuzzlePdf(b, path.toStdString(), error)) << error;
    Picture pic = Render(path);
    ASSERT_FALSE(pic.image.isNull());

    // The printable area starts at the 10 pt margin.
    const double margin = 10.0 / 72.0 * 254.0;
    auto px = [&](int pageX) { return int(std::lround(margin + pageX)); };
    auto py = [&](int pageY) { return int(std::lround(margin - pageY)); };
    // The darkest grey from page column x0 to x1 and row y0 to y1.
    auto darkest = [&](int x0, int x1, int y0, int y1) {
        int d = 255;
        for (int x = px(x0); x <= px(x1); ++x)
            for (int y = py(y0); y <= py(y1); ++y)
                d = std::min(d, pic.at(x, y));
        return d;
    };

    // The black cell is black inside, its white neighbour white inside.
    const PageRect black = PageCellRect(2, 3, 100);
    const PageRect white = PageCellRect(3, 3, 100);
    for (int dx : {10, 50, 90})
        for (int dy : {10, 50, 90}) {
            EXPECT_LT(pic.at(px(black.left + dx), py(black.top - dy)), 60) << dx << "," << dy;
            EXPECT_GT(pic.at(px(white.left + dx), py(white.top - dy)), 200) << dx << "," << dy;
        }
    // The frame: the left edge of column 1 is a dark line 0.2 mm wide, with
    // white either side 0.5 mm off.
    const PageRect first = PageCellRect(1, 1, 100); // left 200, top -400
    const int midY = py(first.top - 50);
    EXPECT_LT(darkest(first.left - 1, first.left + 1, first.top - 50, first.top - 50), 100);
    EXPECT_GT(pic.at(px(first.left) - 5, midY) + pic.at(px(first.left) + 5, midY), 400);

    // The clue 7 stands inside its cell from 33 right and 10 below its
    // corner: ink there, none in the cell's left third or its top 1 mm.
    const PageRect clue = PageCellRect(5, 4, 100);
    EXPECT_LT(darkest(clue.left + 33, clue.left + 90, clue.top - 10, clue.top - 90), 150);
    EXPECT_GT(darkest(clue.left + 5, clue.left + 30, clue.top - 5, clue.top - 95), 200);
    EXPECT_GT(darkest(clue.left + 5, clue.left + 95, clue.top - 5, clue.top - 9), 200);

    // The title's ink starts at (200, -150) and stays within a 10 mm line.
    EXPECT_LT(darkest(200, 800, -150, -250), 100);
    EXPECT_GT(darkest(200, 800, -100, -145), 200);

    // The largest board on a landscape Letter page; its far corner is ink.
    b = EmptyBoard(31, 45);
    b.state(31, 45) = GivenBlack;
    const QString landscape = dir.filePath("landscape.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(landscape);
    const QMarginsF margins(5, 5, 5, 5); // mm
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, margins,
                                      QPageLayout::Millimeter));
    ASSERT_TRUE(PrintPage(b, printer, nullptr));
    QFile file(landscape);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_EQ(pdf.count("/Type /Page") - pdf.count("/Type /Pages"), 1); // one page
    pic = Render(landscape);
    const QRectF page = QPageSize(QPageSize::Letter).rect(QPageSize::Millimeter).transposed();
    ASSERT_NEAR(pic.image.width(), page.width() * 10, 2);
    // The printable area in pixels of 0.1 mm.
    const QRect printable(50, 50, int(page.width() * 10) - 100, int(page.height() * 10) - 100);
    QRect ink; // the darkest pixels' bounding box
    for (int y = 0; y < pic.image.height(); ++y)
        for (int x = 0; x < pic.image.width(); ++x)
            if (pic.at(x, y) < 128) ink |= QRect(x, y, 1, 1);
    EXPECT_TRUE(printable.contains(ink)) << ink.right() << "," << ink.bottom() << " beyond "
                                         << printable.right() << "," << printable.bottom();
    // The board is as large as the page lets it be: 0.1 mm more pitch
    // would take its 46 steps down past the printable area.
    const int pitch = PageCellSizeFor(31, 45, {printable.width(), printable.height()}).pitch;
    EXPECT_LT(pitch, 50);
    EXPECT_NEAR(ink.bottom(), 50 + 300 + 46 * pitch, 2);
    EXPECT_GT(ink.bottom() + 46, printable.bottom());
}

// Bold is bold although the Mincho face has no bold weight: on a page of one
// pixel per 0.1 mm the bold strokes of "8" (one digit's font) and "46" (the
// narrow two-digit font) carry clearly more ink than the regular ones (a
// made-up bold as font renderers make it adds about 80 %). The made-up bold
// is an outline drawn the same way on every surface, a PDF's too.
TEST(PageText, BoldNumbersAreBold) {
    Picture page{QImage(600, 450, QImage::Format_RGB32)};
    page.image.fill(Qt::white);
    page.image.setDotsPerMeterX(10000); // 254 dpi
    page.image.setDotsPerMeterY(10000);
    {
        QPainter painter(&page.image);
        QtPageSurface surface(painter);
        for (int weight : {400, 700}) {
            const int x = weight == 400 ? 100 : 300;
            surface.text(x, -100, PageFont{kPageFontFace, 80, 0, weight, false}, kClueColour, "8");
            surface.text(x, -300, PageFont{kPageFontFace, 80, 40, weight, false}, kClueColour,
                         "46");
        }
    }
    auto ink = [&](int left, int top) {
        int n = 0;
        for (int y = top; y < top + 100; ++y)
            for (int x = left; x < left + 150; ++x)
                n += page.at(x, y) < 128;
        return n;
    };
    for (int top : {100, 300}) {
        const int regular = ink(90, top), bold = ink(290, top);
        EXPECT_GT(regular, 200) << top;
        EXPECT_GT(bold, regular * 16 / 10) << top << ": " << regular << " vs " << bold;
    }
}

} // namespace
} // namespace ombrix
