#pragma once
// Where the user interface puts its windows: plain arithmetic on rectangles,
// apart from the calls that measured them.
#include <windows.h>

namespace kanne {

// The splash window's top-left corner: centred in the full-screen client
// area, with signed division truncating toward zero (a bitmap larger than
// the area gets negative coordinates).
POINT splashOrigin(int fullScreenWidth, int fullScreenHeight, int bitmapWidth, int bitmapHeight);

// A window of `size` centred on `reference`: its left edge is the
// reference's middle minus half its width; an edge left of the work area
// becomes the work area's, else a window reaching past the work area's right
// edge is moved back to end there. The same vertically.
POINT centredOrigin(SIZE size, const RECT& reference, const RECT& workArea);

// Where a control at `placed` goes when the control at `grown` becomes
// `extra` pixels taller: a control starting at or below its bottom edge
// moves down, one around it (a group box, or the control itself) grows at
// the bottom, and any other stays. All in the dialog's client coordinates.
RECT roomMadeFor(const RECT& placed, const RECT& grown, int extra);

} // namespace kanne
