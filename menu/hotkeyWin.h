#pragma once

#include <cstdint>
#include "lib/xmlReader.h"

// Hotkeys registered since the count was last set to 0 (by each menu build).
extern int32_t RegisteredHotkeyCount;

// Registers the item's 快捷键 for MainWindow under identifier; warns when refused.
void RegisterItemHotkey(const XmlElement& element, const wchar_t* shownText, int32_t identifier);
