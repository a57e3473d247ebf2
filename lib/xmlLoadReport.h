// The text of the message shown when the configuration file cannot be used.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t XML_LOAD_REPORT_SIZE = 1024;
#define XML_LOAD_REPORT_CAPTION L"配置文件解析错误"

// Writes into report (capacity units, terminator included) the lines naming the
// file, the problem and its position; for a missing root also the expected
// name. Cut to fit, never inside a surrogate pair. Null texts count as empty.
void FormatXmlLoadReport(wchar_t* report, size_t capacity, const wchar_t* path, int32_t code, int32_t line,
                         int32_t column, const wchar_t* expectedRoot);
