#pragma once

#include <windows.h>
#include "lib/xmlReader.h"

// Appends the entry built from element (a submenu, separator or command item) to parentMenu.
void BuildMenu(const XmlElement& element, HMENU parentMenu);
