// Texts printed by the driver stay on one line: backslash, tab, CR and LF are escaped,
// so a script compares them with the same escapes written literally.
#pragma once

#include <string>

inline std::wstring EscapeText(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        switch (c) {
            case L'\\': out += L"\\\\"; break;
            case L'\t': out += L"\\t"; break;
            case L'\n': out += L"\\n"; break;
            case L'\r': out += L"\\r"; break;
            default: out += c;
        }
    }
    return out;
}
