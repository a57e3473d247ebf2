// Lookups into the loaded configuration document, each with its built-in default.
#pragma once

#include "lib/xmlReader.h"

// Root element of the configuration, set once at start-up and read-only afterwards.
extern XmlElement ConfigRoot;

// First text of ConfigRoot / section / key, or def when the key or its text is missing.
const wchar_t* ConfigText(const wchar_t* section, const wchar_t* key, const wchar_t* def);
// A yes/no key is yes exactly when its text is "是".
bool ConfigFlag(const wchar_t* section, const wchar_t* key);
// A message text: the 语言 section's override of key, or def.
const wchar_t* MessageText(const wchar_t* key, const wchar_t* def);

// Window class name and title, caption of every box, tray tip, autostart value name.
constexpr int APP_CAPTION_SIZE = 64;
extern wchar_t AppCaption[APP_CAPTION_SIZE];
// Room of the balloon's text and title, as the notification record holds them.
constexpr int TIP_TEXT_SIZE = 256;
constexpr int TIP_TITLE_SIZE = 64;
// Copies 设置 / 名称 (or the default caption) into AppCaption, cut to fit.
void LoadAppCaption();
