// The configuration checker: reads a file exactly as KeyDeputy reads its configuration
// (same reader, encoding decision, lookups and menu walk) and explains what it will do.
// Runs and registers nothing lasting.
#pragma once

#include "check/checkPlatform.h"
#include "check/checkReport.h"

// The report for the file at path; null when memory is short. Release with ReleaseCheckReport.
CheckReport* CheckConfigFile(const wchar_t* path, const CheckPlatform& platform);
// The same for a file already read: readCode, bytes, length and exists as readFile gives them.
CheckReport* CheckConfigBytes(const wchar_t* path, XmlError readCode, const unsigned char* bytes, size_t length,
                              bool exists, const CheckPlatform& platform);
void ReleaseCheckReport(CheckReport* report);
