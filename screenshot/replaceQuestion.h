// The question before a save replaces a file that the save dialog did not ask about.
#pragma once

enum class SaveNameAnswer {
    SAVE,          // name now holds the completed name to write
    CHOOSE_AGAIN,  // the user keeps the file: back to the dialog, name unchanged
    DROP,          // the question could not be asked or was ended otherwise
};

// name: the name the save dialog confirmed (SCREENSHOT_NAME_SIZE units).
SaveNameAnswer SettleSaveName(wchar_t* name, int filterIndex);
