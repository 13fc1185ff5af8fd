#include "ui/WindowLayout.h"

namespace kanne {

POINT splashOrigin(int fullScreenWidth, int fullScreenHeight, int bitmapWidth, int bitmapHeight)
{
    return {(fullScreenWidth - bitmapWidth) / 2, (fullScreenHeight - bitmapHeight) / 2};
}

namespace {
LONG centredEdge(LONG length, LONG referenceFirst, LONG referenceLast, LONG workFirst, LONG workLast)
{
    LONG edge = referenceFirst + (referenceLast - referenceFirst) / 2 - length / 2;
    if (edge < workFirst)
        return workFirst;
    if (edge + length > workLast)
        return workLast - length;
    return edge;
}
} // namespace

POINT centredOrigin(SIZE size, const RECT& reference, const RECT& workArea)
{
    return {centredEdge(size.cx, reference.left, reference.right, workArea.left, workArea.right),
            centredEdge(size.cy, reference.top, reference.bottom, workArea.top, workArea.bottom)};
}

RECT roomMadeFor(const RECT& placed, const RECT& grown, int extra)
{
    RECT result = placed;
    if (placed.top >= grown.bottom) {
        result.top += extra;
        result.bottom += extra;
    } else if (placed.left <= grown.left && placed.right >= grown.right && placed.top <= grown.top &&
               placed.bottom >= grown.bottom) {
        result.bottom += extra;
    }
    return result;
}

} // namespace kanne
