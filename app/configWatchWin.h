// 自动重新加载: the folder of the configuration watched from the message loop.
#pragma once

// Starts or stops the watch as the configuration in use asks.
void UpdateConfigWatch();
// The file has just been read (loaded or refused): only a later change counts.
void NoteConfigRead();
// The program's message loop; with the watch on it also waits on the folder, and
// without it is a plain GetMessageW loop. Returns the quit message's code.
int RunMessageLoop();
