#pragma once

// Writes (enable) the quoted program path as the Run value named after
// AppCaption, or deletes that value (see autostart.h for which keys).
void ApplyAutostart(bool enable);
