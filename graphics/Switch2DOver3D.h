// Build switch: screen drawing turned into OpenGL ES 1.x geometry (off in this build; a test target
// builds the graphics again with it on).
#pragma once

#ifndef _ATTEMPTS_2D_OVER_3D
#define _ATTEMPTS_2D_OVER_3D 0
#endif
