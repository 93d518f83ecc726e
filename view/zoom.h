// The view's zoom steps: the whole layout drawn from half size to three
// times its size. Plain C++.
#pragma once

namespace ombrix {

inline constexpr double kZoomSteps[] = {0.5,  0.67, 0.75, 0.8, 0.9, 1.0, 1.1,
                                        1.25, 1.5,  1.75, 2.0, 2.5, 3.0};
inline constexpr double kZoomMin = 0.5;
inline constexpr double kZoomMax = 3.0;

// The next step above / below `zoom` (the ends stay where they are).
double ZoomIn(double zoom);
double ZoomOut(double zoom);
// `zoom` within 50 %..300 %; anything not a number becomes 100 %.
double ClampZoom(double zoom);

} // namespace ombrix
