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

    bool looksUtf16 = ReaderSettings.guessUtf16 && LooksLikeUtf16(bytes, length);
    XmlTextDecision decision =
        DecideXmlTextEncoding(bytes, length, ReaderSettings.guessUtf16, looksUtf16, ReaderSettings.utf8Input);

    XmlElement root;
    if (decision.encoding == XmlTextEncoding::Utf16) {
        root = ParseXmlText(reinterpret_cast<const wchar_t*>(bytes + decision.skipBytes), expectedRoot, result);
        free(bytes);
        return root;
    }
    bool utf8 = decision.encoding == XmlTextEncoding::Utf8;
    wchar_t* text = ConvertToUtf16(bytes + decision.skipBytes, length - decision.skipBytes, utf8);
    free(bytes);
    if (!text) {
        SetCode(result, XML_OUT_OF_MEMORY);
        return XmlElement::emptyElement;
    }
    root = ParseXmlText(text, expectedRoot, result);
    free(text);
    return root;
}

XmlElement LoadConfigXml(const wchar_t* path, const wchar_t* expectedRoot, XmlLoadOutcome* outcome) {
    ReaderSettings.utf8Input = false;
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
