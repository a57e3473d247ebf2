#include "screenshot/imageOutputWin.h"

#include <commdlg.h>
#include <cstdlib>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
#include <gdiplus.h>

#include "app/configLookup.h"
#include "app/lifecycle.h"
#include "app/messages.h"
#include "app/trayIcon.h"
#include "lib/textCopy.h"
#include "platform/systemError.h"
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
        if (!ask(&dialog) || ProgramEnding) break;
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

DWORD UnwritableTarget(const wchar_t* fileName) {
    DWORD attributes = GetFileAttributesW(fileName);
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    // What opening either for writing would answer; asking first saves a question.
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
    return 0;
}

namespace {
// A status GDI+ gives without a Win32 error behind it, in the platform's words.
DWORD ErrorOfStatus(Gdiplus::GpStatus status) {
    switch (status) {
    case Gdiplus::OutOfMemory: return ERROR_NOT_ENOUGH_MEMORY;
    case Gdiplus::FileNotFound: return ERROR_PATH_NOT_FOUND;
    case Gdiplus::AccessDenied: return ERROR_ACCESS_DENIED;
    default: return ERROR_WRITE_FAULT;
    }
}
}  // namespace

DWORD SaveImageFile(const wchar_t* fileName) {
    if (DWORD refused = UnwritableTarget(fileName)) return refused;
    auto fromBitmap = KD_SYSTEM_FUNCTION(SystemLibrary::Gdiplus, GdipCreateBitmapFromHBITMAP);
    auto save = KD_SYSTEM_FUNCTION(SystemLibrary::Gdiplus, GdipSaveImageToFile);
    auto dispose = KD_SYSTEM_FUNCTION(SystemLibrary::Gdiplus, GdipDisposeImage);
    if (!fromBitmap || !save || !dispose) return ERROR_MOD_NOT_FOUND;
    if (!ScreenshotImage) return ERROR_INVALID_HANDLE;
    Gdiplus::GpBitmap* bitmap = nullptr;
    Gdiplus::GpStatus status = fromBitmap(ScreenshotImage, nullptr, &bitmap);
    if (status != Gdiplus::Ok || !bitmap) return ErrorOfStatus(status == Gdiplus::Ok ? Gdiplus::GenericError : status);
    CLSID encoder = {};
    DWORD error = 0;
    if (!FindEncoderClsid(EncoderMimeOf(fileName), &encoder)) {
        error = ERROR_NOT_SUPPORTED;
    } else {
        SetLastError(0);
        status = save(bitmap, fileName, &encoder, nullptr);
        // The file's own refusal (held open, no room, access) is the last error behind the status.
        if (status != Gdiplus::Ok) error = GetLastError() ? GetLastError() : ErrorOfStatus(status);
    }
    dispose(bitmap);
    return error;
}

namespace {
void PutImageOnClipboard() {
    if (ScreenshotImage && OpenClipboard(nullptr)) {
        EmptyClipboard();
        // Once accepted the bitmap is the clipboard's, no longer ours to delete.
        bool placed = SetClipboardData(CF_BITMAP, ScreenshotImage) != nullptr;
        if (placed) ScreenshotImage = nullptr;
        CloseClipboard();
        // Else a cancelled dialog would look as if the screenshot were lost.
        if (placed) ShowTrayBalloon(MessageText(KD_MSG_CLIPBOARD, KD_MSG_CLIPBOARD_TEXT));
    }
}

// Room for a full path, the platform's reason and a long override; longer is cut.
constexpr size_t SAVE_FAILURE_SIZE = 1024;

void ShowSaveFailure(const wchar_t* fileName, DWORD error) {
    wchar_t detail[SAVE_FAILURE_SIZE];
    CopyTextCut(detail, SAVE_FAILURE_SIZE, fileName);
    AppendTextCut(detail, SAVE_FAILURE_SIZE, L"\n");
    wchar_t reason[512];
    SystemErrorText(error, reason, ARRAYSIZE(reason));
    AppendTextCut(detail, SAVE_FAILURE_SIZE, reason);
    wchar_t text[SAVE_FAILURE_SIZE];
    FormatOneText(MessageText(KD_MSG_SAVE_FAILED, KD_MSG_SAVE_FAILED_TEXT), detail, text, SAVE_FAILURE_SIZE);
    MessageBoxW(nullptr, text, AppCaption, MB_OK | MB_ICONWARNING);
}
}  // namespace

void DeliverScreenshot() {
    // The proposal, kept for a save that fails: the number goes to the next file written.
    wchar_t proposal[SCREENSHOT_NAME_SIZE];
    CopyTextCut(proposal, SCREENSHOT_NAME_SIZE, ScreenshotFileName);
    bool chosen = !ProgramEnding && ChooseSaveFile(ScreenshotFileName);
    // The user has left the program meanwhile: no file, no clipboard, no box.
    if (ProgramEnding) {
        CopyTextCut(ScreenshotFileName, SCREENSHOT_NAME_SIZE, proposal);
        ReleaseScreenshotImage();
        return;
    }
    if (chosen) {
        DWORD error = SaveImageFile(ScreenshotFileName);
        if (!error) {
            AdvanceScreenshotName();
            MessageBeep(MB_ICONASTERISK);
            ReleaseScreenshotImage();
            return;
        }
        wchar_t failed[SCREENSHOT_NAME_SIZE];
        CopyTextCut(failed, SCREENSHOT_NAME_SIZE, ScreenshotFileName);
        CopyTextCut(ScreenshotFileName, SCREENSHOT_NAME_SIZE, proposal);
        PutImageOnClipboard();
        ReleaseScreenshotImage();
        ShowSaveFailure(failed, error);
        return;
    }
    PutImageOnClipboard();
    ReleaseScreenshotImage();
}
