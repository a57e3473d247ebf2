#include "menu/keyNames.h"

#include "lib/nearestName.h"
#include "lib/textCopy.h"

const KeyName KEY_NAMES[] = {
    {L"End", KEY_END},
    {L"Home", KEY_HOME},
    {L"PgUp", KEY_PRIOR},
    {L"Page Up", KEY_PRIOR},
    {L"PgDn", KEY_NEXT},
    {L"↑", KEY_UP},
    {L"Up", KEY_UP},
    {L"↓", KEY_DOWN},
    {L"Down", KEY_DOWN},
    {L"←", KEY_LEFT},
    {L"Left", KEY_LEFT},
    {L"→", KEY_RIGHT},
    {L"Right", KEY_RIGHT},
    {L"PrtSc", KEY_SNAPSHOT},
    {L"Print Screen", KEY_SNAPSHOT},
    {L"Del", KEY_DELETE},
    {L"Delete", KEY_DELETE},
    {L"Insert", KEY_INSERT},
    {L"Esc", KEY_ESCAPE},
    {L"Space", KEY_SPACE},
    {L"Tab", KEY_TAB},
};
const size_t KEY_NAME_COUNT = sizeof KEY_NAMES / sizeof *KEY_NAMES;

namespace {

struct KeyAlias {
    const wchar_t* word;
    const wchar_t* name;
};

// Names a user brings from elsewhere for keys the program names otherwise.
const KeyAlias KEY_ALIASES[] = {
    {L"pagedown", L"PgDn"}, {L"page down", L"PgDn"}, {L"pgdown", L"PgDn"},     {L"pageup", L"PgUp"},
    {L"escape", L"Esc"},    {L"ins", L"Insert"},     {L"printscreen", L"PrtSc"}, {L"prtscn", L"PrtSc"},
};

// The function keys are read by arithmetic, not from the table; these are the ones
// worth suggesting.
const wchar_t* const FUNCTION_KEYS[] = {L"F1", L"F2", L"F3", L"F4",  L"F5",  L"F6",
                                        L"F7", L"F8", L"F9", L"F10", L"F11", L"F12"};
constexpr size_t FUNCTION_KEY_COUNT = sizeof FUNCTION_KEYS / sizeof *FUNCTION_KEYS;

}  // namespace

const wchar_t* NearestKeyName(const wchar_t* keyPart) {
    if (!keyPart || !*keyPart) return nullptr;
    for (const KeyAlias& alias : KEY_ALIASES)
        if (TextEqualsIgnoreAsciiCase(keyPart, alias.word)) return alias.name;
    const wchar_t* names[KEY_NAME_COUNT + FUNCTION_KEY_COUNT];
    size_t count = 0;
    // The arrow signs are one edit away from any single character: never suggested.
    for (size_t i = 0; i < KEY_NAME_COUNT; ++i)
        if (KEY_NAMES[i].name[0] < 0x80) names[count++] = KEY_NAMES[i].name;
    for (const wchar_t* name : FUNCTION_KEYS) names[count++] = name;
    return NearestName(keyPart, names, count, TextLength(keyPart) <= 3 ? 1 : 2);
}
