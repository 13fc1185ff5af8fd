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

} // namespace kanne
