// Reading the configuration again while the program runs: what cannot change before
// the next start, when a file being saved has settled, and how long the lists and
// trees of an earlier configuration live.
#pragma once

#include <cstdint>

#include "lib/xmlReader.h"
#include "menu/commandItems.h"

// True when a setting that acts only at start (caption, single instance, autostart,
// the start-up balloon) reads differently in loaded than in running.
bool StartSettingsChanged(const XmlElement& running, const XmlElement& loaded);

// What the folder watch knows of the configuration file.
struct FileStamp {
    bool exists;
    uint64_t size;
    uint64_t writeTime;
};
bool SameStamp(const FileStamp& a, const FileStamp& b);

// Quiet time after the last change before a saved file is read: editors write in
// several steps (truncate, write, rename), and a half-written file must not be taken.
constexpr uint32_t SETTLE_MS = 400;
constexpr uint32_t WAIT_FOREVER = 0xFFFFFFFF;

struct ConfigWatch {
    FileStamp taken;  // the file as last read (or refused): unchanged means nothing to do
    FileStamp seen;   // the file at the last change seen
    uint32_t seenAt;  // tick of that change
    bool pending;
};

// The watch starts from the file the program runs on.
void StartWatch(ConfigWatch* watch, const FileStamp& current);
// The folder changed (any file of it): pending when the configuration differs from
// what was taken; a further change restarts the quiet time.
void NoteFolderChange(ConfigWatch* watch, const FileStamp& current, uint32_t tick);
// How long to wait before asking again: WAIT_FOREVER with nothing pending.
uint32_t WatchWaitMs(const ConfigWatch& watch, uint32_t tick);
// True once a pending file has stayed the same for SETTLE_MS: it is then taken, so a
// file refused once is not read again until it changes.
bool WatchSettled(ConfigWatch* watch, const FileStamp& current, uint32_t tick);

// A configuration's tree, command list and menu, kept while something still uses them.
struct ConfigSet {
    XmlElement root;
    CommandList items;
    void* menu;  // the root popup that holds the tray menu
};

// The configuration in use has a generation; each reload starts a new one.
uint32_t CurrentConfigGeneration();
// Keeps the current configuration alive across code that may run a reload (a command,
// the open tray menu); pair with ReleaseConfig.
uint32_t HoldConfig();
void ReleaseConfig(uint32_t generation);
// Ends the current generation: old is kept while held and freed (destroyMenu for its
// menu) when the last hold is released, at once when none is. False when memory is
// short; nothing has changed then.
bool RetireConfig(ConfigSet& old, void (*destroyMenu)(void* menu));
// Earlier configurations still held.
int32_t RetiredConfigCount();
