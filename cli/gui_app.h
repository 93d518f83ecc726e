// Qt's GUI module for a command-line subcommand that draws (render, print):
// on the offscreen platform unless the caller chose one, so no display is
// needed.
#pragma once

#include <QGuiApplication>

namespace ombrix::cli {

class CliGuiApplication {
  public:
    CliGuiApplication() : app_((setPlatform(), argc_), argv_) {}

  private:
    static void setPlatform() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    inline static char name_[] = "ombrix-cli";
    inline static char* argv_[] = {name_, nullptr};
    int argc_ = 1;
    QGuiApplication app_;
};

} // namespace ombrix::cli
