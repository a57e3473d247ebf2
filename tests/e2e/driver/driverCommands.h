// Driver commands, one function per command word; each returns the process exit code.
#pragma once

#include "driverSupport.h"

int CmdList(const DriverArgs& args);
int CmdBox(const DriverArgs& args);
int CmdBoxes(const DriverArgs& args);
int CmdAnswer(const DriverArgs& args);
int CmdMain(const DriverArgs& args);
int CmdGone(const DriverArgs& args);
int CmdPost(const DriverArgs& args);
int CmdSend(const DriverArgs& args);
int CmdTray(const DriverArgs& args);
int CmdCommand(const DriverArgs& args);
int CmdBroadcast(const DriverArgs& args);
int CmdMenu(const DriverArgs& args);
int CmdEndMenu(const DriverArgs& args);
int CmdIcons(const DriverArgs& args);
// Visible icons in Wine's own tray window (one child window each).
int CountTrayIcons();

// systemCommands.cpp
int CmdHotkey(const DriverArgs& args);
int CmdHold(const DriverArgs& args);
int CmdReg(const DriverArgs& args);
int CmdWindow(const DriverArgs& args);
int CmdClipboard(const DriverArgs& args);

// sampleProgram.cpp
int CmdSample(const DriverArgs& args);

// drainCommand.cpp
int CmdDrain(const DriverArgs& args);

// dialogCommands.cpp
int CmdReminder(const DriverArgs& args);
int CmdSave(const DriverArgs& args);

// startupCommands.cpp
int CmdStartup(const DriverArgs& args);
