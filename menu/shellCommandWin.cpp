#include "menu/shellCommandWin.h"

#include <windows.h>
#include <shellapi.h>

#include "app/appInstance.h"
#include "app/configLookup.h"
#include "app/messages.h"
#include "lib/textCopy.h"
#include "menu/commandItems.h"
#include "menu/shellCommand.h"
#include "menu/shellLookupsWin.h"
#include "platform/systemError.h"

static_assert(SHELL_FILE_NOT_FOUND == ERROR_FILE_NOT_FOUND && SHELL_PATH_NOT_FOUND == ERROR_PATH_NOT_FOUND &&
                  SHELL_INVALID_NAME == ERROR_INVALID_NAME,
              "the split decision reads the platform's error codes");

namespace {

constexpr size_t FAILURE_TEXT_SIZE = 2048;
constexpr size_t REASON_SIZE = 512;

// The folder of KeyDeputy.exe, read once: where its configuration is, and what a
// relative path means however the program was started.
const wchar_t* ProgramFolder() {
    static wchar_t* folder = nullptr;
    if (folder) return folder;
    folder = ModulePath();
    if (!folder) return L"";
    folder[PathFolderLength(folder)] = 0;
    return folder;
}

// The platform's error, or 0 when the shell opened it.
DWORD Open(const ShellCommand& command) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    // The user is told once, by the program's own box.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpFile = command.file;
    info.lpParameters = command.parameters[0] ? command.parameters : nullptr;
    info.lpDirectory = command.folder[0] ? command.folder : nullptr;
    info.nShow = SW_SHOWNORMAL;
    SetLastError(0);
    if (ShellExecuteExW(&info)) return 0;
    DWORD error = GetLastError();
    if (error) return error;
    // Some shells answer only through hInstApp, numbered as the old ShellExecute was.
    INT_PTR code = reinterpret_cast<INT_PTR>(info.hInstApp);
    if (code == SE_ERR_NOASSOC) return ERROR_NO_ASSOCIATION;
    return code > 0 && code < 32 ? DWORD(code) : DWORD(ERROR_GEN_FAILURE);
}

// Kept apart so that its buffers are gone before any box opens: a box's loop may
// dispatch further commands, each with a frame of its own.
[[gnu::noinline]] DWORD PrepareAndOpen(int32_t index) {
    const wchar_t* parameters;
    const wchar_t* workFolder;
    FindShellSettings(CommandItems, index, &parameters, &workFolder);
    ShellCommand whole;
    const wchar_t* folder = ProgramFolder();
    if (!PrepareWholeCommand(CommandItems.items[index].command, parameters, workFolder, folder, PlatformShellLookups, &whole))
        return ERROR_FILENAME_EXCED_RANGE;
    DWORD error = Open(whole);
    if (!error || !SplitAfterError(error, whole.file)) return error;
    ShellCommand split;
    if (!SplitCommand(whole, folder, PlatformShellLookups, &split)) return error;
    return Open(split);
}

void ShowFailure(const wchar_t* command, DWORD error) {
    wchar_t text[FAILURE_TEXT_SIZE];
    FormatOneText(MessageText(KD_MSG_COMMAND, KD_MSG_COMMAND_TEXT), command, text, FAILURE_TEXT_SIZE);
    wchar_t reason[REASON_SIZE];
    SystemErrorText(error, reason, REASON_SIZE);
    AppendTextCut(text, FAILURE_TEXT_SIZE, L"\n");
    AppendTextCut(text, FAILURE_TEXT_SIZE, reason);
    // Nothing follows the box, so a quit that ends it ends the program with nothing
    // else done.
    MessageBoxW(nullptr, text, AppCaption, MB_OK | MB_ICONWARNING);
}

}  // namespace

void RunShellCommand(int32_t index) {
    // Taken first: the shell may pump messages, and a reload meanwhile gives the index
    // to another list; the text stays valid while dispatch holds its configuration.
    const wchar_t* command = CommandItems.items[index].command;
    DWORD error = PrepareAndOpen(index);
    if (error) ShowFailure(command, error);
}
