// The editor: `ombrix [PUZZLE.omx]`.
#include "ombrix_app.h"

int main(int argc, char** argv) {
    ombrix::COmbrixApp app(argc, argv);
    if (!app.InitInstance()) return 1;
    return app.exec();
}
