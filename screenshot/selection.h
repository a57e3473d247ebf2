// The selector's drag: two corners in screen coordinates and the region they enclose.
#pragma once

struct SelectionPoint {
    int x;
    int y;
};

// Left and top are included, right and bottom are not.
struct SelectionRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct SelectionDrag {
    bool dragging;
    SelectionPoint start;
    SelectionPoint end;
};

// Before the first press: no drag, both corners at the screen's origin.
void ResetDrag(SelectionDrag* drag);
// The left press starts a drag whose two corners coincide, so a release without
// a move in between is an empty selection.
void PressDrag(SelectionDrag* drag, SelectionPoint at);
// True when the outline changed and must be drawn again.
bool MoveDrag(SelectionDrag* drag, SelectionPoint at);
// Ends the drag; the region is the one NormaliseSelection gives for its corners.
bool ReleaseDrag(SelectionDrag* drag, int screenWidth, int screenHeight, SelectionRect* region);

// Orders the two corners and clips them to the screen (0, 0, width, height), so
// the region is the part of the screen inside the outline. False, with an empty
// region, when no width or no height is left.
bool NormaliseSelection(SelectionPoint start, SelectionPoint end, int screenWidth, int screenHeight,
                        SelectionRect* region);
