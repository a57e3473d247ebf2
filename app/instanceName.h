// How a running instance of one caption is found: its main window and the kernel object it holds.
#pragma once

#include <cstdint>

// Room for the prefix and a 63-character caption with every unit escaped.
constexpr int32_t INSTANCE_NAME_SIZE = 192;

// The main window's class; its title is the caption. A caption may be any text,
// the name of a system class ("Button", "#32770") included, so it is never the class.
constexpr wchar_t MAIN_WINDOW_CLASS[] = L"KeyDeputy main window";

// "Local\KeyDeputy instance " and the caption, with '/' written "//" and '\'
// written "/b": kernel object names take no backslash after the namespace, and
// the escape keeps two captions from sharing a name. False (and an empty name)
// when it does not fit in size units.
bool InstanceObjectName(const wchar_t* caption, wchar_t* name, int32_t size);
