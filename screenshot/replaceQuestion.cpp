#include "screenshot/replaceQuestion.h"

#include <windows.h>

#include "app/configLookup.h"
#include "app/messages.h"
#include "lib/textCopy.h"
#include "screenshot/imageOutput.h"
#include "screenshot/imageOutputWin.h"

namespace {
// Room for a full path and a long override; a longer text is cut.
constexpr size_t REPLACE_QUESTION_SIZE = 1024;

// Only a file the save could replace is asked about; a folder or a read-only
// file is refused by the save itself, without a question first.
bool ReplaceableFileExists(const wchar_t* name) {
    return GetFileAttributesW(name) != INVALID_FILE_ATTRIBUTES && !UnwritableTarget(name);
}
}  // namespace

SaveNameAnswer SettleSaveName(wchar_t* name, int filterIndex) {
    wchar_t completed[SCREENSHOT_NAME_SIZE];
    if (NeedsReplaceQuestion(name, filterIndex, completed, SCREENSHOT_NAME_SIZE, ReplaceableFileExists)) {
        wchar_t question[REPLACE_QUESTION_SIZE];
        FormatOneText(MessageText(KD_MSG_REPLACE, KD_MSG_REPLACE_TEXT), completed, question, REPLACE_QUESTION_SIZE);
        // No is the default: a stray Return must not cost the user a file.
        int answer = MessageBoxW(nullptr, question, AppCaption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
        if (answer == IDNO) return SaveNameAnswer::CHOOSE_AGAIN;
        if (answer != IDYES) return SaveNameAnswer::DROP;
    }
    CopyTextCut(name, SCREENSHOT_NAME_SIZE, completed);
    return SaveNameAnswer::SAVE;
}
