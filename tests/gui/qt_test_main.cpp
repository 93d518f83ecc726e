// main() of the GUI and printing test binaries: a headless QApplication with exact pixels
// (offscreen platform, device pixel ratio 1) around GoogleTest.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    qunsetenv("QT_FONT_DPI");
    qunsetenv("QT_AUTO_SCREEN_SCALE_FACTOR");
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Ombrix"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
