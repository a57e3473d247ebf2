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

// Appends the format's extension unless the name already holds it somewhere
// (case-sensitive). False when it does not fit in capacity; the name is then unchanged.
bool CompleteExtension(wchar_t* name, size_t capacity, int filterIndex);

// Completes the name the save dialog confirmed with the format's extension into
// completed (capacity units, with room for confirmed as it is). True when that added something and fileExists
// finds a file of the completed name: the dialog asked only about the name as
// given, so nobody has agreed to replace this file yet.
bool NeedsReplaceQuestion(const wchar_t* confirmed, int filterIndex, wchar_t* completed, size_t capacity,
                          bool (*fileExists)(const wchar_t* name));

// MIME types of the encoder rows whose extension occurs in the file name
// (case-sensitive), in table order: .png, .jpg, .gif, .bmp, .tiff. The saver
// applies each in turn, so the last one that GDI+ knows decides. Returns the count.
int MatchingEncoderMimes(const wchar_t* fileName, const wchar_t* mimes[SCREENSHOT_FORMAT_COUNT]);

// "Screenshot" and the number with at least two digits, zero-filled, cut to capacity.
void FormatScreenshotName(wchar_t* dest, size_t capacity, int number);
// After a save: proposes the next name and advances the counter.
void AdvanceScreenshotName();
