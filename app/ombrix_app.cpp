#include "ombrix_app.h"

#include "dialog_template.h"
#include "main_frame.h"
#include "ombrix_view.h"
#include "version.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ombrix {

COmbrixApp::COmbrixApp(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(QStringLiteral("Ombrix"));
    setApplicationName(QStringLiteral("Ombrix"));
    setApplicationVersion(QStringLiteral(OMBRIX_VERSION));
    setDesktopFileName(QStringLiteral("ombrix"));
}

COmbrixApp::~COmbrixApp() = default;

bool COmbrixApp::InitInstance(const QString& path) {
    InstallFontSubstitutions();
    QFont font = DialogFont();
    setFont(font);
    // Qt's own dialogs (file dialogs, message boxes) in Japanese.
    auto* qt = new QTranslator(this);
    if (qt->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(qt);

    frame_ = std::make_unique<CMainFrame>(board_, ui_);
    frame_->Start(path);
    return true;
}

} // namespace ombrix
