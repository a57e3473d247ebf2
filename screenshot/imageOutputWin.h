// Output of the selected region: a file written through GDI+, or the clipboard.
#pragma once

#include <windows.h>

// Offers ScreenshotImage for saving; a cancelled dialog puts it on the clipboard,
// and so does a failed save, which is then said in a box. Once the program is
// ending it does nothing more. Either way ScreenshotImage is null afterwards.
void DeliverScreenshot();

// The save dialog over buffer (SCREENSHOT_NAME_SIZE units: the proposal going
// in, the chosen path with its format's extension coming out). A completed name
// that replaces a file is asked about first; No opens the dialog again. False when
// the dialog was cancelled or failed; the buffer then holds the proposal unchanged.
bool ChooseSaveFile(wchar_t* buffer);

// The class identifier of the GDI+ encoder of this MIME type; clsid is left
// alone when there is none.
bool FindEncoderClsid(const wchar_t* mime, CLSID* clsid);

// The error a write to this name meets before any question: a folder or a
// read-only file; 0 when nothing stands in the way yet.
DWORD UnwritableTarget(const wchar_t* fileName);

// Writes ScreenshotImage to the file in the format its name selects. 0 when it
// was written, else the platform's error for why not.
DWORD SaveImageFile(const wchar_t* fileName);
