#pragma once

// Writes (enable) or deletes the Run value named after AppCaption.
void ApplyAutostart(bool enable);
