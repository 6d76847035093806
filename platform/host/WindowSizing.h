// The window's size on the desktop: one frame pixel per window pixel at zoom 1 (points x scale x
// zoom), made smaller only when the desktop cannot hold it. Kept apart from the SDL host so the choice
// can be checked for any desktop.
#pragma once

namespace platform {

struct WindowSizing {
    int width = 0;
    int height = 0;
    // Window pixels per point; below 1 (and not whole) only when the desktop is smaller than the points.
    double pixelsPerPoint = 1;
    // Smaller than asked for, because the desktop is.
    bool shrunk = false;
};

// The window for a screen of widthPoints x heightPoints points at pixelsPerPoint (scale x zoom) on a
// desktop of desktopWidth x desktopHeight usable pixels (0 or less: unknown, taken as large enough).
// When the desktop is too small the window keeps a whole number of window pixels per point, the
// largest that fits, or, when not even one fits, the largest size of the screen's shape that does.
WindowSizing chooseWindowSize(int widthPoints, int heightPoints, int pixelsPerPoint, int desktopWidth,
                              int desktopHeight);

}  // namespace platform
