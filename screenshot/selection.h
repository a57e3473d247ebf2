// The selector's drag: two corners in screen coordinates and the region they enclose.
#pragma once

#include <cstddef>
#include <cstdint>

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
    bool moved;  // the end has left the press point during this drag
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

// A press and release on one point with no move between: the user clicked rather
// than dragged, which cancels quietly. Asked before or after ReleaseDrag.
bool IsPlainClick(const SelectionDrag& drag);

// Outside the selection the frozen picture is shown at half brightness: each
// 0x00RRGGBB pixel's three channels halved.
void DimPixels(uint32_t* pixels, size_t count);

// The size label shown while dragging, "200 × 100" (pixels).
constexpr size_t SELECTION_LABEL_SIZE = 32;
void FormatSelectionSize(const SelectionRect& region, wchar_t* out, size_t capacity);
// Where the label's top-left corner goes: just below the region's bottom-left
// corner, else just above its top, else inside it; always on the screen and never
// over the region while there is room outside it.
SelectionPoint PlaceSelectionLabel(const SelectionRect& region, int labelWidth, int labelHeight, int screenWidth,
                                   int screenHeight);
