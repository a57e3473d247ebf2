// kddriver.exe: drives and observes programs of the same Wine prefix for the
// end-to-end tests. Results go to standard output (UTF-8, escaped texts); the exit
// code says whether the command found what it was asked for.
#include "driverCommands.h"

struct DriverCommand {
    const wchar_t* name;
    int (*run)(const DriverArgs&);
    const wchar_t* usage;
};

static const DriverCommand COMMANDS[] = {
    {L"list", CmdList, L"list [--pid P] [--class C]        top-level windows: hwnd class title pid visible"},
    {L"box", CmdBox, L"box CAPTION [--pid P] [--text T] [--timeout MS]   wait for a message box, print its text, buttons, icon"},
    {L"boxes", CmdBoxes, L"boxes CAPTION [--pid P] [--text T]  number of open message boxes with this caption"},
    {L"answer", CmdAnswer, L"answer CAPTION ok|yes|no|ID [--pid P] [--text T] [--timeout MS]  press a box's button"},
    {L"main", CmdMain, L"main NAME [--pid P] [--timeout MS]   wait for windows of class and title NAME"},
    {L"gone", CmdGone, L"gone NAME [--pid P] [--timeout MS]   wait until no such window exists"},
    {L"post", CmdPost, L"post NAME MSG WPARAM LPARAM        post a message to the main window"},
    {L"send", CmdSend, L"send NAME MSG WPARAM LPARAM        send it and print the result"},
    {L"tray", CmdTray, L"tray NAME left|right|leftup|rightup|double|move|N   the tray callback"},
    {L"command", CmdCommand, L"command NAME ID                    post WM_COMMAND with this identifier"},
    {L"broadcast", CmdBroadcast, L"broadcast MESSAGE                  broadcast a registered message (TaskbarCreated)"},
    {L"menu", CmdMenu, L"menu [--pid P] [--timeout MS]      read the open popup menu: path kind id states text"},
    {L"endmenu", CmdEndMenu, L"endmenu [--pid P]                  close the open popup menu"},
    {L"icons", CmdIcons, L"icons [N] [--timeout MS]           number of tray icons (wait until it is N)"},
    {L"hotkey", CmdHotkey, L"hotkey COMBINATION                 held (exit 0) or free (exit 1)"},
    {L"hold", CmdHold, L"hold COMBINATION... [--seconds S]  keep combinations registered"},
    {L"reg", CmdReg, L"reg get|set|del NAME [DATA]        the machine's Run key, 64-bit view"},
    {L"window", CmdWindow, L"window TITLE [--seconds S]         a visible, focused window of the prefix"},
    {L"sample", CmdSample, L"sample CAPTION FILE                a stand-in tray program"},
    {L"startup", CmdStartup, L"startup [--runs N] [--no-anchor] [--timeout MS] COMMANDLINE...  time each start to its tray icon"},
    {L"reminder", CmdReminder, L"reminder set TEXT MINUTES [off|restart|logoff] | reminder fire   fill and confirm the open reminder; time up for the hidden ones"},
    {L"clipboard", CmdClipboard, L"clipboard [set TEXT]               the clipboard's text and bitmap (after putting TEXT there)"},
    {L"save", CmdSave, L"save PATH [--timeout MS]            type PATH into the open save dialog and press OK"},
    {L"drain", CmdDrain, L"drain CAPTION [ok|yes|no|ID] [--count N] [--timeout MS] [--seconds S]  answer boxes as they come"},
};

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2) {
        for (const DriverCommand& command : COMMANDS) {
            if (std::wstring(argv[1]) != command.name) continue;
            DriverArgs args;
            int code = ParseDriverArgs(argc, argv, 2, &args) ? command.run(args) : DRIVER_USAGE;
            if (code == DRIVER_USAGE) PrintError(std::wstring(L"usage: kddriver ") + command.usage);
            return code;
        }
    }
    for (const DriverCommand& command : COMMANDS) PrintError(command.usage);
    return DRIVER_USAGE;
}
