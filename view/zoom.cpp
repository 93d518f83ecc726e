#include "zoom.h"

#include <algorithm>
#include <cmath>

namespace ombrix {

double ZoomIn(double zoom) {
    for (double step : kZoomSteps)
        if (step > zoom + 1e-6) return step;
    return kZoomMax;
}

double ZoomOut(double zoom) {
    double below = kZoomMin;
    for (double step : kZoomSteps)
        if (step < zoom - 1e-6) below = step;
    return below;
}

double ClampZoom(double zoom) {
    if (!std::isfinite(zoom)) return 1.0;
    return std::clamp(zoom, kZoomMin, kZoomMax);
}

} // namespace ombrix
