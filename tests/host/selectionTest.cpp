#include <gtest/gtest.h>

#include <climits>

#include "screenshot/selection.h"

namespace {
constexpr int W = 1024, H = 768;
bool operator==(const SelectionRect& a, const SelectionRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
SelectionRect Normalised(int x0, int y0, int x1, int y1, bool expectValid = true) {
    SelectionRect r = {-1, -1, -1, -1};
    EXPECT_EQ(NormaliseSelection({x0, y0}, {x1, y1}, W, H, &r), expectValid)
        << x0 << "," << y0 << " -> " << x1 << "," << y1;
    return r;
}
}  // namespace

TEST(ScreenshotSelection, EveryDragDirectionGivesTheSameRegion) {
    const SelectionRect want = {100, 100, 300, 200};
    EXPECT_TRUE(Normalised(100, 100, 300, 200) == want);
    EXPECT_TRUE(Normalised(300, 200, 100, 100) == want);
    EXPECT_TRUE(Normalised(300, 100, 100, 200) == want);
    EXPECT_TRUE(Normalised(100, 200, 300, 100) == want);
    EXPECT_TRUE(Normalised(0, 0, W, H) == (SelectionRect{0, 0, W, H}));
    EXPECT_TRUE(Normalised(5, 6, 6, 7) == (SelectionRect{5, 6, 6, 7}));
}

TEST(ScreenshotSelection, NoWidthOrNoHeightIsEmpty) {
    const SelectionRect none = {0, 0, 0, 0};
    EXPECT_TRUE(Normalised(100, 100, 100, 200, false) == none);
    EXPECT_TRUE(Normalised(100, 100, 300, 100, false) == none);
    EXPECT_TRUE(Normalised(40, 40, 40, 40, false) == none);
    EXPECT_TRUE(Normalised(0, 0, 0, 0, false) == none);
}

TEST(ScreenshotSelection, IsClippedToThePrimaryScreen) {
    // Coordinates left of or above the screen come as negative numbers.
    EXPECT_TRUE(Normalised(-50, -20, 100, 80) == (SelectionRect{0, 0, 100, 80}));
    EXPECT_TRUE(Normalised(100, 80, -50, -20) == (SelectionRect{0, 0, 100, 80}));
    EXPECT_TRUE(Normalised(1000, 700, 1500, 900) == (SelectionRect{1000, 700, W, H}));
    EXPECT_TRUE(Normalised(INT_MIN, INT_MIN, INT_MAX, INT_MAX) == (SelectionRect{0, 0, W, H}));
    // Nothing of it on the screen: empty.
    EXPECT_TRUE(Normalised(-100, 10, -10, 50, false) == (SelectionRect{0, 0, 0, 0}));
    EXPECT_TRUE(Normalised(W, 10, W + 50, 50, false) == (SelectionRect{0, 0, 0, 0}));
    EXPECT_TRUE(Normalised(10, H + 1, 50, H + 9, false) == (SelectionRect{0, 0, 0, 0}));
    // A screen of no size holds no region.
    SelectionRect r;
    EXPECT_FALSE(NormaliseSelection({0, 0}, {10, 10}, 0, 0, &r));
    EXPECT_FALSE(NormaliseSelection({0, 0}, {10, 10}, -5, 100, &r));
}

TEST(ScreenshotDrag, RegionRunsFromThePressToTheLastMove) {
    SelectionDrag drag;
    ResetDrag(&drag);
    EXPECT_FALSE(MoveDrag(&drag, {50, 50}));  // no press yet: the outline stays put
    EXPECT_EQ(drag.end.x, 0);
    EXPECT_EQ(drag.end.y, 0);
    PressDrag(&drag, {300, 200});
    EXPECT_TRUE(drag.dragging);
    EXPECT_TRUE(MoveDrag(&drag, {250, 150}));
    EXPECT_TRUE(MoveDrag(&drag, {100, 100}));
    SelectionRect r;
    EXPECT_TRUE(ReleaseDrag(&drag, W, H, &r));
    EXPECT_FALSE(drag.dragging);
    EXPECT_TRUE(r == (SelectionRect{100, 100, 300, 200}));
    EXPECT_FALSE(MoveDrag(&drag, {500, 500}));
    EXPECT_EQ(drag.end.x, 100);
}

TEST(ScreenshotDrag, PlainClickIsEmpty) {
    SelectionDrag drag;
    ResetDrag(&drag);
    SelectionRect r;
    PressDrag(&drag, {400, 300});
    EXPECT_FALSE(ReleaseDrag(&drag, W, H, &r));
    // An earlier drag's end does not leak into a later click.
    PressDrag(&drag, {10, 10});
    MoveDrag(&drag, {60, 70});
    PressDrag(&drag, {200, 200});
    EXPECT_FALSE(ReleaseDrag(&drag, W, H, &r));
    // A release without any press, too.
    ResetDrag(&drag);
    EXPECT_FALSE(ReleaseDrag(&drag, W, H, &r));
    // Moving back to the press point empties the selection again.
    PressDrag(&drag, {10, 10});
    MoveDrag(&drag, {60, 70});
    MoveDrag(&drag, {10, 70});
    EXPECT_FALSE(ReleaseDrag(&drag, W, H, &r));
}
