#include "check/checkOutput.h"

#include "check/excerpt.h"
#include "check/lineIndex.h"
#include "lib/textCopy.h"

namespace {

// Each in enum order: the text report's word, then the JSON value.
const wchar_t* const SEVERITY_NAMES[][2] = {{L"提示", L"note"}, {L"警告", L"warning"}, {L"错误", L"error"}};
const wchar_t* const KIND_NAMES[][2] = {{L"动作", L"action"}, {L"分辨率", L"resolution"}, {L"交给系统打开", L"shell"}};
static_assert(sizeof SEVERITY_NAMES / sizeof *SEVERITY_NAMES == size_t(Severity::Error) + 1 &&
              sizeof KIND_NAMES / sizeof *KIND_NAMES == size_t(ItemKind::Shell) + 1, "a name for every value");

// JSON and text name of the encoding; the ANSI one carries the code page.
void AppendEncoding(OutText* out, const CheckReport& report, bool forPeople) {
    switch (report.encoding) {
    case CheckEncoding::Utf16: Append(out, L"UTF-16LE"); break;
    case CheckEncoding::Utf16Bom: Append(out, forPeople ? L"UTF-16LE（带 BOM）" : L"UTF-16LE BOM"); break;
    case CheckEncoding::Utf8: Append(out, L"UTF-8"); break;
    case CheckEncoding::Utf8Bom: Append(out, forPeople ? L"UTF-8（带 BOM）" : L"UTF-8 BOM"); break;
    case CheckEncoding::Ansi:
        Append(out, forPeople ? L"ANSI 代码页 " : L"ANSI ");
        AppendNumber(out, report.ansiCodePage);
        break;
    default: Append(out, forPeople ? L"（未读取）" : L"null"); break;
    }
}

// Console columns a unit takes: East Asian wide characters take two.
int32_t DisplayWidth(wchar_t c) {
    uint32_t u = uint32_t(c);
    if (u >= 0xDC00 && u <= 0xDFFF) return 0;  // second half of a pair
    if (u >= 0xD800 && u <= 0xDBFF) return 2;
    if ((u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3) ||
        (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
        (u >= 0xFFE0 && u <= 0xFFE6))
        return 2;
    return 1;
}

// The source line, or the part of a long line around the cause, and a caret under the column.
void AppendSourceLine(OutText* out, const wchar_t* text, const LineIndex& lines, int32_t line, int32_t column) {
    size_t lineStart, lineEnd;
    if (!LineBounds(lines, text, line, &lineStart, &lineEnd)) return;
    if (lineEnd > lineStart && text[lineEnd - 1] == L'\r') --lineEnd;
    size_t cause = column < 1 ? lineStart : lineStart + size_t(column - 1);
    if (cause > lineEnd) cause = lineEnd;
    ExcerptBounds bounds = ExcerptAround(text, lineStart, lineEnd, cause);
    const wchar_t* start = text + bounds.start;
    const wchar_t* end = text + bounds.end;
    Append(out, bounds.start > lineStart ? L"    …" : L"    ");
    AppendUnits(out, start, size_t(end - start));
    if (bounds.end < lineEnd) Append(out, L"…");
    Append(out, bounds.start > lineStart ? L"\n     " : L"\n    ");
    for (const wchar_t* p = start; p < end && p < text + cause; ++p) {
        if (*p == L'\t') {
            Append(out, L"\t");
            continue;
        }
        for (int32_t w = DisplayWidth(*p); w > 0; --w) Append(out, L" ");
    }
    Append(out, L"^\n");
}

// What comes before the value, then the value as a JSON string, null when absent.
void AppendJsonField(OutText* out, const wchar_t* key, const wchar_t* text) {
    Append(out, key);
    if (!text) {
        Append(out, L"null");
        return;
    }
    Append(out, L"\"");
    for (const wchar_t* p = text; *p; ++p) {
        wchar_t c = *p;
        if (c == L'"') Append(out, L"\\\"");
        else if (c == L'\\') Append(out, L"\\\\");
        else if (c == L'\n') Append(out, L"\\n");
        else if (c == L'\r') Append(out, L"\\r");
        else if (c == L'\t') Append(out, L"\\t");
        else if (uint32_t(c) < 0x20) {
            static const wchar_t HEX[] = L"0123456789abcdef";
            wchar_t escaped[] = {L'\\', L'u', L'0', L'0', HEX[(c >> 4) & 0xF], HEX[c & 0xF], 0};
            Append(out, escaped);
        } else {
            AppendUnits(out, &c, 1);
        }
    }
    Append(out, L"\"");
}

void AppendAscii(OutText* out, const char* text) {
    for (; text && *text; ++text) {
        wchar_t c = wchar_t(*text);
        AppendUnits(out, &c, 1);
    }
}

}  // namespace

void FormatTextReport(const CheckReport& report, const wchar_t* path, OutText* out) {
    Append(out, L"文件：");
    Append(out, path);
    Append(out, L"\n编码：");
    AppendEncoding(out, report, true);
    if (report.loads) {
        Append(out, L"\n结果：KeyDeputy 会加载这个文件。\n");
    } else {
        Append(out, L"\n结果：KeyDeputy 会拒绝这个文件，启动时显示：\n");
        for (const wchar_t* p = report.loadReport; *p;) {
            const wchar_t* end = p;
            while (*end && *end != L'\n') ++end;
            Append(out, L"    | ");
            AppendUnits(out, p, size_t(end - p));
            Append(out, L"\n");
            p = *end ? end + 1 : end;
        }
    }
    int32_t counts[3] = {0, 0, 0};
    for (int32_t i = 0; i < report.findingCount; ++i) {
        const Finding& f = report.findings[i];
        ++counts[int32_t(f.severity)];
        Append(out, L"\n");
        Append(out, path);
        Append(out, L":");
        AppendNumber(out, f.line);
        Append(out, L":");
        AppendNumber(out, f.column);
        Append(out, L": ");
        Append(out, SEVERITY_NAMES[int32_t(f.severity)][0]);
        Append(out, L": ");
        Append(out, f.message);
        Append(out, L"\n");
        AppendSourceLine(out, report.text, report.lines, f.line, f.column);
        if (f.help[0]) {
            Append(out, L"  帮助: ");
            Append(out, f.help);
            Append(out, L"\n");
        }
    }
    if (report.findingsLeftOut > 0) {
        Append(out, L"\n（另有 ");
        AppendNumber(out, report.findingsLeftOut);
        Append(out, L" 条没有列出）\n");
    }
    Append(out, L"\n共 ");
    AppendNumber(out, counts[int32_t(Severity::Error)]);
    Append(out, L" 个错误，");
    AppendNumber(out, counts[int32_t(Severity::Warning)]);
    Append(out, L" 个警告，");
    AppendNumber(out, counts[int32_t(Severity::Note)]);
    Append(out, L" 个提示。\n");

    if (report.itemCount == 0) return;
    Append(out, L"\n菜单项（编号  位置 > 名称  →  命令（类型）  快捷键）：\n");
    for (int32_t i = 0; i < report.itemCount; ++i) {
        const ItemRow& item = report.items[i];
        Append(out, L"  ");
        AppendNumber(out, item.id);
        Append(out, L"  ");
        for (int32_t k = 0; k < item.pathCount; ++k) {
            Append(out, item.path[k]);
            Append(out, L" > ");
        }
        Append(out, item.label);
        Append(out, L"  →  ");
        Append(out, item.command);
        Append(out, L"（");
        Append(out, KIND_NAMES[int32_t(item.kind)][0]);
        Append(out, L"）");
        if (item.hotkey) {
            Append(out, L"  ");
            Append(out, item.hotkey);
            Append(out, item.hotkeyUsable ? L"（可用）" : L"（不可用）");
        }
        Append(out, L"\n");
        if (item.run[0]) {
            Append(out, L"      ");
            Append(out, item.run);
            Append(out, L"\n");
        }
    }
    if (report.itemsLeftOut > 0) {
        Append(out, L"  （另有 ");
        AppendNumber(out, report.itemsLeftOut);
        Append(out, L" 项没有列出）\n");
    }
}

void FormatJsonReport(const CheckReport& report, const wchar_t* path, OutText* out) {
    AppendJsonField(out, L"{\"file\":", path);
    Append(out, L",\"encoding\":");
    if (report.encoding == CheckEncoding::Unread) {
        Append(out, L"null");
    } else {
        Append(out, L"\"");
        AppendEncoding(out, report, false);
        Append(out, L"\"");
    }
    AppendJsonField(out, report.loads ? L",\"loads\":true,\"loadReport\":" : L",\"loads\":false,\"loadReport\":",
                    report.loads ? nullptr : report.loadReport);
    Append(out, L",\"findings\":[");
    for (int32_t i = 0; i < report.findingCount; ++i) {
        const Finding& f = report.findings[i];
        Append(out, i ? L",{\"severity\":\"" : L"{\"severity\":\"");
        Append(out, SEVERITY_NAMES[int32_t(f.severity)][1]);
        Append(out, L"\",\"line\":");
        AppendNumber(out, f.line);
        Append(out, L",\"column\":");
        AppendNumber(out, f.column);
        Append(out, L",\"code\":\"");
        AppendAscii(out, f.code);
        AppendJsonField(out, L"\",\"message\":", f.message);
        AppendJsonField(out, L",\"help\":", f.help);
        Append(out, L"}");
    }
    Append(out, L"],\"findingsLeftOut\":");
    AppendNumber(out, report.findingsLeftOut);
    Append(out, L",\"items\":[");
    for (int32_t i = 0; i < report.itemCount; ++i) {
        const ItemRow& item = report.items[i];
        Append(out, i ? L",{\"id\":" : L"{\"id\":");
        AppendNumber(out, item.id);
        Append(out, L",\"path\":[");
        for (int32_t k = 0; k < item.pathCount; ++k) AppendJsonField(out, k ? L"," : L"", item.path[k]);
        AppendJsonField(out, L"],\"label\":", item.label);
        AppendJsonField(out, L",\"command\":", item.command);
        Append(out, L",\"kind\":\"");
        Append(out, KIND_NAMES[int32_t(item.kind)][1]);
        AppendJsonField(out, L"\",\"run\":", item.run[0] ? item.run : nullptr);
        AppendJsonField(out, L",\"hotkey\":", item.hotkey);
        Append(out, item.hotkeyUsable ? L",\"hotkeyUsable\":true}" : L",\"hotkeyUsable\":false}");
    }
    Append(out, L"],\"itemsLeftOut\":");
    AppendNumber(out, report.itemsLeftOut);
    Append(out, L"}\n");
}
