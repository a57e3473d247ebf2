#include "app/configLookup.h"

#include "app/messages.h"
#include "lib/textCopy.h"

XmlElement ConfigRoot;
wchar_t AppCaption[APP_CAPTION_SIZE];

const wchar_t* ConfigTextOf(const XmlElement& root, const wchar_t* section, const wchar_t* key, const wchar_t* def) {
    if (!section || !key) return def;
    // Only the first section and the first key of each name count; the handles
    // die here, the text stays alive in the tree held by root.
    XmlElement sectionElement = root.childByName(section, nullptr);
    XmlElement keyElement = sectionElement.childByName(key, nullptr);
    const wchar_t* text = keyElement.text(0);
    return text ? text : def;
}

const wchar_t* ConfigText(const wchar_t* section, const wchar_t* key, const wchar_t* def) {
    return ConfigTextOf(ConfigRoot, section, key, def);
}

bool ConfigFlag(const wchar_t* section, const wchar_t* key) {
    return TextEquals(ConfigText(section, key, KD_NO), KD_YES);
}

const wchar_t* MessageText(const wchar_t* key, const wchar_t* def) {
    return ConfigText(KD_SECTION_LANGUAGE, key, def);
}

void LoadAppCaption() {
    CopyTextCut(AppCaption, APP_CAPTION_SIZE, ConfigText(KD_SECTION_SETTINGS, KD_KEY_NAME, KD_DEFAULT_CAPTION));
}
