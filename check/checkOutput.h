// The checker's report as text for people (Chinese) and as JSON for tools.
#pragma once

#include "check/checkReport.h"
#include "check/checkText.h"

void FormatTextReport(const CheckReport& report, const wchar_t* path, OutText* out);
void FormatJsonReport(const CheckReport& report, const wchar_t* path, OutText* out);
