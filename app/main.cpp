// The editor: `ombrix [--help] [--version] [PUZZLE]` (a .omx puzzle file or
// grid text).
#include "main_args.h"
#include "ombrix_app.h"

#include <cstdio>

int main(int argc, char** argv) {
    ombrix::COmbrixApp app(argc, argv);
    const ombrix::EditorCommandLine line = ombrix::ParseEditorCommandLine(app.arguments());
    if (line.exit) {
        std::fputs(line.out.toLocal8Bit().constData(), stdout);
        std::fputs(line.err.toLocal8Bit().constData(), stderr);
        return line.exitCode;
    }
    if (!app.InitInstance(line.puzzlePath)) return 1;
    return app.exec();
}
