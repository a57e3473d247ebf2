#include "lib/xmlLoadReport.h"

#include "lib/textCopy.h"
#include "lib/xmlReader.h"

namespace {

void FormatDecimal(wchar_t* out, int32_t value) {
    wchar_t digits[12];
    int n = 0;
    int64_t v = value < 0 ? -int64_t(value) : int64_t(value);
    do {
        digits[n++] = wchar_t(L'0' + v % 10);
        v /= 10;
    } while (v);
    int k = 0;
    if (value < 0) out[k++] = L'-';
    while (n) out[k++] = digits[--n];
    out[k] = 0;
}

}  // namespace

void FormatXmlLoadReport(wchar_t* report, size_t capacity, const wchar_t* path, int32_t code, int32_t line,
                         int32_t column, const wchar_t* expectedRoot) {
    if (!report || capacity == 0) return;
    wchar_t lineText[12], columnText[12];
    FormatDecimal(lineText, line);
    FormatDecimal(columnText, column);
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
