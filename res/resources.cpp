#include "resources.h"

#include <QtCore/qglobal.h>
#include <QtCore/qresource.h>

// Q_INIT_RESOURCE must stand outside any namespace.
void InitOmbrixResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(ombrix);
        return true;
    }();
    (void)done;
}
