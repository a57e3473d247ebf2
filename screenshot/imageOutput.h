// Names of saved screenshots: the proposals, the save dialog's formats, the
// extension a chosen format adds and the encoders a file name selects.
#pragma once

#include <cstddef>

// Five description / pattern pairs, each text NUL-ended, one more NUL at the end.
// The dialog's filter index n (1 to 5) names the n-th pair.
extern const wchar_t SCREENSHOT_FILTER[];
constexpr int SCREENSHOT_FORMAT_COUNT = 5;

// The dialog writes at most this many units, terminator included; the buffer keeps
// room behind them for the longest extension the format may append (".tiff").
constexpr size_t SCREENSHOT_DIALOG_NAME_SIZE = 256;
constexpr size_t SCREENSHOT_NAME_SIZE = SCREENSHOT_DIALOG_NAME_SIZE + 5;

// The dialog's name buffer: the proposal before it opens, the chosen path after.
extern wchar_t ScreenshotFileName[SCREENSHOT_NAME_SIZE];
// Number of the next proposal.
extern int ScreenshotCounter;

// The extension of filter index n (".png" ... ".tiff"); an index outside 1 to 5
// counts as the first format. Never null.
const wchar_t* FilterExtension(int filterIndex);

// The format (1 to 5) whose extension ends the name, compared without regard to
// case; 0 when its final extension is none of them. Only the last component
// counts: a folder named "my.png.d" says nothing about the file.
int FormatOfName(const wchar_t* name);

// Keeps a name that already ends in one of the five extensions (that format is
// then written), else appends the chosen format's extension. False when it does
// not fit in capacity; the name is then unchanged.
bool CompleteExtension(wchar_t* name, size_t capacity, int filterIndex);

// Completes the name the save dialog confirmed with the format's extension into
// completed (capacity units, with room for confirmed as it is). True when that added something and fileExists
// finds a file of the completed name: the dialog asked only about the name as
// given, so nobody has agreed to replace this file yet.
bool NeedsReplaceQuestion(const wchar_t* confirmed, int filterIndex, wchar_t* completed, size_t capacity,
                          bool (*fileExists)(const wchar_t* name));

// The MIME type of the encoder for a completed name: the format its extension
// names, else the first format's.
const wchar_t* EncoderMimeOf(const wchar_t* fileName);

// "Screenshot" and the number with at least two digits, zero-filled, cut to capacity.
void FormatScreenshotName(wchar_t* dest, size_t capacity, int number);
// After a save: proposes the next name and advances the counter.
void AdvanceScreenshotName();
