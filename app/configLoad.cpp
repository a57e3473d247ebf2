#include "app/configLoad.h"

#include <windows.h>

#include <cstdlib>

#include "app/messages.h"

XmlElement LoadConfigOrEnd(const wchar_t* path) {
    XmlLoadOutcome outcome;
    XmlElement root = LoadConfigXml(path, KD_ROOT, &outcome);
    if (outcome.result.code == XML_OK) return root;
    MessageBoxW(nullptr, outcome.report, XML_LOAD_REPORT_CAPTION, MB_TOPMOST | MB_ICONERROR);
    exit(LOAD_ERROR_EXIT_CODE);
}
