#include "screenshot/selection.h"

void ResetDrag(SelectionDrag* drag) {
    drag->dragging = false;
    drag->start = {0, 0};
    drag->end = {0, 0};
}

void PressDrag(SelectionDrag* drag, SelectionPoint at) {
    drag->dragging = true;
    drag->start = at;
    drag->end = at;
}

bool MoveDrag(SelectionDrag* drag, SelectionPoint at) {
    if (!drag->dragging) return false;
    drag->end = at;
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
