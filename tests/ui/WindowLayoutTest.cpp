#include "ui/WindowLayout.h"

#include <gtest/gtest.h>

namespace kanne {

TEST(SplashOrigin, CentresInTheFullScreenAreaTruncatingTowardZero)
{
    struct Case {
        int fullWidth, fullHeight, bitmapWidth, bitmapHeight;
        LONG x, y;
    };
    const Case cases[] = {
        {1024, 742, 400, 300, 312, 221},
        {1023, 742, 400, 300, 311, 221},   // 311.5 truncated
        {1280, 1004, 1280, 1004, 0, 0},
        {1280, 1004, 1601, 1205, -160, -100}, // -160.5 and -100.5 truncated toward zero
        {1280, 1004, 1, 1, 639, 501},
    };
    for (const Case& c : cases) {
        POINT origin = splashOrigin(c.fullWidth, c.fullHeight, c.bitmapWidth, c.bitmapHeight);
        EXPECT_EQ(origin.x, c.x) << c.fullWidth << "x" << c.fullHeight << " " << c.bitmapWidth << "x" << c.bitmapHeight;
        EXPECT_EQ(origin.y, c.y) << c.fullWidth << "x" << c.fullHeight << " " << c.bitmapWidth << "x" << c.bitmapHeight;
    }
}

TEST(CentredOrigin, CentresOnTheReferenceAndStaysInTheWorkArea)
{
    struct Case {
        const char* name;
        SIZE size;
        RECT reference;
        RECT workArea;
        LONG x, y;
    };
    const RECT screen{0, 0, 1280, 994};
    const Case cases[] = {
        {"on the work area", {330, 260}, screen, screen, 475, 367},
        {"odd sizes use integer halves", {331, 261}, {0, 0, 1281, 995}, screen, 475, 367},
        {"on an owner", {330, 260}, {100, 100, 500, 400}, screen, 135, 120},
        {"owner near the left edge", {330, 260}, {-300, 10, 100, 200}, screen, 0, 0},
        {"owner near the right edge", {330, 260}, {1100, 800, 1400, 1000}, screen, 950, 734},
        {"work area not at the origin", {100, 100}, {0, 0, 100, 100}, {200, 30, 800, 600}, 200, 30},
        {"larger than the work area", {1400, 1100}, screen, screen, 0, 0},
    };
    for (const Case& c : cases) {
        POINT origin = centredOrigin(c.size, c.reference, c.workArea);
        EXPECT_EQ(origin.x, c.x) << c.name;
        EXPECT_EQ(origin.y, c.y) << c.name;
    }
}

TEST(RoomMadeFor, MovesWhatLiesBelowAndGrowsWhatSurroundsTheGrownControl)
{
    const RECT grown{66, 39, 287, 80}; // the message at 96 DPI, 11 pixels short
    struct Case {
        const char* name;
        RECT placed;
        RECT expected;
    };
    const Case cases[] = {
        {"the grown control itself", grown, {66, 39, 287, 91}},
        {"the group box around it", {12, 18, 317, 185}, {12, 18, 317, 196}},
        {"the link right below", {66, 89, 179, 102}, {66, 100, 179, 113}},
        {"a control starting at its bottom edge", {12, 80, 50, 90}, {12, 91, 50, 101}},
        {"the icon beside it", {24, 42, 56, 74}, {24, 42, 56, 74}},
        {"a control beside it reaching below", {290, 30, 300, 120}, {290, 30, 300, 120}},
        {"a control above", {12, 5, 100, 20}, {12, 5, 100, 20}},
        {"a control ending one pixel into it", {12, 20, 50, 40}, {12, 20, 50, 40}},
    };
    for (const Case& c : cases) {
        RECT moved = roomMadeFor(c.placed, grown, 11);
        EXPECT_TRUE(EqualRect(&moved, &c.expected)) << c.name << ": " << moved.left << "," << moved.top << " "
                                                    << moved.right << "," << moved.bottom;
    }
}

} // namespace kanne
