// The name of the kernel object that marks a running instance of one caption.
#pragma once

#include <cstdint>

// Room for the prefix and a 63-character caption with every unit escaped.
constexpr int32_t INSTANCE_NAME_SIZE = 192;

// "Local\KeyDeputy instance " and the caption, with '/' written "//" and '\'
// written "/b": kernel object names take no backslash after the namespace, and
// the escape keeps two captions from sharing a name. False (and an empty name)
// when it does not fit in size units.
bool InstanceObjectName(const wchar_t* caption, wchar_t* name, int32_t size);
