#include "screenshot/imageOutputWin.h"

#include <commdlg.h>
#include <cstdlib>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
#include <gdiplus.h>

#include "app/configLookup.h"
#include "app/messages.h"
#include "app/trayIcon.h"
#include "lib/textCopy.h"
#include "platform/systemLibrary.h"
#include "screenshot/imageOutput.h"
#include "screenshot/replaceQuestion.h"
#include "screenshot/selectionWin.h"

using namespace Gdiplus::DllExports;

bool ChooseSaveFile(wchar_t* buffer) {
    // A refused dialog may have written into the buffer (a too-long name leaves
    // the needed size there); the proposal must survive it.
    wchar_t proposal[SCREENSHOT_NAME_SIZE];
    CopyTextCut(proposal, SCREENSHOT_NAME_SIZE, buffer);
    // Without comdlg32 the dialog cannot open: the image goes to the clipboard.
    auto ask = KD_SYSTEM_FUNCTION(SystemLibrary::Comdlg32, GetSaveFileNameW);
    DWORD filterIndex = 0;
    while (ask) {
        OPENFILENAMEW dialog = {};
        dialog.lStructSize = sizeof(OPENFILENAMEW);
        dialog.lpstrFilter = SCREENSHOT_FILTER;
        dialog.nFilterIndex = filterIndex;
        dialog.lpstrFile = buffer;
        dialog.nMaxFile = SCREENSHOT_DIALOG_NAME_SIZE;
        dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
        if (!ask(&dialog)) break;
        // The buffer has room behind the dialog's limit for the longest extension.
        SaveNameAnswer answer = SettleSaveName(buffer, int(dialog.nFilterIndex));
        if (answer == SaveNameAnswer::SAVE) return true;
        if (answer == SaveNameAnswer::DROP) break;
        filterIndex = dialog.nFilterIndex;  // asked again with the name and format as given
    }
    CopyTextCut(buffer, SCREENSHOT_NAME_SIZE, proposal);
    return false;
}

bool FindEncoderClsid(const wchar_t* mime, CLSID* clsid) {
    auto encodersSize = KD_SYSTEM_FUNCTION(SystemLibrary::Gdiplus, GdipGetImageEncodersSize);
    auto listEncoders = KD_SYSTEM_FUNCTION(SystemLibrary::Gdiplus, GdipGetImageEncoders);
    if (!encodersSize || !listEncoders) return false;
    UINT count = 0, size = 0;
    if (encodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    auto* encoders = static_cast<Gdiplus::ImageCodecInfo*>(malloc(size));
    if (!encoders) return false;
    bool found = false;
    if (listEncoders(count, size, encoders) == Gdiplus::Ok) {
        for (UINT i = 0; i < count && !found; ++i) {
            if (TextEquals(encoders[i].MimeType, mime)) {
                *clsid = encoders[i].Clsid;
                found = true;
            }
        }
    }
    free(encoders);
    return found;
}

void SaveImageFile(const wchar_t* fileName) {
    auto fromBitmap = KD_SYSTEM_FUNCTION(SystemLibrary::Gdiplus, GdipCreateBitmapFromHBITMAP);
    auto save = KD_SYSTEM_FUNCTION(SystemLibrary::Gdiplus, GdipSaveImageToFile);
    auto dispose = KD_SYSTEM_FUNCTION(SystemLibrary::Gdiplus, GdipDisposeImage);
    if (!ScreenshotImage || !fromBitmap || !save || !dispose) return;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (fromBitmap(ScreenshotImage, nullptr, &bitmap) != Gdiplus::Ok || !bitmap) return;
    // Every matching row is tried in table order, so a later one overrides.
    const wchar_t* mimes[SCREENSHOT_FORMAT_COUNT];
    int count = MatchingEncoderMimes(fileName, mimes);
    CLSID encoder = {};
    bool found = false;
    for (int i = 0; i < count; ++i)
        if (FindEncoderClsid(mimes[i], &encoder)) found = true;
    if (found) save(bitmap, fileName, &encoder, nullptr);
    dispose(bitmap);
}

void DeliverScreenshot() {
    if (ChooseSaveFile(ScreenshotFileName)) {
        SaveImageFile(ScreenshotFileName);
        AdvanceScreenshotName();
        MessageBeep(MB_ICONASTERISK);
        ReleaseScreenshotImage();
        return;
    }
    if (ScreenshotImage && OpenClipboard(nullptr)) {
        EmptyClipboard();
        // Once accepted the bitmap is the clipboard's, no longer ours to delete.
        bool placed = SetClipboardData(CF_BITMAP, ScreenshotImage) != nullptr;
        if (placed) ScreenshotImage = nullptr;
        CloseClipboard();
        // Else a cancelled dialog would look as if the screenshot were lost.
        if (placed) ShowTrayBalloon(MessageText(KD_MSG_CLIPBOARD, KD_MSG_CLIPBOARD_TEXT));
    }
    ReleaseScreenshotImage();
}
