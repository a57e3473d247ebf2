// Sets ConfigRoot from a document text for a Windows test (or child), as start-up does.
#pragma once

#include "app/configLookup.h"
#include "lib/xmlReader.h"

inline bool UseConfig(const wchar_t* document) {
    XmlParseResult result = {};
    ConfigRoot = ParseXmlText(document, L"KeyDeputy", &result);
    LoadAppCaption();
    return result.code == XML_OK && !ConfigRoot.isEmpty();
}
