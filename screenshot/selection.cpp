#include "screenshot/selection.h"

#include "lib/textCopy.h"

void ResetDrag(SelectionDrag* drag) {
    drag->dragging = false;
    drag->moved = false;
    drag->start = {0, 0};
    drag->end = {0, 0};
}

void PressDrag(SelectionDrag* drag, SelectionPoint at) {
    drag->dragging = true;
    drag->moved = false;
    drag->start = at;
    drag->end = at;
}

bool MoveDrag(SelectionDrag* drag, SelectionPoint at) {
    if (!drag->dragging) return false;
    drag->end = at;
    if (at.x != drag->start.x || at.y != drag->start.y) drag->moved = true;
    return true;
}

bool ReleaseDrag(SelectionDrag* drag, int screenWidth, int screenHeight, SelectionRect* region) {
    drag->dragging = false;
    return NormaliseSelection(drag->start, drag->end, screenWidth, screenHeight, region);
}

static int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

bool NormaliseSelection(SelectionPoint start, SelectionPoint end, int screenWidth, int screenHeight,
                        SelectionRect* region) {
    int left = start.x < end.x ? start.x : end.x;
    int right = start.x < end.x ? end.x : start.x;
    int top = start.y < end.y ? start.y : end.y;
    int bottom = start.y < end.y ? end.y : start.y;
    if (screenWidth < 0) screenWidth = 0;
    if (screenHeight < 0) screenHeight = 0;
    region->left = Clamp(left, 0, screenWidth);
    region->right = Clamp(right, 0, screenWidth);
    region->top = Clamp(top, 0, screenHeight);
    region->bottom = Clamp(bottom, 0, screenHeight);
    if (region->left < region->right && region->top < region->bottom) return true;
    *region = {0, 0, 0, 0};
    return false;
}

bool IsPlainClick(const SelectionDrag& drag) {
    return !drag.moved && drag.start.x == drag.end.x && drag.start.y == drag.end.y;
}

void DimPixels(uint32_t* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i) pixels[i] = (pixels[i] >> 1) & 0x007F7F7Fu;
}

void FormatSelectionSize(const SelectionRect& region, wchar_t* out, size_t capacity) {
    wchar_t number[21];
    FormatNumber(number, region.right - region.left);
    CopyTextCut(out, capacity, number);
    AppendTextCut(out, capacity, L" × ");
    FormatNumber(number, region.bottom - region.top);
    AppendTextCut(out, capacity, number);
}

SelectionPoint PlaceSelectionLabel(const SelectionRect& region, int labelWidth, int labelHeight, int screenWidth,
                                   int screenHeight) {
    constexpr int GAP = 4;
    SelectionPoint at = {region.left, region.bottom + GAP};
    if (at.y + labelHeight > screenHeight) at.y = region.top - GAP - labelHeight;
    if (at.y < 0) at = {region.left + GAP, region.top + GAP};
    if (at.x + labelWidth > screenWidth) at.x = screenWidth - labelWidth;
    if (at.x < 0) at.x = 0;
    if (at.y + labelHeight > screenHeight) at.y = screenHeight - labelHeight;
    if (at.y < 0) at.y = 0;
    return at;
}
