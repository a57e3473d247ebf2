#include "lib/xmlLoadReport.h"

#include "lib/textCopy.h"
#include "lib/xmlReader.h"

void FormatXmlLoadReport(wchar_t* report, size_t capacity, const wchar_t* path, int32_t code, int32_t line,
                         int32_t column, const wchar_t* expectedRoot) {
    if (!report || capacity == 0) return;
    wchar_t lineText[12], columnText[12];
    FormatNumber(lineText, line);
    FormatNumber(columnText, column);
    bool rootMissing = code == XML_ROOT_NOT_FOUND;
    const wchar_t* pieces[] = {
        L"配置文件“", path, L"”解析错误。\n", XmlErrorText(code), L"。\n在 ", lineText, L"行 ", columnText,
        L"列。\n", rootMissing ? L"First Tag should be '" : nullptr, rootMissing ? expectedRoot : nullptr,
        rootMissing ? L"'.\n" : nullptr,
    };
    report[0] = 0;
    // Once a piece has been cut nothing may follow it, or the text would have a hole.
    for (const wchar_t* piece : pieces)
        if (!AppendTextCut(report, capacity, piece)) break;
}
