#pragma once

// Reads 分辨率(width,height) and switches the display, or restores it with a warning.
void ApplyResolutionCommand(const wchar_t* text);
