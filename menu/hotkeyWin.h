#pragma once

#include <cstdint>
#include "lib/xmlReader.h"

// Registers the item's 快捷键 for MainWindow under identifier; warns when refused.
void RegisterItemHotkey(const XmlElement& element, const wchar_t* shownText, int32_t identifier);
