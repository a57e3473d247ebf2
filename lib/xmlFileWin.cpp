#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lib/xmlFile.h"
#include "lib/xmlLoadReport.h"
#include "lib/xmlReader.h"
#include "lib/xmlTextDecodingWin.h"
#include "lib/xmlTextDecoding.h"

namespace {

void SetCode(XmlParseResult* result, XmlError code) {
    if (result) result->code = code;
}

XmlError ReadWholeFile(const wchar_t* path, unsigned char** bytes, size_t* length) {
    return ReadOpenedFile(path ? _wfopen(path, L"rb") : nullptr, bytes, length);
}

}  // namespace

XmlElement ParseXmlFile(const wchar_t* path, const wchar_t* expectedRoot, XmlParseResult* result) {
    if (result) {
        result->line = 0;
        result->column = 0;
    }
    unsigned char* bytes;
    size_t length;
    XmlError readCode = ReadWholeFile(path, &bytes, &length);
    if (readCode != XML_OK) {
        SetCode(result, readCode);
        return XmlElement::emptyElement;
    }

    XmlTextDecision decision;
    wchar_t* text = DecodeXmlText(bytes, length, ReaderSettings.guessUtf16, ReaderSettings.utf8Input,
                                  XML_TEXT_PLATFORM_WIN, &decision);
    free(bytes);
    if (!text) {
        SetCode(result, XML_OUT_OF_MEMORY);
        return XmlElement::emptyElement;
    }
    XmlElement root = ParseXmlText(text, expectedRoot, result);
    free(text);
    return root;
}

XmlElement LoadConfigXml(const wchar_t* path, const wchar_t* expectedRoot, XmlLoadOutcome* outcome) {
    ReaderSettings.guessUtf16 = CONFIG_GUESS_UTF16;
    ReaderSettings.utf8Input = CONFIG_UTF8_INPUT;
    outcome->result = {XML_OK, 0, 0};
    outcome->report[0] = 0;
    XmlElement root = ParseXmlFile(path, expectedRoot, &outcome->result);
    if (outcome->result.code == XML_OK) return root;
    // A warning leaves a tree behind; nothing of a refused file may survive.
    root.release();
    const XmlParseResult& result = outcome->result;
    FormatXmlLoadReport(outcome->report, XML_LOAD_REPORT_SIZE, path, result.code, result.line, result.column,
                        expectedRoot);
    return XmlElement::emptyElement;
}
