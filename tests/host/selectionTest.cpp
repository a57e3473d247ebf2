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

TEST(ScreenshotDrag, OnlyAClickWithoutMoveIsAPlainClick) {
    SelectionDrag drag;
    ResetDrag(&drag);
    PressDrag(&drag, {400, 300});
    EXPECT_TRUE(IsPlainClick(drag));
    MoveDrag(&drag, {400, 300});  // a move message on the press point itself
    EXPECT_TRUE(IsPlainClick(drag));
    SelectionRect r;
    ReleaseDrag(&drag, W, H, &r);
    EXPECT_TRUE(IsPlainClick(drag));
    // A drag along one row is not a click: its empty selection keeps the box.
    PressDrag(&drag, {10, 10});
    MoveDrag(&drag, {60, 10});
    EXPECT_FALSE(ReleaseDrag(&drag, W, H, &r));
    EXPECT_FALSE(IsPlainClick(drag));
    // Nor is one that went away and came back; the next press starts afresh.
    PressDrag(&drag, {10, 10});
    MoveDrag(&drag, {60, 70});
    MoveDrag(&drag, {10, 10});
    EXPECT_FALSE(IsPlainClick(drag));
    PressDrag(&drag, {5, 5});
    EXPECT_TRUE(IsPlainClick(drag));
}

TEST(ScreenshotPainting, DimmingHalvesEachChannel) {
    uint32_t pixels[] = {0x00FFFFFF, 0x00000000, 0x00010203, 0x00804020, 0xFF123456};
    DimPixels(pixels, 5);
    EXPECT_EQ(pixels[0], 0x007F7F7Fu);
    EXPECT_EQ(pixels[1], 0x00000000u);
    EXPECT_EQ(pixels[2], 0x00000101u);  // no channel spills into its neighbour
    EXPECT_EQ(pixels[3], 0x00402010u);
    EXPECT_EQ(pixels[4], 0x00091A2Bu);  // the unused byte is dropped
}

TEST(ScreenshotPainting, SizeLabelTextAndPlace) {
    wchar_t text[SELECTION_LABEL_SIZE];
    FormatSelectionSize({100, 100, 300, 200}, text, SELECTION_LABEL_SIZE);
    EXPECT_STREQ(text, L"200 × 100");
    FormatSelectionSize({0, 0, 1024, 768}, text, SELECTION_LABEL_SIZE);
    EXPECT_STREQ(text, L"1024 × 768");

    auto place = [](SelectionRect r) { return PlaceSelectionLabel(r, 80, 20, W, H); };
    SelectionPoint below = place({100, 100, 300, 200});
    EXPECT_EQ(below.x, 100);
    EXPECT_EQ(below.y, 204);
    // No room below: above the region.
    SelectionPoint above = place({100, 700, 300, 760});
    EXPECT_EQ(above.y, 700 - 4 - 20);
    // The whole screen selected: inside, at its top-left.
    SelectionPoint inside = place({0, 0, W, H});
    EXPECT_EQ(inside.x, 4);
    EXPECT_EQ(inside.y, 4);
    // Near the right edge it stays on the screen.
    SelectionPoint right = place({1000, 100, 1024, 200});
    EXPECT_EQ(right.x, W - 80);
    // Outside the region whenever it is placed below or above.
    for (SelectionRect r : {SelectionRect{100, 100, 300, 200}, SelectionRect{100, 700, 300, 760}}) {
        SelectionPoint at = place(r);
        EXPECT_TRUE(at.y + 20 <= r.top || at.y >= r.bottom);
    }
}
