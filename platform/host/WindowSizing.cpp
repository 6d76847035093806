#include "platform/host/WindowSizing.h"

#include <algorithm>

namespace platform {

WindowSizing chooseWindowSize(int widthPoints, int heightPoints, int pixelsPerPoint, int desktopWidth,
                              int desktopHeight) {
    const long long wantedWidth = static_cast<long long>(widthPoints) * pixelsPerPoint;
    const long long wantedHeight = static_cast<long long>(heightPoints) * pixelsPerPoint;
    const bool known = desktopWidth > 0 && desktopHeight > 0;
    if (!known || (wantedWidth <= desktopWidth && wantedHeight <= desktopHeight)) {
        return {static_cast<int>(wantedWidth), static_cast<int>(wantedHeight),
                static_cast<double>(pixelsPerPoint), false};
    }
    const int whole = std::min(desktopWidth / widthPoints, desktopHeight / heightPoints);
    if (whole >= 1) return {widthPoints * whole, heightPoints * whole, static_cast<double>(whole), true};
    const double fraction = std::min(static_cast<double>(desktopWidth) / widthPoints,
                                     static_cast<double>(desktopHeight) / heightPoints);
    return {std::max(1, static_cast<int>(widthPoints * fraction)),
            std::max(1, static_cast<int>(heightPoints * fraction)), fraction, true};
}

}  // namespace platform
