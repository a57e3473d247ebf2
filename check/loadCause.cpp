#include "check/loadCause.h"

#include "lib/textCopy.h"

namespace {
bool IsParserReport(const Finding& finding) {
    const char* own = "load-error";
    const char* code = finding.code;
    while (*own && *code == *own) ++own, ++code;
    return !*own && !*code;
}
}  // namespace

void AppendLoadCause(const CheckReport& report, wchar_t* text, size_t capacity) {
    const Finding* parser = nullptr;
    const Finding* cause = nullptr;
    for (int32_t i = 0; i < report.findingCount && !cause; ++i) {
        const Finding& finding = report.findings[i];
        if (finding.severity != Severity::Error) continue;
        if (!IsParserReport(finding)) {
            cause = &finding;
        } else if (!parser) {
            parser = &finding;
        }
    }
    if (!cause && !parser) return;
    if (cause) {
        AppendTextCut(text, capacity, L"原因：");
        if (cause->line > 0) {
            wchar_t line[21], column[21];
            FormatNumber(line, cause->line);
            FormatNumber(column, cause->column);
            AppendTextCut(text, capacity, L"第 ");
            AppendTextCut(text, capacity, line);
            AppendTextCut(text, capacity, L" 行第 ");
            AppendTextCut(text, capacity, column);
            AppendTextCut(text, capacity, L" 列，");
        }
        AppendTextCut(text, capacity, cause->message);
        AppendTextCut(text, capacity, L"\n");
    }
    const wchar_t* help = cause ? cause->help : parser->help;
    if (!help[0]) return;
    AppendTextCut(text, capacity, L"改法：");
    AppendTextCut(text, capacity, help);
    AppendTextCut(text, capacity, L"\n");
}
