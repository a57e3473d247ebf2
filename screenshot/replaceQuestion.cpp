#include "screenshot/replaceQuestion.h"

#include <windows.h>

#include "app/configLookup.h"
#include "app/messages.h"
#include "lib/textCopy.h"
#include "screenshot/imageOutput.h"

namespace {
// Room for a full path and a long override; a longer text is cut.
constexpr size_t REPLACE_QUESTION_SIZE = 1024;

bool FileExists(const wchar_t* name) {
    DWORD attributes = GetFileAttributesW(name);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

SaveNameAnswer SettleSaveName(wchar_t* name, int filterIndex) {
    wchar_t completed[SCREENSHOT_NAME_SIZE];
    if (NeedsReplaceQuestion(name, filterIndex, completed, SCREENSHOT_NAME_SIZE, FileExists)) {
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
